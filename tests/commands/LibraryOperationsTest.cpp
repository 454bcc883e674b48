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
    /// The Value cell of the row showing `code`, "" when no row shows it.
    std::string GridValue(const std::string& code) {
        auto& grid = editor.VSFlexGrid1;
        for (int row = 1; row < grid.rows(); ++row)
            if (TrimBlanks(grid.textMatrix(row, 0)) == code) return grid.textMatrix(row, 2);
        return "";
    }
};

// ---- Deleting --------------------------------------------------------------------------

TEST_F(LibraryOperationsTest, DeletingAsksWithTheNodesTextAndNoKeepsEverything) {
    Delete(0, MsgResult::No);
    ExpectOnlyMessage("Are you sure, you want to delete A36   ?", MsgButtons::YesNo,
                      MsgIcon::Question);
    EXPECT_EQ(library().LastMaterialIndex, 4);
    EXPECT_TRUE(tree().exists("Steel    A36  0000"));
}

TEST_F(LibraryOperationsTest, DeletingMaterialZeroOfThreeRenumbersTheOthers) {
    Open({{"Steel", "A36", "", "", 2.0e11},
          {"Steel", "S275", "", "", 2.1e11},
          {"Iron", "Cast", "", "", 1.0e11}});
    Delete(0);
    EXPECT_EQ(library().LastMaterialIndex, 1);
    EXPECT_EQ(tree().keysInOrder(), (std::vector<std::string>{"Steel    ", "Steel    S275  0000",
                                                              "Iron    ", "Iron    Cast  0001"}));
    EXPECT_EQ(ValueOf(library().Material(0), "EX"), 2.1e11);
    EXPECT_EQ(ValueOf(library().Shadow(1), "EX"), 1.0e11);
    EXPECT_EQ(library().Material(1).MaterialName(), "Cast  ");
    EXPECT_EQ(library().Shadow(0).MaterialName(), "S275  ");
}

TEST_F(LibraryOperationsTest, DeletingTheOnlyMaterialOfACategoryRemovesTheCategory) {
    Delete(4);
    EXPECT_FALSE(tree().exists(CategoryKey("Copper")));
    EXPECT_EQ(tree().nodeCount(), 6);
}

TEST_F(LibraryOperationsTest, ANeighbourIsShownAndTheBoxesAreEmptied) {
    Delete(0);
    // S275, now material 1, took A36's place in Steel.
    EXPECT_EQ(tree().selectedKey(), "Steel    S275  0001");
    EXPECT_EQ(tree().image("Steel    S275  0001"), "leaf1");
    EXPECT_EQ(library().LastNodeKey, "Steel    S275  0001");
    EXPECT_TRUE(editor.VSFlexGrid1.isVisible());
    EXPECT_EQ(editor.materialTypeText.text(), "");
    EXPECT_EQ(editor.materialNameText.text(), "");
    EXPECT_EQ(editor.descriptionText.text(), "");
}

TEST_F(LibraryOperationsTest, TheLastMaterialOfACategoryGivesWayToThePreviousOne) {
    Delete(3); // 7075, after 6061 in Aluminium
    EXPECT_EQ(tree().selectedKey(), "Aluminium    6061  0001");
}

TEST_F(LibraryOperationsTest, DeletingTheLastMaterialOfTheLibraryLeavesNothingToShow) {
    Open({{"Steel", "A36"}});
    Delete(0);
    EXPECT_EQ(library().LastMaterialIndex, -1);
    EXPECT_EQ(tree().nodeCount(), 0);
    EXPECT_FALSE(editor.VSFlexGrid1.isVisible());
    EXPECT_TRUE(editor.cmdNewMaterial.isVisible());
    EXPECT_FALSE(editor.reset.isVisible());
    EXPECT_EQ(editor.materialNameText.text(), "");
}

TEST_F(LibraryOperationsTest, ACategoryWithMaterialsCannotBeDeleted) {
    ClickCategory("Steel");
    commands.DeleteSelected();
    ExpectOnlyMessage("Cannot delete a Category !", MsgButtons::OK, MsgIcon::Exclamation);
    EXPECT_EQ(library().LastMaterialIndex, 4);
    EXPECT_EQ(tree().nodeCount(), 8);
    EXPECT_EQ(editor.materialTypeText.text(), "Steel    ") << "the tree still has nodes";
}

TEST_F(LibraryOperationsTest, AnEmptyCategoryNodeIsRemovedWithoutAsking) {
    tree().addNode(std::nullopt, "Empty    ", "Empty    ", "closedbook");
    editor.clickNode("Empty    ");
    commands.DeleteSelected();
    EXPECT_TRUE(messages().questions.empty());
    EXPECT_FALSE(tree().exists("Empty    "));
    EXPECT_EQ(library().LastMaterialIndex, 4);
    EXPECT_EQ(editor.materialTypeText.text(), "Empty    ");
}

TEST_F(LibraryOperationsTest, RemovingTheLastNodeEmptiesTheBoxes) {
    Open({});
    tree().addNode(std::nullopt, "Empty    ", "Empty    ", "closedbook");
    editor.clickNode("Empty    ");
    editor.materialNameText.setText("typed");
    commands.DeleteSelected();
    EXPECT_EQ(tree().nodeCount(), 0);
    EXPECT_EQ(editor.materialTypeText.text(), "");
    EXPECT_EQ(editor.materialNameText.text(), "");
}

TEST_F(LibraryOperationsTest, NothingSelectedDeletesNothing) {
    commands.DeleteSelected();
    EXPECT_TRUE(messages().questions.empty());
    EXPECT_EQ(library().LastMaterialIndex, 4);
}

TEST_F(LibraryOperationsTest, DeletingForgetsACopiedMaterial) {
    ClickMaterial(2);
    commands.onCopyMaterial();
    ASSERT_EQ(state.doc.CopiedMaterialNumber, 2);
    Delete(4);
    EXPECT_EQ(state.doc.CopiedMaterialNumber, -1);
}

// ---- Clearing values ---------------------------------------------------------------------

TEST_F(LibraryOperationsTest, ClearingValuesZeroesThemAndKeepsTheirMarks) {
    ClickMaterial(0);
    ASSERT_NE(GridValue("EX"), "");
    ASSERT_NE(GridValue("EX"), "0");
    commands.ClearValues();
    EXPECT_EQ(ValueOf(library().Material(0), "EX"), 0.0);
    EXPECT_EQ(ValueOf(library().Material(0), "DENS"), 0.0);
    EXPECT_EQ(ValueOf(library().Material(0), "NUXY"), std::nullopt);
    EXPECT_EQ(ValueOf(library().Shadow(0), "EX"), 2.0e11) << "the shadow keeps the values";
    EXPECT_EQ(ValueOf(library().Material(1), "EX"), 6.9e10);
    EXPECT_EQ(GridValue("EX"), "0") << "the grid shows the zeros";
}

TEST_F(LibraryOperationsTest, ClearingWithACategoryOrNothingSelectedDoesNothing) {
    commands.ClearValues();
    ClickCategory("Steel");
    commands.ClearValues();
    for (int n = 0; n <= 4; ++n)
        EXPECT_NE(ValueOf(library().Material(n), "EX").value_or(0), 0.0);
}

// ---- Emptying the boxes ------------------------------------------------------------------

TEST_F(LibraryOperationsTest, TheBoxesAreEmptiedOnlyWhenTheTreeIsEmpty) {
    Type("Steel", "A36", "text");
    commands.ClearDetailFields();
    EXPECT_EQ(editor.materialNameText.text(), "A36");
    tree().removeAll();
    commands.ClearDetailFields();
    EXPECT_EQ(editor.materialTypeText.text(), "");
    EXPECT_EQ(editor.materialNameText.text(), "");
    EXPECT_EQ(editor.descriptionText.text(), "");
}

} // namespace
} // namespace mb::test
