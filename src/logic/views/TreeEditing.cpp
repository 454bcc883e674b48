#include "TreeEditing.h"

#include "AppState.h"
#include "BaseForm.h"
#include "Controls.h"
#include "LibraryTextRules.h"
#include "MoveToCategory.h"
#include "NodeKey.h"
#include "TextUtil.h"

namespace mb {

TreeEditing::TreeEditing(AppState& state, BaseForm& form, MessageBox& messages, PopupMenu& editMenu)
    : state_(state), form_(form), messages_(messages), editMenu_(editMenu) {}

bool TreeEditing::TreeView1_AfterLabelEdit(const std::string& newText) {
    Library& library = state_.library;
    TreeControl& tree = form_.tree();
    const std::string key = tree.selectedKey().value_or("");
    bool accepted = false;

    if (IsCategoryKey(key)) {
        messages_.show(kCannotRenameCategory, MsgButtons::OK, MsgIcon::Question);
    } else {
        const std::string name(trimBlanks(newText));
        const int i = keyTailNumber(key);
        // Leaving the editor as it opened is no rename, and no reason for a message.
        if (library.isValidNumber(i) && name == trimBlanks(library.entry(i).Name)) {
            form_.typeCombo_Click();
            return false;
        }
        bool taken = false;
        // Another letter case of its own name is a rename like any other.
        for (int j = 0; j <= library.LastMaterialIndex() && !taken; ++j)
            taken = j != i && equalsNoCase(trimBlanks(library.entry(j).Name), name);
        // A line break would end the material line early on saving, and a name past its
        // columns would push the description along and be cut on reading.
        const char* refusal = taken                        ? kMaterialExists
                              : hasControlCharacter(name)  ? kNameHasControlCharacter
                              : name.size() > kNameColumns ? kNameTooWide
                                                           : nullptr;
        if (refusal) {
            messages_.show(refusal, MsgButtons::OK, MsgIcon::Exclamation);
        } else if (library.isValidNumber(i)) {
            EditHistory& history = state_.history;
            const auto edit = history.begin(
                "Rename " + std::string(trimBlanks(library.entry(i).Name)) + " to " + name);
            history.renameMaterial(i, name);
            // The key keeps the old name; only the label changes.
            tree.setNodeText(key, name);
            // The boxes show the material renamed: its name box follows.
            if (library.LastNodeKey == key) form_.nameBox().setText(name);
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
    TreeControl& tree = form_.tree();
    const auto node = tree.hitTest(x, y);
    tree.setDropHighlight(node);
    if (!node || IsCategoryKey(*node)) return;

    DocumentState& doc = state_.doc;
    doc.DraggedNodeKey = *node;
    doc.DragSourceKey = tree.parentKey(*node).value_or("");
    tree.setDragImage(kDragPicture);
    tree.beginDrag(kDragPicture);
}

void TreeEditing::TreeView1_DragOver(int x, int y) {
    TreeControl& tree = form_.tree();
    tree.setDragImage(kDragPicture);
    tree.setDropHighlight(tree.hitTest(x, y));
}

void TreeEditing::TreeView1_DragDrop(int x, int y) {
    TreeControl& tree = form_.tree();
    DocumentState& doc = state_.doc;
    tree.setDragImage(kDragPicture);
    tree.setDropHighlight(tree.hitTest(x, y));

    if (const auto target = tree.dropHighlight()) {
        const std::string category =
            IsCategoryKey(*target) ? *target : tree.parentKey(*target).value_or("");
        if (!category.empty() && !equalsNoCase(category, doc.DragSourceKey)) {
            const std::string moved =
                MoveMaterialToCategory(state_, tree, doc.DraggedNodeKey, category);
            // Selecting the moved node alone would leave the boxes and the grid on whatever
            // was shown before, and a value typed into the grid would go to the selected
            // material while another one is on show. Clicking it shows the moved material.
            if (!moved.empty()) form_.TreeView1_NodeClick(moved);
        }
    }

    tree.endDrag();
}

} // namespace mb
