#include "EditingFixture.h"

namespace mb::test {
namespace {

class CopyPasteTest : public EditingFixture {
protected:
    void Copy(int n) {
        ClickMaterial(n);
        commands.onCopyMaterial();
    }
    void PasteOn(const std::string& category) {
        ClickCategory(category);
        commands.onPasteMaterial();
    }
    void ExpectNothingPasted(int last = 4) {
        EXPECT_TRUE(messages().questions.empty());
        EXPECT_EQ(library().LastMaterialIndex, last);
    }
};

TEST_F(CopyPasteTest, PastingOnACategoryAddsACopyThereAndShowsIt) {
    Copy(0);
    EXPECT_EQ(state.doc.CopiedName, "A36  ") << "the name as held";
    PasteOn("Copper");

    EXPECT_TRUE(messages().questions.empty());
    ASSERT_EQ(library().LastMaterialIndex, 5);
    const LibraryEntry& e = library().Entry(5);
    const Texts texts{"Copper    ", "Copy of A36", "A36 code", "structural steel"};
    EXPECT_EQ((Texts{e.Category, e.Name, e.NameCode, e.Description}), texts);
    for (clsMaterial* record : {&library().Material(5), &library().Shadow(5)}) {
        EXPECT_EQ((Texts{record->MaterialType(), record->MaterialName(), record->MaterialNameCode(),
                         record->MaterialDescription()}),
                  texts);
        EXPECT_EQ(ValueOf(*record, "DENS"), 7850);
    }
    const std::string key = "Copper    Copy of A360005";
    EXPECT_EQ(tree().parentKey(key), "Copper    ");
    EXPECT_EQ(tree().selectedKey(), key);
    EXPECT_EQ(tree().image(key), "leaf1");
    EXPECT_EQ(Boxes(), (Texts{"Copper    ", "Copy of A36", "structural steel"}));
    EXPECT_EQ(Shown(), kMaterialShown);
    EXPECT_EQ(editor.VSFlexGrid1.textMatrix(1, 2), "200000000000") << "the copy's values shown";

    PasteOn("Steel");
    ExpectOnlyMessage("Material Name (Copy of A36) exists. Please rename it before pasting.",
                      MsgButtons::OK, MsgIcon::Exclamation);
    EXPECT_EQ(library().LastMaterialIndex, 5);
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
    library().Material(0).CopyProperty("EX", 1.5e11);
    library().Material(0).CopyProperty("NUXY", 0.3);
    PasteOn("Steel");
    EXPECT_EQ(ValueOf(library().Material(5), "EX"), 1.5e11);
    EXPECT_EQ(ValueOf(library().Material(5), "NUXY"), 0.3);
    EXPECT_EQ(ValueOf(library().Shadow(5), "EX"), 2.0e11);
    EXPECT_EQ(ValueOf(library().Shadow(5), "NUXY"), std::nullopt);
}

TEST_F(CopyPasteTest, CopyingACategoryIsRefusedAndForgetsTheCopiedMaterial) {
    Copy(2);
    Unselect();
    commands.onCopyMaterial(); // nothing selected: the copy stays
    EXPECT_EQ(state.doc.CopiedMaterialNumber, 2);
    ClickCategory("Steel");
    commands.onCopyMaterial();
    ExpectOnlyMessage("Cannot copy a Category !", MsgButtons::OK, MsgIcon::Exclamation);
    EXPECT_EQ(state.doc.CopiedMaterialNumber, -1);
    commands.onPasteMaterial();
    ExpectNothingPasted();
}

TEST_F(CopyPasteTest, ARenamedSourceIsRefusedUnlessOnlyItsCaseChanged) {
    Copy(2);
    library().Entry(2).Name = "s275  ";
    commands.onPasteMaterial();
    EXPECT_TRUE(messages().questions.empty());
    EXPECT_EQ(library().Entry(5).Name, "Copy of S275");

    ClickMaterial(2);
    ASSERT_TRUE(treeEditing.TreeView1_AfterLabelEdit("S275JR"));
    commands.onPasteMaterial();
    ExpectOnlyMessage(
        "The Material to Copy has been renamed or deleted. Please select another material to copy.",
        MsgButtons::OK, MsgIcon::Exclamation);
    EXPECT_EQ(library().LastMaterialIndex, 5);
}

TEST_F(CopyPasteTest, PastingDoesNothingWithoutACopyASelectionOrAfterADeletion) {
    PasteOn("Steel");
    Copy(1);
    Unselect();
    commands.onPasteMaterial();
    ExpectNothingPasted();
    ClickMaterial(4);
    messages().queueAnswer(MsgResult::Yes);
    commands.DeleteSelected();
    messages().questions.clear();
    PasteOn("Steel");
    ExpectNothingPasted(3);
}

} // namespace
} // namespace mb::test
