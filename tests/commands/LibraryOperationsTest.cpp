#include "EditingFixture.h"

#include "model/LibraryOperations.h"

namespace mb::test {
namespace {

class LibraryOperationsTest : public EditingFixture {
protected:
    void Delete(int n, MsgResult answer = MsgResult::Yes) {
        ClickMaterial(n);
        messages().queueAnswer(answer);
        commands.DeleteSelected();
    }
    void AddEmptyCategory() {
        tree().addNode(std::nullopt, "Empty    ", "Empty    ", "closedbook");
    }
};

// ---- Deleting --------------------------------------------------------------------------

TEST_F(LibraryOperationsTest, DeletingAsksWithTheNodesTextAndNoKeepsEverything) {
    Delete(0, MsgResult::No);
    ExpectOnlyMessage("Are you sure, you want to delete A36   ?", MsgButtons::YesNo,
                      MsgIcon::Question);
    EXPECT_EQ(EntryNames(), kFiveNames);
    EXPECT_TRUE(tree().exists("Steel    A36  0000"));
}

TEST_F(LibraryOperationsTest, DeletingMaterialZeroOfThreeRenumbersTheOthers) {
    Open({{"Steel", "A36", "", "", 2.0e11},
          {"Steel", "S275", "", "", 2.1e11},
          {"Iron", "Cast", "", "", 1.0e11}});
    Delete(0);
    EXPECT_EQ(library().LastMaterialIndex, 1);
    EXPECT_EQ(tree().keysInOrder(),
              (Texts{"Steel    ", "Steel    S275  0000", "Iron    ", "Iron    Cast  0001"}));
    EXPECT_EQ(ValueOf(library().Material(0), "EX"), 2.1e11);
    EXPECT_EQ(ValueOf(library().Shadow(1), "EX"), 1.0e11);
    EXPECT_EQ(library().Material(1).MaterialName(), "Cast  ");
    EXPECT_EQ(library().Shadow(0).MaterialName(), "S275  ");
}

TEST_F(LibraryOperationsTest, ANeighbourIsShownAndTheBoxesAreEmptied) {
    Delete(0);
    // S275, now material 1, took A36's place in Steel.
    EXPECT_EQ(tree().selectedKey(), "Steel    S275  0001");
    EXPECT_EQ(Shown(), kMaterialShown);
    EXPECT_EQ(Boxes(), (Texts{"", "", ""}));
}

TEST_F(LibraryOperationsTest, DeletingTheOnlyMaterialOfACategoryRemovesTheCategory) {
    Delete(4);
    EXPECT_FALSE(tree().exists(CategoryKey("Copper")));
    EXPECT_EQ(tree().nodeCount(), 6);
    Open({{"Steel", "A36"}});
    Delete(0);
    EXPECT_EQ(library().LastMaterialIndex, -1);
    EXPECT_EQ(tree().nodeCount(), 0);
    EXPECT_EQ(Shown(), kNewMaterialShown) << "nothing left to show";
}

TEST_F(LibraryOperationsTest, ACategoryWithMaterialsCannotBeDeleted) {
    ClickCategory("Steel");
    commands.DeleteSelected();
    ExpectOnlyMessage("Cannot delete a Category !", MsgButtons::OK, MsgIcon::Exclamation);
    EXPECT_EQ(library().LastMaterialIndex, 4);
    EXPECT_EQ(tree().nodeCount(), 8);
}

TEST_F(LibraryOperationsTest, AnEmptyCategoryIsRemovedWithoutAskingTheBoxesEmptiedWithTheTree) {
    AddEmptyCategory();
    editor.clickNode("Empty    ");
    commands.DeleteSelected();
    EXPECT_TRUE(messages().questions.empty());
    EXPECT_FALSE(tree().exists("Empty    "));
    EXPECT_EQ(library().LastMaterialIndex, 4);
    EXPECT_EQ(Boxes(), (Texts{"Empty    ", "", ""})) << "the tree still has nodes";

    Open({});
    AddEmptyCategory();
    editor.clickNode("Empty    ");
    editor.materialNameText.setText("typed");
    commands.DeleteSelected();
    EXPECT_EQ(tree().nodeCount(), 0);
    EXPECT_EQ(Boxes(), (Texts{"", "", ""}));
}

// ---- Clearing values ---------------------------------------------------------------------

TEST_F(LibraryOperationsTest, ClearingValuesZeroesThemKeepsTheirMarksAndShowsTheZeros) {
    ClickMaterial(0);
    ASSERT_EQ(editor.VSFlexGrid1.textMatrix(1, 2), "200000000000");
    commands.ClearValues();
    EXPECT_EQ(ValueOf(library().Material(0), "EX"), 0.0);
    EXPECT_EQ(ValueOf(library().Material(0), "DENS"), 0.0);
    EXPECT_EQ(ValueOf(library().Material(0), "NUXY"), std::nullopt);
    EXPECT_EQ(ValueOf(library().Shadow(0), "EX"), 2.0e11) << "the shadow keeps the values";
    EXPECT_EQ(ValueOf(library().Material(1), "EX"), 6.9e10);
    EXPECT_EQ(editor.VSFlexGrid1.textMatrix(1, 2), "0");
}

TEST_F(LibraryOperationsTest, WithNothingOrACategorySelectedNothingIsDeletedOrCleared) {
    commands.DeleteSelected();
    commands.ClearValues();
    ClickCategory("Steel");
    commands.ClearValues();
    EXPECT_TRUE(messages().questions.empty());
    EXPECT_EQ(library().LastMaterialIndex, 4);
    for (int n = 0; n <= 4; ++n)
        EXPECT_NE(ValueOf(library().Material(n), "EX").value_or(0), 0.0);
}

} // namespace
} // namespace mb::test
