#include "EditingFixture.h"

namespace mb::test {
namespace {

class TextFieldsTest : public EditingFixture {};

// ---- Gaining the focus ---------------------------------------------------------------------

TEST_F(TextFieldsTest, EnteringTheNameOrCategoryBoxSwitchesToNewMaterialMode) {
    for (auto enter : {&EditingCommands::materialNameText_GotFocus,
                       &EditingCommands::materialTypeText_GotFocus}) {
        ClickMaterial(1);
        ASSERT_TRUE(editor.VSFlexGrid1.isVisible());
        (commands.*enter)();
        EXPECT_FALSE(editor.VSFlexGrid1.isVisible());
        EXPECT_TRUE(editor.cmdNewMaterial.isVisible());
        EXPECT_FALSE(editor.reset.isVisible());
        EXPECT_FALSE(editor.AddSet.isVisible());
    }
}

TEST_F(TextFieldsTest, EnteringABoxSelectsItsTextFromTheCursor) {
    ClickMaterial(1);
    commands.materialNameText_GotFocus();
    EXPECT_EQ(editor.materialNameText.selLength(), 6); // "6061  "
    commands.materialTypeText_GotFocus();
    EXPECT_EQ(editor.materialTypeText.selLength(), 13); // "Aluminium    "
    commands.descriptionText_GotFocus();
    EXPECT_EQ(editor.descriptionText.selLength(), 13); // "wrought alloy"
}

TEST_F(TextFieldsTest, EnteringTheDescriptionBoxLeavesTheWindowAsItIs) {
    ClickMaterial(1);
    commands.descriptionText_GotFocus();
    EXPECT_TRUE(editor.VSFlexGrid1.isVisible());
    EXPECT_FALSE(editor.cmdNewMaterial.isVisible());
    EXPECT_TRUE(editor.reset.isVisible());
}

// ---- Length limits -------------------------------------------------------------------------

TEST_F(TextFieldsTest, ANameOfThirtyCharactersIsAcceptedThirtyOneAreNot) {
    editor.materialNameText.setText(std::string(30, 'n'));
    EXPECT_TRUE(commands.materialNameText_LostFocus());
    EXPECT_TRUE(messages().questions.empty());

    const std::string tooLong = " " + std::string(30, 'n'); // blanks count
    editor.materialNameText.setText(tooLong);
    EXPECT_FALSE(commands.materialNameText_LostFocus());
    ExpectOnlyMessage("Material name should be less than 30 characters long", MsgButtons::OK,
                      MsgIcon::Critical);
    EXPECT_EQ(editor.materialNameText.focusRequests, 1);
    EXPECT_EQ(editor.materialNameText.text(), tooLong) << "not shortened";
}

TEST_F(TextFieldsTest, ACategoryOfTwentyFiveCharactersBetweenBlanksIsAcceptedTwentySixAreNot) {
    editor.materialTypeText.setText("   " + std::string(25, 'c') + "   ");
    EXPECT_TRUE(commands.materialTypeText_LostFocus());
    EXPECT_TRUE(messages().questions.empty());

    const std::string tooLong = " " + std::string(26, 'c');
    editor.materialTypeText.setText(tooLong);
    EXPECT_FALSE(commands.materialTypeText_LostFocus());
    ExpectOnlyMessage("Material Category name should be less than 25 characters long !",
                      MsgButtons::OK, MsgIcon::Critical);
    EXPECT_EQ(editor.materialTypeText.focusRequests, 1);
    EXPECT_EQ(editor.materialTypeText.text(), tooLong);
}

// ---- Leaving the description box -------------------------------------------------------------

TEST_F(TextFieldsTest, TheDescriptionIsStoredForMaterialTwoAsTyped) {
    ClickMaterial(2);
    editor.descriptionText.setText(" hot rolled ");
    commands.descriptionText_LostFocus();
    EXPECT_EQ(library().Entry(2).Description, " hot rolled ");
    EXPECT_EQ(library().Material(2).MaterialDescription(), " hot rolled ");
    EXPECT_EQ(library().Shadow(2).MaterialDescription(), "european grade");
}

TEST_F(TextFieldsTest, NoDescriptionIsStoredForMaterialZeroOrACategory) {
    ClickMaterial(0);
    editor.descriptionText.setText("changed");
    commands.descriptionText_LostFocus();
    ClickCategory("Aluminium");
    editor.descriptionText.setText("changed");
    commands.descriptionText_LostFocus();
    for (int n = 0; n <= 4; ++n) {
        EXPECT_NE(library().Entry(n).Description, "changed") << n;
        EXPECT_NE(library().Material(n).MaterialDescription(), "changed") << n;
    }
    EXPECT_EQ(library().Entry(0).Description, "structural steel");
}

TEST_F(TextFieldsTest, AStaleSelectionBeyondTheLibraryStoresNothing) {
    library().LastNodeKey = "Steel    Gone  0009";
    editor.descriptionText.setText("changed");
    commands.descriptionText_LostFocus();
    EXPECT_EQ(library().Entry(9).Description, "");
    EXPECT_FALSE(library().HasRecord(9));
}

} // namespace
} // namespace mb::test
