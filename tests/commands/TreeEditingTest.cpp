#include "EditingFixture.h"

namespace mb::test {
namespace {

class TreeEditingTest : public EditingFixture {
protected:
    /// Finishes a label edit of node `key` with `text`, a cell edit left open in the grid.
    bool Rename(const std::string& key, const std::string& text) {
        editor.clickNode(key);
        editor.VSFlexGrid1.editCell();
        messages().questions.clear();
        return treeEditing.TreeView1_AfterLabelEdit(text);
    }
    /// Materials at (10, 100 + n); Steel, Aluminium and Copper at (10, 1), (10, 2), (10, 3).
    void PlaceNodes() {
        for (int n = 0; n <= library().LastMaterialIndex; ++n)
            tree().placeAt(10, 100 + n, KeyOf(n));
        for (int y = 1; const char* category : {"Steel", "Aluminium", "Copper"})
            tree().placeAt(10, y++, CategoryKey(category));
    }
    /// Presses the left button on material n, drags it to (10, y) and drops it there.
    void Drag(int n, int y) {
        PlaceNodes();
        treeEditing.TreeView1_MouseMove(LeftButton, 0, 10, 100 + n);
        treeEditing.TreeView1_DragOver(10, y);
        treeEditing.TreeView1_DragDrop(10, y);
    }
};

// ---- Renaming: every outcome ends with the grid rebuilt, which closes the open cell edit --

TEST_F(TreeEditingTest, RenamingACategoryIsRefusedWithAQuestionIcon) {
    EXPECT_FALSE(Rename(CategoryKey("Steel"), "Iron"));
    ExpectOnlyMessage("Cannot rename a Category !", MsgButtons::OK, MsgIcon::Question);
    EXPECT_EQ(library().Entry(0).Category, "Steel    ");
    EXPECT_FALSE(editor.VSFlexGrid1.isEditing());
}

TEST_F(TreeEditingTest, ANameThatExistsInAnyCategoryIsRefusedTheUnchangedOneToo) {
    for (const auto& [n, text] :
         std::vector<std::pair<int, std::string>>{{0, "A36"}, {0, "  s275 "}, {1, "c101"}}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(Rename(KeyOf(n), text));
        ExpectOnlyMessage("Material already exits. Please enter a different name!", MsgButtons::OK,
                          MsgIcon::Exclamation);
        EXPECT_FALSE(editor.VSFlexGrid1.isEditing());
    }
    EXPECT_EQ(EntryNames(), kFiveNames);
}

TEST_F(TreeEditingTest, AnAcceptedNameIsStoredTrimmedEverywhereAndTheKeyKept) {
    const std::string key = "Steel    S275  0002";
    EXPECT_TRUE(Rename(key, "  Mild Steel  "));
    EXPECT_TRUE(messages().questions.empty());
    EXPECT_EQ(tree().nodeText(key), "Mild Steel");
    EXPECT_EQ(library().Entry(2).Name, "Mild Steel");
    EXPECT_EQ(library().Material(2).MaterialName(), "Mild Steel");
    EXPECT_EQ(library().Shadow(2).MaterialName(), "Mild Steel");
    EXPECT_FALSE(editor.VSFlexGrid1.isEditing());
}

TEST_F(TreeEditingTest, OnlyTheRightButtonShowsTheEditMenuWhereItWasPressed) {
    for (unsigned button : {unsigned(LeftButton), unsigned(MiddleButton), unsigned(RightButton)})
        treeEditing.TreeView1_MouseDown(button, 0, 120, 340 + int(button));
    EXPECT_EQ(editMenu.shownAt, (std::vector<std::pair<int, int>>{{120, 342}}));
}

// ---- Drag and drop -------------------------------------------------------------------------

TEST_F(TreeEditingTest, OnlyTheLeftButtonAloneOverAMaterialStartsADrag) {
    PlaceNodes();
    treeEditing.TreeView1_MouseMove(LeftButton, 0, 500, 500); // over no node
    for (unsigned buttons : {LeftButton | RightButton, unsigned(NoButton), unsigned(RightButton)})
        treeEditing.TreeView1_MouseMove(buttons, 0, 10, 100);
    EXPECT_EQ(tree().dropHighlight(), std::nullopt);
    treeEditing.TreeView1_MouseMove(LeftButton, 0, 10, 1); // the Steel category
    EXPECT_EQ(tree().dropHighlight(), CategoryKey("Steel"));
    EXPECT_FALSE(tree().dragging);
    EXPECT_EQ(state.doc.DraggedNodeKey, "");

    treeEditing.TreeView1_MouseMove(LeftButton, 0, 10, 103);
    EXPECT_EQ(state.doc.DraggedNodeKey, "Aluminium    7075  0003");
    EXPECT_EQ(state.doc.DragSourceKey, "Aluminium    ");
    EXPECT_TRUE(tree().dragging);
    // The highlight and the drag picture follow the mouse.
    tree().setDragImage("");
    treeEditing.TreeView1_DragOver(10, 2);
    EXPECT_EQ(tree().dropHighlight(), CategoryKey("Aluminium"));
    EXPECT_EQ(tree().dragImageKey, "drag");
    treeEditing.TreeView1_DragOver(300, 300);
    EXPECT_EQ(tree().dropHighlight(), std::nullopt);
}

TEST_F(TreeEditingTest, DroppingOnAnotherCategoryOrItsMaterialMovesTheMaterialAndShowsIt) {
    Drag(1, 3); // 6061 onto Copper
    EXPECT_FALSE(tree().dragging);
    EXPECT_EQ(EntryNames(), (Texts{"A36", "S275", "7075", "C101", "6061"}));
    EXPECT_EQ(tree().selectedKey(), "Copper    6061  0004");
    EXPECT_EQ(library().LastNodeKey, "Copper    6061  0004");
    EXPECT_EQ(Boxes(), (Texts{"Copper    ", "6061  ", "wrought alloy"}));
    EXPECT_EQ(Shown(), kMaterialShown);
    Drag(0, 102); // A36 onto 7075
    EXPECT_EQ(EntryNames(), (Texts{"S275", "7075", "C101", "6061", "A36"}));
    EXPECT_EQ(tree().selectedKey(), "Aluminium    A36  0004");
}

TEST_F(TreeEditingTest, DropsOnTheOwnCategoryASiblingOrNoNodeMoveNothing) {
    ClickMaterial(4);
    PlaceNodes();
    treeEditing.TreeView1_DragDrop(10, 3); // no drag was started in the tree
    for (const auto& [y, highlight] : std::vector<std::pair<int, std::optional<std::string>>>{
             {1, CategoryKey("Steel")}, {102, KeyOf(2)}, {999, std::nullopt}}) {
        Drag(0, y); // A36 of Steel
        EXPECT_FALSE(tree().dragging) << y;
        EXPECT_EQ(tree().dropHighlight(), highlight) << "kept until the next click";
    }
    EXPECT_EQ(EntryNames(), kFiveNames);
    EXPECT_EQ(tree().selectedKey(), KeyOf(4));
}

TEST_F(TreeEditingTest, CategoriesDifferingOnlyInCaseCountAsTheSameTarget) {
    Open({{"Steel", "A36"}, {"STEEL", "S355"}, {"Steel", "S275"}});
    tree().placeAt(10, 100, KeyOf(0));
    tree().placeAt(10, 1, "STEEL    ");
    treeEditing.TreeView1_MouseMove(LeftButton, 0, 10, 100);
    treeEditing.TreeView1_DragDrop(10, 1);
    EXPECT_EQ(EntryNames(), (Texts{"A36", "S355", "S275"}));
}

} // namespace
} // namespace mb::test
