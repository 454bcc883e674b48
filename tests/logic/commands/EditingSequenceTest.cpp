// Random sequences of adds, deletions and moves, checking after every step that entry i,
// record i and shadow i still describe the same material and that the tree's material nodes
// carry exactly the numbers 0..last.

#include "EditingFixture.h"

#include <random>
#include <set>

namespace mb::test {
namespace {

class EditingSequenceTest : public EditingFixture, public ::testing::WithParamInterface<unsigned> {
protected:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, std::max(n, 1) - 1)(rng); }
    /// Tags material n through its shadow's density, which travels with the material.
    void Tag(int n) {
        tags.push_back(++lastTag);
        library().Shadow(n).CopyProperty("DENS", lastTag);
    }
    /// Adds a material (a repeated name is refused), deletes material m or drags it onto
    /// `category`.
    void Step(int m, const std::string& category) {
        const int last = library().LastMaterialIndex(), what = last < 0 ? 0 : Pick(3);
        if (what == 0) {
            Type(Pick(2) ? "Steel" : " Nickel ", "N" + std::to_string(Pick(60)));
            commands.onNewMaterial();
            if (library().LastMaterialIndex() > last) Tag(last + 1);
        } else if (what == 1) {
            Delete(m);
            tags.erase(tags.begin() + m);
        } else if (!EqualsNoCase(*tree().parentKey(KeyOf(m)), category)) {
            tree().placeAt(1, 1, KeyOf(m));
            tree().placeAt(1, 2, category);
            treeEditing.TreeView1_MouseMove(LeftButton, 0, 1, 1);
            treeEditing.TreeView1_DragDrop(1, 2);
            const double moved = tags[std::size_t(m)];
            tags.erase(tags.begin() + m);
            tags.push_back(moved);
            ++moves;
        }
        editor.messageBox.questions.clear();
    }

    std::mt19937 rng{GetParam()};
    std::vector<double> tags; ///< material i's tag
    double lastTag = 0;
    int moves = 0;
};

TEST_P(EditingSequenceTest, EveryStepKeepsTheLibraryAndTheTreeInStep) {
    for (int i = 0; i <= library().LastMaterialIndex(); ++i)
        Tag(i);
    std::set<int> sizes;
    for (int step = 0; step < 300 && !HasFailure(); ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const Texts keys = tree().keysInOrder();
        const std::string node = keys.empty() ? "" : keys[std::size_t(Pick(int(keys.size())))];
        Step(Pick(library().LastMaterialIndex() + 1), tree().parentKey(node).value_or(node));
        const int count = library().LastMaterialIndex() + 1;
        sizes.insert(count);
        ASSERT_EQ(tags.size(), std::size_t(count));
        std::multiset<int> numbers, all;
        for (int i = 0; i < count; ++i) {
            const LibraryEntry& e = library().Entry(i);
            clsMaterial& shadow = library().Shadow(i);
            EXPECT_EQ(ValueOf(shadow, "DENS"), tags[std::size_t(i)]) << i;
            EXPECT_EQ(TrimBlanks(shadow.MaterialName()), TrimBlanks(e.Name)) << i;
            EXPECT_EQ(TrimBlanks(shadow.MaterialType()), TrimBlanks(e.Category)) << i;
            all.insert(i);
        }
        for (const std::string& key : tree().keysInOrder())
            if (tree().parentKey(key)) numbers.insert(KeyTailNumber(key));
        EXPECT_EQ(numbers, all);
    }
    EXPECT_GT(sizes.size(), 5u) << "the library must really grow and shrink";
    EXPECT_GT(moves, 5);
}

INSTANTIATE_TEST_SUITE_P(FixedSeeds, EditingSequenceTest, ::testing::Values(7u, 2024u, 90210u));

} // namespace
} // namespace mb::test
