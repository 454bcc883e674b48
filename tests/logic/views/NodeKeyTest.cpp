// Node keys and the tree: built from the library, and following the edit history, where
// after every edit, undo and redo it is the tree a fresh build makes and, changed in place,
// keeps the selection on the same material under its new number.

#include "AppState.h"
#include "FakeControls.h"

#include "Library.h"
#include "NodeKey.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mb {
namespace {

// Categories differing only in case are two; the last node built is the last one keyed.
TEST(BuildTree, CategoriesInOrderOfFirstOccurrenceWithKeysOfCategoryNameAndNumber) {
    Library lib;
    for (const auto& [category, name] : {std::pair{"Steel    ", "A36  "},
                                         {"Alloy 2024    ", "T3  "},
                                         {"Steel    ", "S355  "},
                                         {"STEEL    ", "X  "}})
        lib.addMaterial(category, "", name, "");
    fake::FakeTree tree;
    BuildTree(lib, tree);
    EXPECT_EQ(tree.keysInOrder(),
              (std::vector<std::string>{"Steel    ", "Steel    A36  0000", "Steel    S355  0002",
                                        "Alloy 2024    ", "Alloy 2024    T3  0001", "STEEL    ",
                                        "STEEL    X  0003"}));
    EXPECT_EQ(lib.LastNodeKey, "STEEL    X  0003");
}

} // namespace
} // namespace mb

namespace mb::test {

namespace {

struct Node {
    std::string key, text, parent, image;
    bool operator==(const Node&) const = default;
};

std::vector<Node> Nodes(const fake::FakeTree& tree) {
    std::vector<Node> out;
    for (const std::string& key : tree.keysInOrder())
        out.push_back({key, tree.nodeText(key), tree.parentKey(key).value_or(""), tree.image(key)});
    return out;
}

/// One edit: materials removed in this order, or one moved to the end of category "C".
struct Case {
    const char* name;
    std::vector<int> removed;
    int moved;         ///< -1 for none
    int selected;      ///< the material selected before the edit
    int selectedAfter; ///< its number after it, -1 when the tree was built afresh
};
class FollowChangeTest : public ::testing::TestWithParam<Case> {
protected:
    FollowChangeTest() {
        // Categories first seen in the order A, C, D; C again after D, A at the end.
        for (const auto& [category, name] : {std::pair{"A", "a0"},
                                             {"A", "a1"},
                                             {"C", "c2"},
                                             {"D", "d3"},
                                             {"C", "c4"},
                                             {"A", "a5"}})
            state.library.addMaterial({category, "", name, ""}, clsMaterial{}, clsMaterial{});
        BuildTree(state.library, tree);
        tree.setExpanded("A", true);
        state.history.addListener(
            [this](const LibraryChange& change) { followChange(state.library, tree, change); });
    }
    std::string keyOf(int n) {
        const LibraryEntry& e = state.library.entry(n);
        return materialNodeKey(e.Category, e.Name, n);
    }
    void expectFreshTree(const char* when) {
        fake::FakeTree fresh;
        BuildTree(state.library, fresh);
        EXPECT_EQ(Nodes(tree), Nodes(fresh)) << when;
        EXPECT_TRUE(tree.isExpanded("A")) << when;
    }

    AppState state;
    fake::FakeTree tree;
};

TEST_P(FollowChangeTest, TheTreeIsWhatAFreshBuildMakesAfterEditUndoAndRedo) {
    const Case& c = GetParam();
    // Selected as a click selects: its node marked.
    tree.select(keyOf(c.selected));
    tree.setImage(keyOf(c.selected), "leaf1");
    state.library.LastNodeKey = keyOf(c.selected);
    const std::string selectedName = state.library.entry(c.selected).Name;
    {
        const auto edit = state.history.begin(c.name);
        if (c.moved >= 0) state.history.moveMaterialToEnd(c.moved, "C");
        for (const int n : c.removed)
            state.history.removeMaterial(n);
    }
    expectFreshTree("after the edit");
    if (c.selectedAfter >= 0) {
        EXPECT_EQ(tree.selectedKey(), keyOf(c.selectedAfter));
        EXPECT_EQ(state.library.entry(c.selectedAfter).Name, selectedName);
    } else {
        EXPECT_EQ(tree.selectedKey(), std::nullopt) << "built afresh, nothing selected";
    }
    ASSERT_TRUE(state.history.undo());
    expectFreshTree("after the undo");
    ASSERT_TRUE(state.history.redo());
    expectFreshTree("after the redo");
}

INSTANTIATE_TEST_SUITE_P(Edits, FollowChangeTest,
                         ::testing::Values(Case{"DeleteFirstOfACategory", {0}, -1, 5, 4},
                                           Case{"DeleteTheOnlyOneOfACategory", {3}, -1, 4, 3},
                                           Case{"MoveToTheEndOfAnotherCategory", {}, 1, 4, 3},
                                           Case{"DeleteTwoInOneEdit", {5, 0}, -1, 4, 3},
                                           // C's first material goes: C now comes after D, an order
                                           // only a fresh build gives.
                                           Case{"DeleteThatReordersTheCategories", {2}, -1, 5, -1}),
                         [](const ::testing::TestParamInfo<Case>& tested) {
                             return std::string(tested.param.name);
                         });

} // namespace

} // namespace mb::test
