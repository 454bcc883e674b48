#pragma once

#include "EditHistory.h"

#include <string>

namespace mb {

struct AppState;
class EditorView;
class MessageBox;

inline constexpr const char* kCannotDeleteCategory = "Cannot delete a Category !";
inline constexpr const char* kDeleteQuestionStart = "Are you sure, you want to delete ";
inline constexpr const char* kDeleteQuestionEnd = " ?";

/// The captions of the Undo and Redo commands: "Undo Delete A36", or "Undo" alone when
/// there is nothing to undo.
std::string undoCaption(const EditHistory& history);
std::string redoCaption(const EditHistory& history);

/// The operations that change the open library as a whole on behalf of the tree and the
/// editing commands: deleting the selected material (or an empty category node), clearing
/// the selected material's values, and undoing and redoing edits. Each is one edit of the
/// history, whose notice the tree and the grid follow; what is left to them is to show
/// the material the edit concerned.
class LibraryOperations {
public:
    LibraryOperations(AppState& state, EditorView& view, MessageBox& messages);

    /// Deletes the material selected in the tree after asking, or removes an empty
    /// category node without asking. Later materials move down by one number, the tree is
    /// rebuilt (its categories open or closed as they were), a pending paste is forgotten
    /// and a neighbour of the removed material is selected and shown.
    void DeleteSelected();
    /// Sets every value the selected material has to 0, keeping its has-value marks.
    void ClearValues();
    /// Empties the category, name and description boxes once the tree has no nodes.
    void ClearDetailFields();

    /// Takes the last edit back (makes the last undone edit again), without a question, and
    /// shows the material it concerned, selected, in the chosen unit system and type; an
    /// undone addition shows what was selected before it. Nothing when there is none.
    void undo();
    void redo();

private:
    /// Shows what an undo or redo concerned as a click on its node would, with the tree
    /// built afresh when its nodes changed.
    void show(const EditHistory::Outcome& outcome);
    void showNoMaterial();

    AppState& state_;
    EditorView& view_;
    MessageBox& messages_;
};

} // namespace mb
