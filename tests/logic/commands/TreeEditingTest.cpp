#include "EditorFixture.h"

#include "MoveToCategory.h"

namespace mb::test {
namespace {

class TreeEditingTest : public EditorFixture {
protected:
    /// Material n lies at (10, 100 + n); Steel, Aluminium and Copper at (10, 1), (10, 2) and
    /// (10, 3). Presses the left button at (10, from), drags to (10, to) and drops there.
    void Drag(int from, int to) {
        for (int i = 0; i <= library().LastMaterialIndex(); ++i)
            tree().placeAt(10, 100 + i, KeyOf(i));
        for (int at = 1; const char* category : {"Steel    ", "Aluminium    ", "Copper    "})
            tree().placeAt(10, at++, category);
        treeEditing.TreeView1_MouseMove(LeftButton, 0, 10, from);
        treeEditing.TreeView1_DragOver(10, to);
        treeEditing.TreeView1_DragDrop(10, to);
    }
};

// Leaving the label as it opened is no rename and says nothing; another material's name in
// any letter case is refused; a new name, or its own in other letters, is stored trimmed in
// the entry, both records, the label and the name box, as one edit.
TEST_F(TreeEditingTest, AnUnchangedLabelIsNoRenameANewNameIsStoredTrimmedEverywhere) {
    ClickMaterial(0);
    editor.VSFlexGrid1.editCell();
    EXPECT_FALSE(treeEditing.TreeView1_AfterLabelEdit(" A36 "));
    EXPECT_TRUE(editor.messageBox.questions.empty());
    EXPECT_EQ(state.history.undoCount(), 0u);
    EXPECT_FALSE(editor.VSFlexGrid1.isEditing()) << "the grid is rebuilt";
    EXPECT_FALSE(treeEditing.TreeView1_AfterLabelEdit("s275"));
    ExpectOnlyMessage("Material already exits. Please enter a different name!", MsgButtons::OK,
                      MsgIcon::Exclamation);
    for (const std::string name : {"a36", "Mild Steel"}) {
        EXPECT_TRUE(treeEditing.TreeView1_AfterLabelEdit("  " + name + "  "));
        EXPECT_EQ((Texts{tree().nodeText("Steel    A36  0000"), library().entry(0).Name,
                         library().material(0).MaterialName(), library().shadow(0).MaterialName(),
                         editor.materialNameText.text()}),
                  Texts(5, name));
    }
    EXPECT_EQ(state.history.undoLabel(), "Rename a36 to Mild Steel");
}

TEST_F(TreeEditingTest, RenameOpensTheSelectedLabelAndACategoryIsRefusedWhenItsEditEnds) {
    ClickMaterial(2);
    commands.renameSelected();
    ClickCategory("Copper");
    commands.renameSelected();
    EXPECT_TRUE(editor.messageBox.questions.empty());
    EXPECT_EQ(tree().labelEdited, (Texts{"Steel    S275  0002", "Copper    "}));
    EXPECT_FALSE(treeEditing.TreeView1_AfterLabelEdit("Brass"));
    ExpectOnlyMessage("Cannot rename a Category !", MsgButtons::OK, MsgIcon::Question);
}

// The right button pops up "&Edit" at the press, over the tree, the value panel and the
// window's background alike; the other buttons show nothing.
TEST_F(TreeEditingTest, TheRightButtonPopsUpTheEditMenuWhereverTheEditorIsPressed) {
    for (unsigned button : {LeftButton, MiddleButton}) {
        treeEditing.TreeView1_MouseDown(button, 0, 9, 9);
        treeEditing.valueframe_MouseDown(button, 0, 9, 9);
        treeEditing.Form_MouseDown(button, 0, 9, 9);
    }
    treeEditing.TreeView1_MouseDown(RightButton, 0, 1, 2);
    treeEditing.valueframe_MouseDown(RightButton, 1, 3, 4);
    treeEditing.Form_MouseDown(RightButton, 2, 5, 6);
    EXPECT_EQ(editMenu.shownAt, (std::vector<std::pair<int, int>>{{1, 2}, {3, 4}, {5, 6}}));
}

// After the existing-name rule, a name that would break the material line or overrun its 30
// columns is refused; the label and the library keep the old name.
TEST_F(TreeEditingTest, ANameWithAControlCharacterOrOverItsColumnsIsNotTaken) {
    const std::string control =
        "A material name cannot hold a line break, a tab or another control character.";
    const std::string tooWide =
        "A material name can have at most 30 characters: a library file keeps no more.";
    for (const auto& [typed, message] : std::vector<std::pair<std::string, std::string>>{
             {"Mild\r\nMATL:Steel", control}, {" " + std::string(31, 'm') + " ", tooWide}}) {
        SCOPED_TRACE(message);
        ClickMaterial(0);
        EXPECT_FALSE(treeEditing.TreeView1_AfterLabelEdit(typed));
        ExpectOnlyMessage(message, MsgButtons::OK, MsgIcon::Exclamation);
        EXPECT_EQ((Texts{tree().nodeText(KeyOf(0)), library().entry(0).Name,
                         library().material(0).MaterialName()}),
                  Texts(3, "A36  "));
    }
    EXPECT_TRUE(treeEditing.TreeView1_AfterLabelEdit("  " + std::string(30, 'm') + "  "));
    EXPECT_EQ(library().shadow(0).MaterialName(), std::string(30, 'm'));
}

// A moved material becomes the last one; later ones move down. That its records and shadow
// go with it is the library's own test's concern.
TEST_F(TreeEditingTest, DroppingOnAnotherCategoryMovesTheMaterialToTheEndAndNothingElseDoes) {
    Drag(1, 2); // categories cannot be dragged: Steel onto Aluminium
    Drag(2, 102);
    EXPECT_EQ(state.doc.DraggedNodeKey, "");
    Drag(101, 3); // 6061 onto Copper
    EXPECT_EQ(EntryNames(), (Texts{"A36", "S275", "7075", "C101", "6061"}));
    EXPECT_EQ((Texts{library().material(4).MaterialType(), library().shadow(4).MaterialType()}),
              Texts(2, "Copper    "));
    EXPECT_EQ(tree().selectedKey(), "Copper    6061  0004");
    EXPECT_EQ(editor.boxes(), (Texts{"Copper    ", "6061  ", "wrought alloy"}));
    Drag(100, 102); // A36 onto 7075 of Aluminium
    EXPECT_EQ(tree().selectedKey(), "Aluminium    A36  0004");
    EXPECT_FALSE(tree().dragging);
    for (int to : {2, 101, 999}) // A36 onto Aluminium, onto 7075 there, onto nothing
        Drag(104, to);
    EXPECT_EQ(tree().dragImageKey, "drag");
    EXPECT_EQ(EntryNames(), (Texts{"S275", "7075", "C101", "6061", "A36"}));
    MoveMaterialToCategory(state, tree(), KeyOf(0), "Steel    "); // still made the last
    EXPECT_EQ(EntryNames(), (Texts{"7075", "C101", "6061", "A36", "S275"}));
}

} // namespace
} // namespace mb::test
