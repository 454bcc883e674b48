#include "EditingFixture.h"

#include "model/MoveToCategory.h"

namespace mb::test {
namespace {

class MoveToCategoryTest : public EditingFixture {
protected:
    std::string Move(int n, const std::string& category) {
        return MoveMaterialToCategory(library(), tree(), KeyOf(n), CategoryKey(category));
    }
};

TEST_F(MoveToCategoryTest, TheMovedMaterialBecomesTheLastAndLaterOnesMoveDown) {
    library().Material(1).CopyProperty("EX", 1.0e9); // an unsaved edit travels with the record

    EXPECT_EQ(Move(1, "Copper"), "Copper    6061  0004");

    EXPECT_EQ(EntryNames(), (Texts{"A36", "S275", "7075", "C101", "6061"}));
    EXPECT_EQ(library().Entry(4).Category, "Copper    ");
    EXPECT_EQ(library().Entry(4).Description, "wrought alloy");
    EXPECT_EQ(library().Material(4).MaterialType(), "Copper    ");
    EXPECT_EQ(library().Shadow(4).MaterialType(), "Copper    ");
    EXPECT_EQ(ValueOf(library().Material(4), "EX"), 1.0e9);
    EXPECT_EQ(ValueOf(library().Shadow(4), "EX"), 6.9e10);
    // The former 2, 3 and 4 with their records and shadows.
    EXPECT_EQ(library().Material(1).MaterialName(), "S275  ");
    EXPECT_EQ(ValueOf(library().Shadow(1), "DENS"), std::nullopt);
    EXPECT_EQ(ValueOf(library().Material(2), "DENS"), 2810);
    EXPECT_EQ(ValueOf(library().Shadow(3), "EX"), 1.17e11);
    // The tree is rebuilt from the entries and the moved node selected.
    EXPECT_EQ(tree().keysInOrder(), (Texts{"Steel    ", "Steel    A36  0000", "Steel    S275  0001",
                                           "Aluminium    ", "Aluminium    7075  0002", "Copper    ",
                                           "Copper    C101  0003", "Copper    6061  0004"}));
    EXPECT_EQ(tree().selectedKey(), "Copper    6061  0004");
    EXPECT_EQ(library().LastNodeKey, "Copper    6061  0004");
}

TEST_F(MoveToCategoryTest, EvenAMoveIntoItsOwnCategoryMakesItTheLast) {
    Move(0, "Steel");
    EXPECT_EQ(EntryNames(), (Texts{"6061", "S275", "7075", "C101", "A36"}));
    EXPECT_EQ(library().Entry(4).Category, "Steel    ");
    Move(3, "Steel"); // C101 leaves Copper empty
    EXPECT_EQ(EntryNames(), (Texts{"6061", "S275", "7075", "A36", "C101"}));
    EXPECT_FALSE(tree().exists(CategoryKey("Copper")));
}

TEST_F(MoveToCategoryTest, AKeyThatNamesNoMaterialChangesNothing) {
    const Texts before = tree().keysInOrder();
    for (const std::string key : {"", "Steel    ", "Steel    X  0009"})
        EXPECT_EQ(MoveMaterialToCategory(library(), tree(), key, CategoryKey("Copper")), "") << key;
    EXPECT_EQ(tree().keysInOrder(), before);
    EXPECT_EQ(EntryNames(), kFiveNames);
}

} // namespace
} // namespace mb::test
