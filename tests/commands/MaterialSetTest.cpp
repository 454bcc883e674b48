#include "EditingFixture.h"

namespace mb::test {
namespace {

class MaterialSetTest : public EditingFixture {
protected:
    /// Six materials: 3 is "7075" in Aluminium, 5 is "Ti64" in Titanium.
    void SetUp() override {
        auto six = FiveMaterials();
        six.push_back({"Titanium", "Ti64", "grade 5", "TI64CODE", 1.14e11, 4430});
        Open(six);
    }
    void ExpectOverwriteQuestion() {
        ExpectOnlyMessage("Overwrite the existing material ?", MsgButtons::OKCancel,
                          MsgIcon::Question);
    }
    void ExpectAddQuestion() {
        ExpectOnlyMessage("Do you really want to add this material ?", MsgButtons::YesNo,
                          MsgIcon::Question);
    }
};

TEST_F(MaterialSetTest, WithACategoryOrNothingSelectedNothingHappens) {
    Type("Titanium", "Ti64", "new");
    commands.onMaterialSet();
    ClickCategory("Steel");
    Type("Titanium", "Ti64", "new");
    commands.onMaterialSet();
    EXPECT_TRUE(messages().questions.empty());
    EXPECT_EQ(library().Entry(5).Description, "grade 5");
}

TEST_F(MaterialSetTest, CategoryAndNameMustBeFilledButMayStartWithADigit) {
    ClickMaterial(1);
    Type(" ", "Ti64");
    commands.onMaterialSet();
    ExpectOnlyMessage("Please specify the Material Category name !", MsgButtons::OK,
                      MsgIcon::Exclamation);
    EXPECT_EQ(editor.materialTypeText.focusRequests, 1);

    Type("Titanium", "");
    commands.onMaterialSet();
    ExpectOnlyMessage("Please specify the Material name !", MsgButtons::OK, MsgIcon::Exclamation);
    EXPECT_EQ(editor.materialNameText.focusRequests, 1);

    Type(" 1abc", "New one");
    messages().queueAnswer(MsgResult::No);
    commands.onMaterialSet();
    ExpectAddQuestion();
    EXPECT_EQ(library().LastMaterialIndex, 5);
    EXPECT_EQ(editor.materialNameText.text(), "New one") << "No keeps what was typed";
}

TEST_F(MaterialSetTest, TheMatchedMaterialTakesTheTypedTextsAndItsShadowsValuesAfterOK) {
    ClickMaterial(3);
    clsMaterial& record5 = library().Material(5);
    record5.CopyProperty("EX", 1.0); // edited, not saved
    record5.MaterialName("edited");
    editor.VSFlexGrid1.editCell();
    Type(" titanium", "  TI64 ", " new text ");
    messages().queueAnswer(MsgResult::Cancel);
    commands.onMaterialSet();
    ExpectOverwriteQuestion();
    EXPECT_EQ(library().Entry(5).Description, "grade 5") << "Cancel changes nothing";
    EXPECT_EQ(ValueOf(record5, "EX"), 1.0);
    EXPECT_TRUE(editor.VSFlexGrid1.isEditing()) << "the grid is not rebuilt";

    commands.onMaterialSet();
    ExpectOverwriteQuestion();
    const LibraryEntry& e = library().Entry(5);
    EXPECT_EQ((Texts{e.Category, e.Name, e.NameCode, e.Description}),
              (Texts{" titanium", "TI64", "TI64         ", " new text "}));
    // The working record goes back to its shadow, texts included.
    EXPECT_EQ(ValueOf(record5, "EX"), 1.14e11);
    EXPECT_EQ(ValueOf(record5, "DENS"), 4430);
    EXPECT_EQ(record5.MaterialName(), "Ti64  ");
    EXPECT_EQ(record5.MaterialType(), "Titanium    ");
    // The selected material is not touched.
    EXPECT_EQ(library().Entry(3).Name, "7075  ");
    EXPECT_EQ(ValueOf(library().Material(3), "EX"), 7.1e10);
    EXPECT_EQ(library().LastNodeKey, KeyOf(3));
    EXPECT_FALSE(editor.VSFlexGrid1.isEditing()) << "the grid is rebuilt";
}

TEST_F(MaterialSetTest, WithMaterialZeroSelectedTheMatchLosesItsValuesAndZeroTakesTheTexts) {
    ClickMaterial(0);
    library().Material(0).CopyProperty("EX", 5.0);
    Type("Titanium", "Ti64", "typed");
    commands.onMaterialSet();

    ExpectOverwriteQuestion();
    for (int slot = 0; slot < kSlotCount; ++slot)
        EXPECT_FALSE(library().Material(5).HasValue(slot));
    EXPECT_EQ(ValueOf(library().Shadow(5), "EX"), 1.14e11) << "the shadow keeps them";
    EXPECT_EQ(library().Entry(5).Name, "Ti64  ");
    const LibraryEntry& e = library().Entry(0);
    EXPECT_EQ((Texts{e.Category, e.Name, e.Description}), (Texts{"Titanium", "Ti64", "typed"}));
    EXPECT_EQ(ValueOf(library().Material(0), "EX"), 2.0e11) << "back to its shadow";
}

TEST_F(MaterialSetTest, YesAppendsTheTypedMaterialWithItsCategoryAsTyped) {
    ClickMaterial(1);
    const std::string remembered = library().LastNodeKey;
    Type("Steel", " S355 ", " weldable ");
    commands.onMaterialSet();

    ExpectAddQuestion();
    ASSERT_EQ(library().LastMaterialIndex, 6);
    const LibraryEntry& e = library().Entry(6);
    EXPECT_EQ((Texts{e.Category, e.Name, e.NameCode, e.Description}),
              (Texts{"Steel", "S355", "S355         ", " weldable "}));
    clsMaterial& shadow = library().Shadow(6);
    EXPECT_EQ((Texts{shadow.MaterialType(), shadow.MaterialName(), shadow.MaterialDescription(),
                     shadow.MaterialNameCode()}),
              (Texts{"Steel  ", "S355", "weldable", "S355         "}));
    EXPECT_EQ(library().Material(6).MaterialType(), "Steel  ");
    // Without the reader's trailing blanks the category gets a node of its own.
    const std::string key = "SteelS3550006";
    EXPECT_EQ(tree().parentKey(key), "Steel");
    EXPECT_TRUE(tree().exists("Steel    "));
    EXPECT_EQ(tree().selectedKey(), key);
    EXPECT_EQ(tree().image(key), "leaf1");
    EXPECT_EQ(library().LastNodeKey, remembered);
}

} // namespace
} // namespace mb::test
