#include "EditingFixture.h"

namespace mb::test {
namespace {

class CopyPasteTest : public EditingFixture {
protected:
    void Copy(int n) {
        ClickMaterial(n);
        commands.onCopyMaterial();
    }
};

// ---- Copy ----------------------------------------------------------------------------------

TEST_F(CopyPasteTest, CopyingRemembersTheMaterialAndItsNameAsHeld) {
    Copy(2);
    EXPECT_EQ(state.doc.CopiedMaterialNumber, 2);
    EXPECT_EQ(state.doc.CopiedName, "S275  ");
    EXPECT_TRUE(messages().questions.empty());
}

TEST_F(CopyPasteTest, CopyingACategoryIsRefusedAndForgetsTheCopiedMaterial) {
    Copy(2);
    ClickCategory("Steel");
    commands.onCopyMaterial();
    ExpectOnlyMessage("Cannot copy a Category !", MsgButtons::OK, MsgIcon::Exclamation);
    EXPECT_EQ(state.doc.CopiedMaterialNumber, -1);
    commands.onPasteMaterial();
    EXPECT_EQ(messages().questions.size(), 1u);
    EXPECT_EQ(library().LastMaterialIndex, 4);
}

TEST_F(CopyPasteTest, CopyingWithNothingSelectedDoesNothing) {
    Copy(2);
    tree().removeAll();
    BuildTree(library(), tree());
    commands.onCopyMaterial();
    EXPECT_EQ(state.doc.CopiedMaterialNumber, 2);
}

// ---- Paste ---------------------------------------------------------------------------------

TEST_F(CopyPasteTest, PastingOnACategoryAddsACopyThere) {
    Copy(0);
    ClickCategory("Copper");
    commands.onPasteMaterial();

    EXPECT_TRUE(messages().questions.empty());
    ASSERT_EQ(library().LastMaterialIndex, 5);
    const LibraryEntry& e = library().Entry(5);
    EXPECT_EQ(e.Category, "Copper    ");
    EXPECT_EQ(e.Name, "Copy of A36");
    EXPECT_EQ(e.NameCode, "A36 code");
    EXPECT_EQ(e.Description, "structural steel");
    for (clsMaterial* record : {&library().Material(5), &library().Shadow(5)}) {
        EXPECT_EQ(record->MaterialType(), "Copper    ");
        EXPECT_EQ(record->MaterialName(), "Copy of A36");
        EXPECT_EQ(record->MaterialNameCode(), "A36 code");
        EXPECT_EQ(record->MaterialDescription(), "structural steel");
        EXPECT_EQ(ValueOf(*record, "EX"), 2.0e11);
        EXPECT_EQ(ValueOf(*record, "DENS"), 7850);
    }
}

TEST_F(CopyPasteTest, ThePastedMaterialIsSelectedAndShown) {
    Copy(0);
    ClickCategory("Copper");
    commands.onPasteMaterial();

    const std::string key = "Copper    Copy of A360005";
    EXPECT_EQ(tree().parentKey(key), "Copper    ");
    EXPECT_EQ(tree().nodeText(key), "Copy of A36");
    EXPECT_EQ(tree().selectedKey(), key);
    EXPECT_EQ(tree().image(key), "leaf1");
    EXPECT_EQ(tree().image(KeyOf(0)), "leaf");
    EXPECT_EQ(library().LastNodeKey, key);
    EXPECT_EQ(editor.materialTypeText.text(), "Copper    ");
    EXPECT_EQ(editor.materialNameText.text(), "Copy of A36");
    EXPECT_EQ(editor.descriptionText.text(), "structural steel");
    EXPECT_TRUE(editor.VSFlexGrid1.isVisible());
    EXPECT_FALSE(editor.cmdNewMaterial.isVisible());
    EXPECT_TRUE(editor.reset.isVisible());
    EXPECT_TRUE(editor.AddSet.isVisible());
    EXPECT_EQ(form().CurrentMaterial(), 5);
}

TEST_F(CopyPasteTest, PastingOnAMaterialPutsTheCopyInThatMaterialsCategory) {
    Copy(0);
    ClickMaterial(3);
    commands.onPasteMaterial();
    EXPECT_EQ(library().Entry(5).Category, "Aluminium    ");
    EXPECT_EQ(tree().parentKey("Aluminium    Copy of A360005"), "Aluminium    ");
}

TEST_F(CopyPasteTest, TheCopyCarriesTheSourcesUnsavedEditsAndTheShadowItsValuesAsRead) {
    Copy(0);
    library().Material(0).Property("EX");
    library().Material(0).value(1.5e11);
    library().Material(0).Property("NUXY");
    library().Material(0).value(0.3);
    ClickCategory("Steel");
    commands.onPasteMaterial();
    EXPECT_EQ(ValueOf(library().Material(5), "EX"), 1.5e11);
    EXPECT_EQ(ValueOf(library().Material(5), "NUXY"), 0.3);
    EXPECT_EQ(ValueOf(library().Shadow(5), "EX"), 2.0e11);
    EXPECT_EQ(ValueOf(library().Shadow(5), "NUXY"), std::nullopt);
}

TEST_F(CopyPasteTest, ASecondPasteCollidesWithTheFirstCopy) {
    Copy(2);
    ClickCategory("Steel");
    commands.onPasteMaterial();
    ClickCategory("Copper");
    commands.onPasteMaterial();
    ExpectOnlyMessage("Material Name (Copy of S275) exists. Please rename it before pasting.",
                      MsgButtons::OK, MsgIcon::Exclamation);
    EXPECT_EQ(library().LastMaterialIndex, 5);
}

TEST_F(CopyPasteTest, PastingAfterTheSourceWasRenamedIsRefused) {
    Copy(2);
    ASSERT_TRUE(treeEditing.TreeView1_AfterLabelEdit("S275JR"));
    commands.onPasteMaterial();
    ExpectOnlyMessage(
        "The Material to Copy has been renamed or deleted. Please select another material to copy.",
        MsgButtons::OK, MsgIcon::Exclamation);
    EXPECT_EQ(library().LastMaterialIndex, 4);
}

TEST_F(CopyPasteTest, ARenameThatOnlyChangesLetterCaseStillPastes) {
    Open({{"Steel", "A36"}, {"Steel", "S275"}});
    Copy(0);
    library().Entry(0).Name = "a36  ";
    commands.onPasteMaterial();
    EXPECT_TRUE(messages().questions.empty());
    EXPECT_EQ(library().Entry(2).Name, "Copy of A36");
}

TEST_F(CopyPasteTest, PastingAfterADeletionDoesNothingSilently) {
    Copy(0);
    ClickMaterial(4);
    messages().queueAnswer(MsgResult::Yes);
    commands.DeleteSelected();
    messages().questions.clear();
    ClickCategory("Steel");
    commands.onPasteMaterial();
    EXPECT_TRUE(messages().questions.empty());
    EXPECT_EQ(library().LastMaterialIndex, 3);
}

TEST_F(CopyPasteTest, PastingWithNothingCopiedOrNothingSelectedDoesNothing) {
    ClickCategory("Steel");
    commands.onPasteMaterial();
    Copy(1);
    tree().removeAll();
    BuildTree(library(), tree());
    commands.onPasteMaterial();
    EXPECT_TRUE(messages().questions.empty());
    EXPECT_EQ(library().LastMaterialIndex, 4);
}

} // namespace
} // namespace mb::test
