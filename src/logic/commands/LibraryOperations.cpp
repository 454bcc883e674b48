#include "LibraryOperations.h"

#include "AppState.h"
#include "BaseForm.h"
#include "Controls.h"
#include "NodeKey.h"

namespace mb {

LibraryOperations::LibraryOperations(BaseForm& form) : form_(form) {}

void LibraryOperations::DeleteSelected() {
    Library& library = form_.state.library;
    TreeControl& tree = form_.TreeView1;

    const std::string key = tree.selectedKey().value_or("");
    if (key.empty()) return;

    if (IsCategoryKey(key)) {
        if (tree.childCount(key) > 0)
            form_.messageBox.show(kCannotDeleteCategory, MsgButtons::OK, MsgIcon::Exclamation);
        else
            tree.removeNode(key);
        ClearDetailFields();
        return;
    }

    const std::string question = kDeleteQuestionStart + tree.nodeText(key) + kDeleteQuestionEnd;
    if (form_.messageBox.show(question, MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes)
        return;

    const int n = KeyTailNumber(key);
    const std::string category = library.Entry(n).Category;

    tree.removeAll();
    library.RemoveMaterial(n);
    BuildTree(library, tree);
    // The remembered number may now name another material, or none.
    form_.state.doc.CopiedMaterialNumber = -1;

    if (tree.nodeCount() >= 2) {
        const std::string neighbour = NeighbourOfRemoved(n, category);
        if (!neighbour.empty() && tree.select(neighbour)) form_.TreeView1_NodeClick(neighbour);
    } else {
        ShowNoMaterial();
    }

    form_.materialTypeText.setText("");
    form_.materialNameText.setText("");
    form_.descriptionText.setText("");
}

std::string LibraryOperations::NeighbourOfRemoved(int removed, const std::string& category) const {
    const TreeControl& tree = form_.TreeView1;
    // Prefer the material that took the removed one's place in its own category, then the
    // one before it there; a category that went with it leaves the material now numbered
    // like the removed one, or the last.
    if (tree.exists(category)) {
        std::string before;
        for (const std::string& k : tree.keysInOrder()) {
            if (tree.parentKey(k) != category) continue;
            if (KeyTailNumber(k) >= removed) return k;
            before = k;
        }
        if (!before.empty()) return before;
    }
    const int last = form_.state.library.LastMaterialIndex();
    const int wanted = removed <= last ? removed : last;
    for (const std::string& k : tree.keysInOrder())
        if (tree.parentKey(k) && KeyTailNumber(k) == wanted) return k;
    return "";
}

void LibraryOperations::ShowNoMaterial() {
    // The grid still shows the removed material; with no material left there is nothing
    // to show and only adding makes sense.
    form_.VSFlexGrid1.setVisible(false);
    form_.cmdNewMaterial.setVisible(true);
    form_.reset.setVisible(false);
    form_.AddSet.setVisible(false);
}

void LibraryOperations::ClearValues() {
    Library& library = form_.state.library;
    const int n = SelectedMaterialNumber(form_.TreeView1);
    if (n == -1 || !library.IsValidNumber(n)) return;
    library.ClearValues(n);
    form_.typeCombo_Click();
}

void LibraryOperations::ClearDetailFields() {
    if (form_.TreeView1.nodeCount() != 0) return;
    form_.materialTypeText.setText("");
    form_.materialNameText.setText("");
    form_.descriptionText.setText("");
}

} // namespace mb
