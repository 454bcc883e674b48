#pragma once

#include <string>

namespace mb {

class BaseForm;

inline constexpr const char* kCannotDeleteCategory = "Cannot delete a Category !";
inline constexpr const char* kDeleteQuestionStart = "Are you sure, you want to delete ";
inline constexpr const char* kDeleteQuestionEnd = " ?";

/// The operations that change the open library as a whole on behalf of the tree and the
/// editing commands: deleting the selected material (or an empty category node) and
/// clearing the selected material's values. They keep entry i, record i and shadow i
/// together and refresh the editor window afterwards.
class LibraryOperations {
public:
    explicit LibraryOperations(BaseForm& form);

    /// Deletes the material selected in the tree after asking, or removes an empty
    /// category node without asking. Later materials move down by one number, the tree is
    /// rebuilt, a pending paste is forgotten and a neighbour of the removed material is
    /// selected and shown.
    void DeleteSelected();
    /// Sets every value the selected material has to 0, keeping its has-value marks.
    void ClearValues();
    /// Empties the category, name and description boxes once the tree has no nodes.
    void ClearDetailFields();

private:
    /// The material node to show after material `removed` of `category` went, "" for none.
    std::string NeighbourOfRemoved(int removed, const std::string& category) const;
    void ShowNoMaterial();

    BaseForm& form_;
};

} // namespace mb
