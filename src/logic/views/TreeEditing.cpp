#include "TreeEditing.h"

#include "AppState.h"
#include "BaseForm.h"
#include "Controls.h"
#include "LibraryTextRules.h"
#include "MoveToCategory.h"
#include "NodeKey.h"
#include "TextUtil.h"

namespace mb {

TreeEditing::TreeEditing(BaseForm& form, PopupMenu& editMenu) : form_(form), editMenu_(editMenu) {}

bool TreeEditing::TreeView1_AfterLabelEdit(const std::string& newText) {
    Library& library = form_.state.library;
    TreeControl& tree = form_.TreeView1;
    const std::string key = tree.selectedKey().value_or("");
    bool accepted = false;

    if (IsCategoryKey(key)) {
        form_.messageBox.show(kCannotRenameCategory, MsgButtons::OK, MsgIcon::Question);
    } else {
        const std::string name(TrimBlanks(newText));
        const int i = KeyTailNumber(key);
        // Leaving the editor as it opened is no rename, and no reason for a message.
        if (library.IsValidNumber(i) && name == TrimBlanks(library.Entry(i).Name)) {
            form_.typeCombo_Click();
            return false;
        }
        bool taken = false;
        // Another letter case of its own name is a rename like any other.
        for (int j = 0; j <= library.LastMaterialIndex() && !taken; ++j)
            taken = j != i && EqualsNoCase(TrimBlanks(library.Entry(j).Name), name);
        // A line break would end the material line early on saving, and a name past its
        // columns would push the description along and be cut on reading.
        const char* refusal = taken                        ? kMaterialExists
                              : HasControlCharacter(name)  ? kNameHasControlCharacter
                              : name.size() > kNameColumns ? kNameTooWide
                                                           : nullptr;
        if (refusal) {
            form_.messageBox.show(refusal, MsgButtons::OK, MsgIcon::Exclamation);
        } else if (library.IsValidNumber(i)) {
            EditHistory& history = form_.state.history;
            const auto edit = history.begin(
                "Rename " + std::string(TrimBlanks(library.Entry(i).Name)) + " to " + name);
            history.RenameMaterial(i, name);
            // The key keeps the old name; only the label changes.
            tree.setNodeText(key, name);
            // The boxes show the material renamed: its name box follows.
            if (library.LastNodeKey == key) form_.materialNameText.setText(name);
            accepted = true;
        }
    }

    form_.typeCombo_Click();
    return accepted;
}

void TreeEditing::TreeView1_MouseDown(unsigned button, int, int x, int y) {
    if (button == RightButton) editMenu_.popup(x, y);
}

void TreeEditing::valueframe_MouseDown(unsigned button, int shift, int x, int y) {
    TreeView1_MouseDown(button, shift, x, y);
}

void TreeEditing::Form_MouseDown(unsigned button, int shift, int x, int y) {
    TreeView1_MouseDown(button, shift, x, y);
}

void TreeEditing::TreeView1_MouseMove(unsigned buttons, int, int x, int y) {
    if (buttons != LeftButton) return;
    TreeControl& tree = form_.TreeView1;
    const auto node = tree.hitTest(x, y);
    tree.setDropHighlight(node);
    if (!node || IsCategoryKey(*node)) return;

    DocumentState& doc = form_.state.doc;
    doc.DraggedNodeKey = *node;
    doc.DragSourceKey = tree.parentKey(*node).value_or("");
    tree.setDragImage(kDragPicture);
    tree.beginDrag(kDragPicture);
}

void TreeEditing::TreeView1_DragOver(int x, int y) {
    TreeControl& tree = form_.TreeView1;
    tree.setDragImage(kDragPicture);
    tree.setDropHighlight(tree.hitTest(x, y));
}

void TreeEditing::TreeView1_DragDrop(int x, int y) {
    TreeControl& tree = form_.TreeView1;
    DocumentState& doc = form_.state.doc;
    tree.setDragImage(kDragPicture);
    tree.setDropHighlight(tree.hitTest(x, y));

    if (const auto target = tree.dropHighlight()) {
        const std::string category =
            IsCategoryKey(*target) ? *target : tree.parentKey(*target).value_or("");
        if (!category.empty() && !EqualsNoCase(category, doc.DragSourceKey)) {
            const std::string moved =
                MoveMaterialToCategory(form_.state, tree, doc.DraggedNodeKey, category);
            // Selecting the moved node alone would leave the boxes and the grid on whatever
            // was shown before, and a value typed into the grid would go to the selected
            // material while another one is on show. Clicking it shows the moved material.
            if (!moved.empty()) form_.TreeView1_NodeClick(moved);
        }
    }

    tree.endDrag();
}

} // namespace mb
