#include "EditingFixture.h"

namespace mb::test {
namespace {

class NewMaterialTest : public EditingFixture {};

// ---- "&New" ------------------------------------------------------------------------------

TEST_F(NewMaterialTest, NewNeedsBothCategoryAndName) {
    ClickCategory("Steel");
    for (const auto& [category, name] : std::vector<std::pair<std::string, std::string>>{
             {"", "X"}, {"Steel", "   "}, {"  ", ""}}) {
        messages().questions.clear();
        Type(category, name);
        commands.newMaterial();
        ExpectOnlyMessage("Must set Material category and name before generating new material !",
                          MsgButtons::OK, MsgIcon::None);
    }
    EXPECT_EQ(library().LastMaterialIndex, 4);
}

TEST_F(NewMaterialTest, NewWithAMaterialSelectedIsRefusedEvenWithBothBoxesFilled) {
    ClickMaterial(2);
    Type("Steel", "S355");
    commands.newMaterial();
    ExpectOnlyMessage("Addition of new Material within another Material is prohibited ! ",
                      MsgButtons::OK, MsgIcon::Exclamation);
    EXPECT_EQ(library().LastMaterialIndex, 4);
}

TEST_F(NewMaterialTest, NewWithNothingOrAnEmptyCategorySelectedIsRefused) {
    Type("Steel", "S355");
    commands.newMaterial();
    tree().addNode(std::nullopt, "Empty    ", "Empty    ", "closedbook");
    tree().select("Empty    ");
    commands.newMaterial();
    ASSERT_EQ(messages().questions.size(), 2u);
    EXPECT_EQ(messages().questions[1].text,
              "Addition of new Material within another Material is prohibited ! ");
    EXPECT_EQ(library().LastMaterialIndex, 4);
}

TEST_F(NewMaterialTest, NewWithACategorySelectedAddsTheMaterial) {
    ClickCategory("Steel");
    Type("Steel", "S355");
    commands.newMaterial();
    ExpectOnlyMessage("Do you really want to add this material ?", MsgButtons::YesNo,
                      MsgIcon::Question);
    EXPECT_EQ(library().LastMaterialIndex, 5);
}

// ---- Validation ------------------------------------------------------------------------

struct ValidationCase {
    std::string category, name;
    std::string message;
    bool focusCategory; ///< else the name box
};

class NewMaterialValidationTest : public EditingFixture,
                                  public ::testing::WithParamInterface<ValidationCase> {};

TEST_P(NewMaterialValidationTest, TheFirstFailingCheckSpeaksAndTakesTheFocus) {
    const ValidationCase& c = GetParam();
    Type(c.category, c.name);
    commands.onNewMaterial();
    ExpectOnlyMessage(c.message, MsgButtons::OK, MsgIcon::Exclamation);
    EXPECT_EQ(editor.materialTypeText.focusRequests, c.focusCategory ? 1 : 0);
    EXPECT_EQ(editor.materialNameText.focusRequests, c.focusCategory ? 0 : 1);
    EXPECT_EQ(library().LastMaterialIndex, 4);
}

INSTANTIATE_TEST_SUITE_P(
    InOrder, NewMaterialValidationTest,
    ::testing::Values(
        ValidationCase{"", "", "Please specify the Material Category name !", true},
        ValidationCase{"   ", "Ti", "Please specify the Material Category name !", true},
        ValidationCase{" 1abc", "", "Material category can not start with a number !", true},
        ValidationCase{"7075 alloys", "Ti", "Material category can not start with a number !",
                       true},
        ValidationCase{"Titanium", "  ", "Please specify the Material name !", false}));

TEST_F(NewMaterialTest, ANameTakenInAnotherCategoryDifferingInCaseIsRefused) {
    Type("Copper", "  s275");
    commands.onNewMaterial();
    ExpectOnlyMessage("Material already exits. Please enter a different name!", MsgButtons::OK,
                      MsgIcon::Exclamation);
    EXPECT_EQ(editor.materialNameText.text(), "  s275");
    EXPECT_EQ(library().LastMaterialIndex, 4);
}

TEST_F(NewMaterialTest, AnsweringNoEmptiesTheBoxesAndAddsNothing) {
    ClickCategory("Steel");
    commands.materialNameText_GotFocus();
    Type("Titanium", "Ti-6Al-4V", "aerospace");
    messages().queueAnswer(MsgResult::No);
    commands.onNewMaterial();
    EXPECT_EQ(editor.materialTypeText.text(), "");
    EXPECT_EQ(editor.materialNameText.text(), "");
    EXPECT_EQ(editor.descriptionText.text(), "");
    EXPECT_EQ(library().LastMaterialIndex, 4);
    EXPECT_EQ(tree().nodeCount(), 8);
    EXPECT_TRUE(editor.cmdNewMaterial.isVisible()) << "the buttons stay as they were";
}

// ---- Adding ------------------------------------------------------------------------------

TEST_F(NewMaterialTest, YesAppendsTheMaterialWithTrimmedTextsAndNoValues) {
    ClickMaterial(2);
    commands.materialTypeText_GotFocus();
    Type("  Titanium ", " Ti-6Al-4V ", "  aerospace  ");
    commands.onNewMaterial();

    EXPECT_EQ(library().LastMaterialIndex, 5);
    const LibraryEntry& e = library().Entry(5);
    EXPECT_EQ(e.Category, "Titanium    ");
    EXPECT_EQ(e.Name, "Ti-6Al-4V");
    EXPECT_EQ(e.Description, "aerospace");
    EXPECT_EQ(e.NameCode, "");
    clsMaterial& shadow = library().Shadow(5);
    EXPECT_EQ(shadow.MaterialType(), "  Titanium ") << "as typed";
    EXPECT_EQ(shadow.MaterialName(), "Ti-6Al-4V");
    EXPECT_EQ(shadow.MaterialNameCode(), "Ti-6Al-4V    ");
    EXPECT_EQ(shadow.MaterialDescription(), "aerospace");
    clsMaterial& record = library().Material(5);
    EXPECT_EQ(record.MaterialType(), "  Titanium ");
    EXPECT_EQ(record.MaterialName(), "Ti-6Al-4V");
    EXPECT_EQ(record.MaterialNameCode(), "Ti-6Al-4V    ");
    for (int slot = 0; slot < kSlotCount; ++slot) {
        EXPECT_FALSE(record.HasValue(slot)) << slot;
        EXPECT_FALSE(shadow.HasValue(slot)) << slot;
    }
}

TEST_F(NewMaterialTest, TheNewNodeIsSelectedAndMarkedAndTheWindowShowsTheMaterialButtons) {
    ClickMaterial(2);
    commands.materialNameText_GotFocus();
    Type("Titanium", "Ti-6Al-4V");
    commands.onNewMaterial();

    const std::string key = "Titanium    Ti-6Al-4V0005";
    EXPECT_EQ(tree().parentKey(key), "Titanium    ");
    EXPECT_EQ(tree().image("Titanium    "), "closedbook");
    EXPECT_EQ(tree().nodeText(key), "Ti-6Al-4V");
    EXPECT_EQ(tree().selectedKey(), key);
    EXPECT_EQ(tree().image(key), "leaf1");
    EXPECT_EQ(tree().image(KeyOf(2)), "leaf");
    EXPECT_EQ(library().LastNodeKey, key);
    EXPECT_FALSE(editor.cmdNewMaterial.isVisible());
    EXPECT_TRUE(editor.reset.isVisible());
    EXPECT_TRUE(editor.AddSet.isVisible());
    // The grid is laid out with an empty Value column.
    auto& grid = editor.VSFlexGrid1;
    EXPECT_TRUE(grid.isVisible());
    EXPECT_EQ(grid.textMatrix(0, 2), "Value");
    ASSERT_GT(grid.rows(), 1);
    for (int row = 1; row < grid.rows(); ++row)
        EXPECT_EQ(grid.textMatrix(row, 2), "") << row;
}

TEST_F(NewMaterialTest, AddingToAnExistingCategoryMakesNoSecondCategoryNode) {
    ClickCategory("Copper");
    Type("Copper", "C110");
    commands.newMaterial();
    EXPECT_EQ(tree().parentKey("Copper    C1100005"), "Copper    ");
    EXPECT_EQ(tree().childCount("Copper    "), 2);
    EXPECT_EQ(tree().nodeCount(), 9);
}

// ---- Name code ---------------------------------------------------------------------------

struct NameCodeCase {
    std::string typed, code;
};

class NameCodeTest : public ::testing::TestWithParam<NameCodeCase> {};

TEST_P(NameCodeTest, LongNamesAreCutAsTypedShortOnesPaddedTrimmed) {
    EXPECT_EQ(NewMaterialNameCode(GetParam().typed), GetParam().code);
    EXPECT_EQ(NewMaterialNameCode(GetParam().typed).size(), 13u);
}

INSTANTIATE_TEST_SUITE_P(Rules, NameCodeTest,
                         ::testing::Values(NameCodeCase{"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLM"},
                                           NameCodeCase{"Steel", "Steel        "},
                                           NameCodeCase{"  ABCDEFGHIJKLM", "  ABCDEFGHIJK"},
                                           NameCodeCase{"  Steel  ", "Steel        "},
                                           NameCodeCase{"ABCDEFGHIJKLM", "ABCDEFGHIJKLM"}));

TEST_F(NewMaterialTest, TheNewMaterialCarriesTheCodeOfTheNameAsTyped) {
    Type("Titanium", "  ABCDEFGHIJKLM");
    commands.onNewMaterial();
    EXPECT_EQ(library().Shadow(5).MaterialNameCode(), "  ABCDEFGHIJK");
    EXPECT_EQ(library().Entry(5).Name, "ABCDEFGHIJKLM");
}

} // namespace
} // namespace mb::test
