#include "LibraryOperations.h"

#include "AppState.h"
#include "Controls.h"
#include "EditorView.h"
#include "NodeKey.h"
#include "TextUtil.h"

namespace mb {

std::string undoCaption(const EditHistory& history) {
    return history.canUndo() ? "Undo " + history.undoLabel() : "Undo";
}

std::string redoCaption(const EditHistory& history) {
    return history.canRedo() ? "Redo " + history.redoLabel() : "Redo";
}

LibraryOperations::LibraryOperations(AppState& state, EditorView& view, MessageBox& messages)
    : state_(state), view_(view), messages_(messages) {}

void LibraryOperations::DeleteSelected() {
    Library& library = state_.library;
    TreeControl& tree = view_.tree();

    const std::string key = tree.selectedKey().value_or("");
    if (key.empty()) return;

    if (IsCategoryKey(key)) {
        if (tree.childCount(key) > 0)
            messages_.show(kCannotDeleteCategory, MsgButtons::OK, MsgIcon::Exclamation);
        else
            tree.removeNode(key);
        ClearDetailFields();
        return;
    }

    const std::string question = kDeleteQuestionStart + tree.nodeText(key) + kDeleteQuestionEnd;
    if (messages_.show(question, MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes) return;

    const int n = keyTailNumber(key);
    const std::string category = library.entry(n).Category;

    {
        EditHistory& history = state_.history;
        const auto edit = history.begin("Delete " + std::string(trimBlanks(library.entry(n).Name)));
        history.removeMaterial(n);
    }

    // The boxes show what the grid shows: the neighbour, or nothing.
    if (tree.nodeCount() >= 2) {
        const std::string neighbour = neighbourOfRemoved(tree, library, n, category);
        if (!neighbour.empty() && tree.select(neighbour)) {
            view_.TreeView1_NodeClick(neighbour);
            return;
        }
    } else {
        showNoMaterial();
    }
    view_.categoryBox().setText("");
    view_.nameBox().setText("");
    view_.descriptionBox().setText("");
}

void LibraryOperations::showNoMaterial() {
    // The grid still shows the removed material; with no material left there is nothing
    // to show and only adding makes sense.
    view_.showNewMaterialPane();
}

void LibraryOperations::ClearValues() {
    Library& library = state_.library;
    const int n = SelectedMaterialNumber(view_.tree());
    if (n == -1 || !library.isValidNumber(n)) return;
    // The grid follows the edit's notice.
    EditHistory& history = state_.history;
    const auto edit = history.begin("Clear " + std::string(trimBlanks(library.entry(n).Name)));
    history.ClearValues(n);
}

void LibraryOperations::ClearDetailFields() {
    if (view_.tree().nodeCount() != 0) return;
    view_.categoryBox().setText("");
    view_.nameBox().setText("");
    view_.descriptionBox().setText("");
}

void LibraryOperations::undo() {
    state_.history.undo([this](const EditHistory::Outcome& outcome) { show(outcome); });
}

void LibraryOperations::redo() {
    state_.history.redo([this](const EditHistory::Outcome& outcome) { show(outcome); });
}

void LibraryOperations::show(const EditHistory::Outcome& outcome) {
    Library& library = state_.library;
    TreeControl& tree = view_.tree();
    // The tree has followed the undo or redo already; what is left is to show its focus.
    const EditFocus& focus = outcome.shown;

    std::string key;
    switch (focus.kind) {
    case EditFocus::Kind::Material:
        if (library.isValidNumber(focus.material))
            key = materialNodeKey(library.entry(focus.material).Category,
                                  library.entry(focus.material).Name, focus.material);
        break;
    case EditFocus::Kind::Category:
        if (tree.exists(focus.category)) key = focus.category;
        break;
    case EditFocus::Kind::Removed:
        key = neighbourOfRemoved(tree, library, focus.material, focus.category);
        break;
    case EditFocus::Kind::None:
        break;
    }
    if (key.empty() || !tree.exists(key)) {
        const std::vector<std::string> keys = tree.keysInOrder();
        for (const std::string& k : keys)
            if (tree.parentKey(k)) {
                key = k;
                break;
            }
    }
    if (key.empty()) {
        showNoMaterial();
        view_.categoryBox().setText("");
        view_.nameBox().setText("");
        view_.descriptionBox().setText("");
        return;
    }
    tree.ensureVisible(key);
    tree.select(key);
    view_.TreeView1_NodeClick(key);
}

} // namespace mb
