#include "NodeKey.h"

#include "Controls.h"
#include "EditHistory.h"
#include "Library.h"

#include <map>
#include <string_view>
#include <utility>
#include <vector>

namespace mb {

std::string fourDigitText(int n) {
    std::string digits = std::to_string(n);
    if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
    return digits;
}

int keyTailNumber(std::string_view key) {
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
    return keyTailNumber(key) == 0 && tail != "0000";
}

std::string materialNodeKey(const std::string& category, const std::string& name, int n) {
    // Made once for every material whenever the tree follows a move: one allocation each.
    const std::string digits = fourDigitText(n);
    std::string key;
    key.reserve(category.size() + name.size() + digits.size());
    key.append(category).append(name).append(digits);
    return key;
}

void BuildTree(Library& library, TreeControl& tree) {
    for (int i = 0; i <= library.LastMaterialIndex(); ++i) {
        const LibraryEntry& e = library.entry(i);
        tree.addNode(std::nullopt, e.Category, e.Category, "closedbook");
        const std::string key = materialNodeKey(e.Category, e.Name, i);
        tree.addNode(e.Category, key, e.Name, "leaf");
        library.LastNodeKey = key;
    }
}

void rebuildTree(Library& library, TreeControl& tree) {
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
        if (shown.kind != EditFocus::Kind::Material || !library.isValidNumber(shown.material))
            return false;
        const LibraryEntry& e = library.entry(shown.material);
        return !tree.exists(materialNodeKey(e.Category, e.Name, shown.material));
    }
    if (change.numbersShifted) return true;
    if (!change.treeChanged) return false;
    // A command may have placed or relabelled the node itself (a rename typed into the
    // tree keeps its key); a node under another category or with another label has not.
    std::vector<std::string> nodeOf(static_cast<std::size_t>(library.materialCount()));
    for (const std::string& key : tree.keysInOrder()) {
        const int n = keyTailNumber(key);
        if (tree.parentKey(key) && library.isValidNumber(n))
            nodeOf[static_cast<std::size_t>(n)] = key;
    }
    for (const int n : change.materials) {
        if (!library.isValidNumber(n)) continue;
        const std::string& key = nodeOf[static_cast<std::size_t>(n)];
        const LibraryEntry& e = library.entry(n);
        if (key.empty() || tree.parentKey(key) != e.Category || tree.nodeText(key) != e.Name)
            return true;
    }
    return false;
}

// A material node's key without its number: its category and name.
std::string_view Stem(std::string_view key) {
    return key.substr(0, key.size() > 4 ? key.size() - 4 : 0);
}

// Changes the tree into what BuildTree makes of the library, touching only what differs: in
// each category the nodes from the first one whose material is not the same to the last
// such go and the library's come in their place, and the nodes around them, of the same
// materials, only take their new numbers. A delete costs one node and a thousand keys
// instead of two thousand new nodes, each open category stays open and the view keeps its
// place. False when the categories' order changed (not only by one going or one coming at
// the end) or the tree refused a step; the caller then builds it afresh.
bool FollowInPlace(Library& library, TreeControl& tree) {
    if (!tree.setNodeKeys({})) return false;
    std::vector<std::string> categories;
    std::map<std::string, std::vector<std::string>, std::less<>> wanted;
    for (int i = 0; i <= library.LastMaterialIndex(); ++i) {
        const LibraryEntry& e = library.entry(i);
        auto [it, fresh] = wanted.try_emplace(e.Category);
        if (fresh) categories.push_back(e.Category);
        it->second.push_back(materialNodeKey(e.Category, e.Name, i));
    }
    const std::vector<TreeBranch> shown = tree.branches();
    std::map<std::string_view, const std::vector<TreeBranch::Leaf>*> held;
    for (const TreeBranch& branch : shown)
        held.emplace(branch.key, &branch.leaves);
    std::size_t kept = 0;
    for (const TreeBranch& branch : shown) {
        if (!wanted.contains(branch.key)) continue;
        if (kept >= categories.size() || categories[kept] != branch.key) return false;
        ++kept;
    }
    for (std::size_t i = kept; i < categories.size(); ++i)
        if (held.contains(categories[i])) return false;

    for (const TreeBranch& branch : shown)
        if (!wanted.contains(branch.key) && !tree.removeNode(branch.key)) return false;
    std::vector<std::pair<std::string, std::string>> renames;
    struct Insertion {
        const std::string* category;
        int index;
        const std::string* key;
    };
    std::vector<Insertion> insertions;
    // A rename typed into the tree keeps its node's key, so a node can stay under the key
    // it should have and still show another name (its undo, for one).
    struct Staying {
        const std::string* key;
        const std::string* text;
    };
    std::vector<Staying> staying;
    for (std::size_t i = 0; i < kept; ++i) {
        const std::string& c = categories[i];
        const std::vector<TreeBranch::Leaf>& have = *held.at(c);
        const std::vector<std::string>& want = wanted[c];
        std::size_t front = 0;
        while (front < have.size() && front < want.size() &&
               Stem(have[front].key) == Stem(want[front]))
            ++front;
        std::size_t back = 0;
        while (back < have.size() - front && back < want.size() - front &&
               Stem(have[have.size() - 1 - back].key) == Stem(want[want.size() - 1 - back]))
            ++back;
        const auto same = [&](std::size_t h, std::size_t w) {
            if (have[h].key != want[w]) renames.emplace_back(have[h].key, want[w]);
            staying.push_back({&want[w], &have[h].text});
        };
        for (std::size_t k = 0; k < front; ++k)
            same(k, k);
        for (std::size_t k = 1; k <= back; ++k)
            same(have.size() - k, want.size() - k);
        for (std::size_t k = front; k < have.size() - back; ++k)
            if (!tree.removeNode(have[k].key)) return false;
        for (std::size_t k = front; k < want.size() - back; ++k)
            insertions.push_back({&c, static_cast<int>(k), &want[k]});
    }
    if (!tree.setNodeKeys(renames)) return false;
    for (const Staying& node : staying) {
        const std::string& name = library.entry(keyTailNumber(*node.key)).Name;
        if (*node.text != name) tree.setNodeText(*node.key, name);
    }
    for (const Insertion& in : insertions)
        if (!tree.insertNode(*in.category, in.index, *in.key,
                             library.entry(keyTailNumber(*in.key)).Name, "leaf"))
            return false;
    for (std::size_t i = kept; i < categories.size(); ++i) {
        const std::string& c = categories[i];
        if (!tree.addNode(std::nullopt, c, c, "closedbook")) return false;
        for (const std::string& key : wanted[c])
            if (!tree.addNode(c, key, library.entry(keyTailNumber(key)).Name, "leaf")) return false;
    }
    // A tree built afresh shows no material as the one selected: the node last marked so
    // is set back, under the key it has now.
    std::string marked = library.LastNodeKey;
    for (const auto& [from, to] : renames)
        if (from == marked) {
            marked = to;
            break;
        }
    if (tree.parentKey(marked)) tree.setImage(marked, "leaf");
    const int last = library.LastMaterialIndex();
    if (last >= 0)
        library.LastNodeKey =
            materialNodeKey(library.entry(last).Category, library.entry(last).Name, last);
    return true;
}

} // namespace

void followChange(Library& library, TreeControl& tree, const LibraryChange& change) {
    if (NeedsRebuild(library, tree, change) && !FollowInPlace(library, tree))
        rebuildTree(library, tree);
}

std::string neighbourOfRemoved(const TreeControl& tree, const Library& library, int removed,
                               const std::string& category) {
    if (tree.exists(category)) {
        std::string before;
        for (const std::string& k : tree.keysInOrder()) {
            if (tree.parentKey(k) != category) continue;
            if (keyTailNumber(k) >= removed) return k;
            before = k;
        }
        if (!before.empty()) return before;
    }
    const int last = library.LastMaterialIndex();
    const int wanted = removed <= last ? removed : last;
    for (const std::string& k : tree.keysInOrder())
        if (tree.parentKey(k) && keyTailNumber(k) == wanted) return k;
    return "";
}

int SelectedMaterialNumber(const TreeControl& tree) {
    if (tree.nodeCount() == 0) return -1;
    const auto key = tree.selectedKey();
    if (!key) return -1;
    if (IsCategoryKey(*key) && tree.childCount(*key) > 0) return -1;
    return keyTailNumber(*key);
}

void ResetLibraryView(Library& library, TreeControl& tree, Visibility& valueFrame) {
    library.discardIndex();
    tree.clearImages();
    tree.removeAll();
    tree.setVisible(false);
    valueFrame.setVisible(false);
}

} // namespace mb
