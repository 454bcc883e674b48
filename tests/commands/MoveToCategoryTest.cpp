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

TEST_F(MoveToCategoryTest, MovingMaterialOneOfFiveMakesItTheLastAndLaterOnesMoveDown) {
    library().Material(1).Property("EX");
    library().Material(1).value(1.0e9); // an edit not yet saved travels with the record

    const std::string key = Move(1, "Copper");

    EXPECT_EQ(key, "Copper    6061  0004");
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"A36", "S275", "7075", "C101", "6061"}));
    EXPECT_EQ(library().LastMaterialIndex, 4);
    const LibraryEntry& moved = library().Entry(4);
    EXPECT_EQ(moved.Category, "Copper    ");
    EXPECT_EQ(moved.Description, "wrought alloy");
    EXPECT_EQ(library().Material(4).MaterialType(), "Copper    ");
    EXPECT_EQ(library().Shadow(4).MaterialType(), "Copper    ");
    EXPECT_EQ(library().Material(4).MaterialName(), "6061  ");
    EXPECT_EQ(ValueOf(library().Material(4), "EX"), 1.0e9);
    EXPECT_EQ(ValueOf(library().Shadow(4), "EX"), 6.9e10);
    // The former 2, 3 and 4 with their records and shadows.
    EXPECT_EQ(library().Material(1).MaterialName(), "S275  ");
    EXPECT_EQ(ValueOf(library().Shadow(1), "DENS"), std::nullopt);
    EXPECT_EQ(ValueOf(library().Material(2), "DENS"), 2810);
    EXPECT_EQ(ValueOf(library().Shadow(3), "EX"), 1.17e11);
}

TEST_F(MoveToCategoryTest, TheTreeIsRebuiltAndTheMovedNodeSelected) {
    Move(0, "Aluminium");
    EXPECT_EQ(
        tree().keysInOrder(),
        (std::vector<std::string>{"Aluminium    ", "Aluminium    6061  0000",
                                  "Aluminium    7075  0002", "Aluminium    A36  0004", "Steel    ",
                                  "Steel    S275  0001", "Copper    ", "Copper    C101  0003"}));
    EXPECT_EQ(tree().selectedKey(), "Aluminium    A36  0004");
    EXPECT_EQ(library().LastNodeKey, "Aluminium    A36  0004");
}

TEST_F(MoveToCategoryTest, MovingIntoItsOwnCategoryStillMakesItTheLast) {
    Move(0, "Steel");
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"6061", "S275", "7075", "C101", "A36"}));
    EXPECT_EQ(library().Entry(4).Category, "Steel    ");
}

TEST_F(MoveToCategoryTest, MovingTheLastMaterialKeepsItsNumber) {
    Move(4, "Steel");
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"A36", "6061", "S275", "7075", "C101"}));
    EXPECT_EQ(tree().parentKey(KeyOf(4)), CategoryKey("Steel"));
    EXPECT_FALSE(tree().exists(CategoryKey("Copper")));
}

TEST_F(MoveToCategoryTest, AKeyThatNamesNoMaterialChangesNothing) {
    const auto before = tree().keysInOrder();
    for (const std::string& key :
         {std::string(), CategoryKey("Steel"), std::string("Steel    X  0009")})
        EXPECT_EQ(MoveMaterialToCategory(library(), tree(), key, CategoryKey("Copper")), "") << key;
    EXPECT_EQ(tree().keysInOrder(), before);
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"A36", "6061", "S275", "7075", "C101"}));
}

} // namespace
} // namespace mb::test
