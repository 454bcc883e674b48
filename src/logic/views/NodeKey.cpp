#include "NodeKey.h"

#include "Controls.h"
#include "EditHistory.h"
#include "Library.h"

namespace mb {

std::string FourDigitText(int n) {
    std::string digits = std::to_string(n);
    if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
    return digits;
}

int KeyTailNumber(std::string_view key) {
    const std::string_view tail = key.size() > 4 ? key.substr(key.size() - 4) : key;
    int value = 0;
    for (char c : tail) {
        if (c == ' ') continue;
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool IsCategoryKey(std::string_view key) {
    const std::string_view tail = key.size() > 4 ? key.substr(key.size() - 4) : key;
    return KeyTailNumber(key) == 0 && tail != "0000";
}

std::string MaterialNodeKey(const std::string& category, const std::string& name, int n) {
    return category + name + FourDigitText(n);
}

void BuildTree(Library& library, TreeControl& tree) {
    for (int i = 0; i <= library.LastMaterialIndex(); ++i) {
        const LibraryEntry& e = library.Entry(i);
        tree.addNode(std::nullopt, e.Category, e.Category, "closedbook");
        const std::string key = MaterialNodeKey(e.Category, e.Name, i);
        tree.addNode(e.Category, key, e.Name, "leaf");
        library.LastNodeKey = key;
    }
}

void RebuildTree(Library& library, TreeControl& tree) {
    std::vector<std::string> open;
    for (const std::string& key : tree.keysInOrder())
        if (!tree.parentKey(key) && tree.isExpanded(key)) open.push_back(key);
    tree.removeAll();
    BuildTree(library, tree);
    for (const std::string& key : open)
        tree.setExpanded(key, true);
}

namespace {

bool NeedsRebuild(Library& library, const TreeControl& tree, const LibraryChange& change) {
    if (change.cause != LibraryChange::Cause::Edit) {
        if (change.treeChanged) return true;
        // A rename leaves its node's key as it was: the tree may not know the key yet.
        const EditFocus& shown = change.shown;
        if (shown.kind != EditFocus::Kind::Material || !library.IsValidNumber(shown.material))
            return false;
        const LibraryEntry& e = library.Entry(shown.material);
        return !tree.exists(MaterialNodeKey(e.Category, e.Name, shown.material));
    }
    if (change.numbersShifted) return true;
    if (!change.treeChanged) return false;
    // A command may have placed or relabelled the node itself (a rename typed into the
    // tree keeps its key); a node under another category or with another label has not.
    std::vector<std::string> nodeOf(static_cast<std::size_t>(library.MaterialCount()));
    for (const std::string& key : tree.keysInOrder()) {
        const int n = KeyTailNumber(key);
        if (tree.parentKey(key) && library.IsValidNumber(n))
            nodeOf[static_cast<std::size_t>(n)] = key;
    }
    for (const int n : change.materials) {
        if (!library.IsValidNumber(n)) continue;
        const std::string& key = nodeOf[static_cast<std::size_t>(n)];
        const LibraryEntry& e = library.Entry(n);
        if (key.empty() || tree.parentKey(key) != e.Category || tree.nodeText(key) != e.Name)
            return true;
    }
    return false;
}

} // namespace

void FollowChange(Library& library, TreeControl& tree, const LibraryChange& change) {
    if (NeedsRebuild(library, tree, change)) RebuildTree(library, tree);
}

std::string NeighbourOfRemoved(const TreeControl& tree, const Library& library, int removed,
                               const std::string& category) {
    if (tree.exists(category)) {
        std::string before;
        for (const std::string& k : tree.keysInOrder()) {
            if (tree.parentKey(k) != category) continue;
            if (KeyTailNumber(k) >= removed) return k;
            before = k;
        }
        if (!before.empty()) return before;
    }
    const int last = library.LastMaterialIndex();
    const int wanted = removed <= last ? removed : last;
    for (const std::string& k : tree.keysInOrder())
        if (tree.parentKey(k) && KeyTailNumber(k) == wanted) return k;
    return "";
}

int SelectedMaterialNumber(const TreeControl& tree) {
    if (tree.nodeCount() == 0) return -1;
    const auto key = tree.selectedKey();
    if (!key) return -1;
    if (IsCategoryKey(*key) && tree.childCount(*key) > 0) return -1;
    return KeyTailNumber(*key);
}

void ResetLibraryView(Library& library, TreeControl& tree, Visibility& valueFrame) {
    library.DiscardIndex();
    tree.clearImages();
    tree.removeAll();
    tree.setVisible(false);
    valueFrame.setVisible(false);
}

} // namespace mb
