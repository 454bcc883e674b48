#include "EditingFixture.h"

namespace mb::test {
namespace {

class TreeEditingTest : public EditingFixture {
protected:
    /// Starts editing the label of material n's node, as the tree does after a click.
    bool Rename(int n, const std::string& text) {
        ClickMaterial(n);
        editor.VSFlexGrid1.editCell();
        messages().questions.clear();
        return treeEditing.TreeView1_AfterLabelEdit(text);
    }
    void PlaceNodes() {
        for (int n = 0; n <= library().LastMaterialIndex; ++n)
            tree().placeAt(10, 100 + n, KeyOf(n));
        tree().placeAt(10, 1, CategoryKey("Steel"));
        tree().placeAt(10, 2, CategoryKey("Aluminium"));
        tree().placeAt(10, 3, CategoryKey("Copper"));
    }
    /// Presses the left button on material n and drags it to (10, y).
    void DragMaterialTo(int n, int y) {
        PlaceNodes();
        treeEditing.TreeView1_MouseMove(LeftButton, 0, 10, 100 + n);
        treeEditing.TreeView1_DragOver(10, y);
        treeEditing.TreeView1_DragDrop(10, y);
    }
};

// ---- Renaming -------------------------------------------------------------------------

TEST_F(TreeEditingTest, RenamingACategoryIsRefusedWithAQuestionIcon) {
    ClickCategory("Steel");
    messages().questions.clear();
    EXPECT_FALSE(treeEditing.TreeView1_AfterLabelEdit("Iron"));
    ExpectOnlyMessage("Cannot rename a Category !", MsgButtons::OK, MsgIcon::Question);
    EXPECT_EQ(tree().nodeText(CategoryKey("Steel")), "Steel    ");
    EXPECT_EQ(library().Entry(0).Category, "Steel    ");
}

TEST_F(TreeEditingTest, ConfirmingTheUnchangedNameIsRefused) {
    EXPECT_FALSE(Rename(0, "A36"));
    ExpectOnlyMessage("Material already exits. Please enter a different name!", MsgButtons::OK,
                      MsgIcon::Exclamation);
    EXPECT_EQ(library().Entry(0).Name, "A36  ");
    EXPECT_EQ(tree().nodeText(KeyOf(0)), "A36  ");
}

TEST_F(TreeEditingTest, TheNameOfAMaterialInAnotherCategoryDifferingInCaseIsRefused) {
    EXPECT_FALSE(Rename(0, "  s275 "));
    ExpectOnlyMessage("Material already exits. Please enter a different name!", MsgButtons::OK,
                      MsgIcon::Exclamation);
    EXPECT_FALSE(Rename(1, "c101"));
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"A36", "6061", "S275", "7075", "C101"}));
}

TEST_F(TreeEditingTest, AnAcceptedNameIsStoredTrimmedEverywhereAndTheKeyKept) {
    const std::string key = KeyOf(2);
    EXPECT_TRUE(Rename(2, "  Mild Steel  "));
    EXPECT_TRUE(messages().questions.empty());
    EXPECT_EQ(library().Entry(2).Name, "Mild Steel");
    EXPECT_EQ(library().Material(2).MaterialName(), "Mild Steel");
    EXPECT_EQ(library().Shadow(2).MaterialName(), "Mild Steel");
    EXPECT_EQ(tree().nodeText(key), "Mild Steel");
    EXPECT_TRUE(tree().exists(key)) << "the key still holds the old name";
    EXPECT_EQ(key, "Steel    S275  0002");
}

TEST_F(TreeEditingTest, EveryRenameEndsByRebuildingTheGrid) {
    Rename(0, "A36");
    EXPECT_FALSE(editor.VSFlexGrid1.isEditing()) << "refused";
    Rename(0, "Weathering");
    EXPECT_FALSE(editor.VSFlexGrid1.isEditing()) << "accepted";
    ClickCategory("Steel");
    editor.VSFlexGrid1.editCell();
    treeEditing.TreeView1_AfterLabelEdit("x");
    EXPECT_FALSE(editor.VSFlexGrid1.isEditing()) << "category";
}

// ---- Pop-up menu ----------------------------------------------------------------------

TEST_F(TreeEditingTest, OnlyTheRightButtonShowsTheEditMenuWhereItWasPressed) {
    treeEditing.TreeView1_MouseDown(LeftButton, 0, 5, 6);
    treeEditing.TreeView1_MouseDown(MiddleButton, 0, 5, 6);
    EXPECT_TRUE(editMenu.shownAt.empty());
    treeEditing.TreeView1_MouseDown(RightButton, 0, 120, 340);
    EXPECT_EQ(editMenu.shownAt, (std::vector<std::pair<int, int>>{{120, 340}}));
}

// ---- Starting a drag -------------------------------------------------------------------

TEST_F(TreeEditingTest, MovingWithTheLeftButtonOverAMaterialStartsDraggingIt) {
    PlaceNodes();
    treeEditing.TreeView1_MouseMove(LeftButton, 0, 10, 103);
    EXPECT_EQ(tree().dropHighlight(), KeyOf(3));
    EXPECT_EQ(state.doc.DraggedNodeKey, "Aluminium    7075  0003");
    EXPECT_EQ(state.doc.DragSourceKey, "Aluminium    ");
    EXPECT_TRUE(tree().dragging);
    EXPECT_EQ(tree().dragImageKey, "drag");
}

TEST_F(TreeEditingTest, ACategoryCannotBeDragged) {
    PlaceNodes();
    treeEditing.TreeView1_MouseMove(LeftButton, 0, 10, 1);
    EXPECT_EQ(tree().dropHighlight(), CategoryKey("Steel"));
    EXPECT_FALSE(tree().dragging);
    EXPECT_EQ(state.doc.DraggedNodeKey, "");
    EXPECT_EQ(state.doc.DragSourceKey, "");
}

TEST_F(TreeEditingTest, MovingOverNoNodeOrWithOtherButtonsStartsNothing) {
    PlaceNodes();
    treeEditing.TreeView1_MouseMove(LeftButton, 0, 500, 500);
    EXPECT_EQ(tree().dropHighlight(), std::nullopt);
    treeEditing.TreeView1_MouseMove(LeftButton | RightButton, 0, 10, 100);
    treeEditing.TreeView1_MouseMove(NoButton, 0, 10, 100);
    treeEditing.TreeView1_MouseMove(RightButton, 0, 10, 100);
    EXPECT_FALSE(tree().dragging);
    EXPECT_EQ(tree().dropHighlight(), std::nullopt);
    EXPECT_EQ(state.doc.DraggedNodeKey, "");
}

TEST_F(TreeEditingTest, TheDropHighlightFollowsADragOverTheTree) {
    PlaceNodes();
    treeEditing.TreeView1_MouseMove(LeftButton, 0, 10, 100);
    tree().setDragImage("");
    treeEditing.TreeView1_DragOver(10, 2);
    EXPECT_EQ(tree().dropHighlight(), CategoryKey("Aluminium"));
    EXPECT_EQ(tree().dragImageKey, "drag");
    treeEditing.TreeView1_DragOver(10, 104);
    EXPECT_EQ(tree().dropHighlight(), KeyOf(4));
    treeEditing.TreeView1_DragOver(300, 300);
    EXPECT_EQ(tree().dropHighlight(), std::nullopt);
}

// ---- Dropping --------------------------------------------------------------------------

TEST_F(TreeEditingTest, DroppingOnAnotherCategoryMovesTheMaterialAndShowsIt) {
    DragMaterialTo(1, 3); // 6061 onto Copper
    EXPECT_FALSE(tree().dragging);
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"A36", "S275", "7075", "C101", "6061"}));
    EXPECT_EQ(library().Entry(4).Category, "Copper    ");
    const std::string moved = "Copper    6061  0004";
    EXPECT_EQ(tree().selectedKey(), moved);
    EXPECT_EQ(tree().parentKey(moved), CategoryKey("Copper"));
    // Shown as a click shows it.
    EXPECT_EQ(editor.materialTypeText.text(), "Copper    ");
    EXPECT_EQ(editor.materialNameText.text(), "6061  ");
    EXPECT_EQ(editor.descriptionText.text(), "wrought alloy");
    EXPECT_EQ(tree().image(moved), "leaf1");
    EXPECT_EQ(library().LastNodeKey, moved);
    EXPECT_TRUE(editor.VSFlexGrid1.isVisible());
}

TEST_F(TreeEditingTest, DroppingOnAMaterialOfAnotherCategoryMovesIntoThatCategory) {
    DragMaterialTo(0, 101); // A36 onto 6061
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"6061", "S275", "7075", "C101", "A36"}));
    EXPECT_EQ(library().Entry(4).Category, "Aluminium    ");
    EXPECT_EQ(tree().selectedKey(), "Aluminium    A36  0004");
}

TEST_F(TreeEditingTest, DroppingOnTheOwnCategoryOrASiblingDoesNothingAndKeepsTheHighlight) {
    ClickMaterial(4);
    DragMaterialTo(0, 1); // A36 onto Steel
    EXPECT_FALSE(tree().dragging);
    EXPECT_EQ(tree().dropHighlight(), CategoryKey("Steel"));
    DragMaterialTo(0, 102); // A36 onto S275
    EXPECT_EQ(tree().dropHighlight(), KeyOf(2));
    EXPECT_FALSE(tree().dragging);
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"A36", "6061", "S275", "7075", "C101"}));
    EXPECT_EQ(tree().selectedKey(), KeyOf(4));
}

TEST_F(TreeEditingTest, CategoriesDifferingOnlyInCaseCountAsTheSameTarget) {
    Open({{"Steel", "A36"}, {"STEEL", "S355"}, {"Steel", "S275"}});
    tree().placeAt(10, 100, KeyOf(0));
    tree().placeAt(10, 1, "STEEL    ");
    treeEditing.TreeView1_MouseMove(LeftButton, 0, 10, 100);
    treeEditing.TreeView1_DragDrop(10, 1);
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"A36", "S355", "S275"}));
    EXPECT_EQ(library().Entry(0).Category, "Steel    ");
}

TEST_F(TreeEditingTest, DroppingOnNoNodeOnlyEndsTheDrag) {
    DragMaterialTo(2, 999);
    EXPECT_FALSE(tree().dragging);
    EXPECT_EQ(tree().dropHighlight(), std::nullopt);
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"A36", "6061", "S275", "7075", "C101"}));
}

TEST_F(TreeEditingTest, ADropWithoutADragStartedInTheTreeMovesNothing) {
    PlaceNodes();
    treeEditing.TreeView1_DragDrop(10, 3);
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"A36", "6061", "S275", "7075", "C101"}));
}

} // namespace
} // namespace mb::test
