#include "EditingFixture.h"

namespace mb::test {
namespace {

using TextFieldsTest = EditingFixture;

TEST_F(TextFieldsTest, EnteringTheNameOrCategoryBoxSwitchesToNewMaterialMode) {
    for (auto enter : {&EditingCommands::materialNameText_GotFocus,
                       &EditingCommands::materialTypeText_GotFocus}) {
        ClickMaterial(1);
        ASSERT_EQ(Shown(), kMaterialShown);
        (commands.*enter)();
        EXPECT_EQ(Shown(), kNewMaterialShown);
    }
}

TEST_F(TextFieldsTest, EnteringABoxSelectsItsTextTheDescriptionBoxNothingElse) {
    ClickMaterial(1);
    commands.descriptionText_GotFocus();
    EXPECT_EQ(editor.descriptionText.selLength(), 13); // "wrought alloy"
    EXPECT_EQ(Shown(), kMaterialShown);
    commands.materialNameText_GotFocus();
    EXPECT_EQ(editor.materialNameText.selLength(), 6); // "6061  "
    commands.materialTypeText_GotFocus();
    EXPECT_EQ(editor.materialTypeText.selLength(), 13); // "Aluminium    "
}

TEST_F(TextFieldsTest, LengthLimitsKeepTheFocusAndTheText) {
    struct Case {
        fake::FakeTextBox& box;
        bool (EditingCommands::*leave)();
        std::string fits, tooLong, message;
    };
    for (const Case& c :
         {Case{editor.materialNameText, &EditingCommands::materialNameText_LostFocus,
               std::string(30, 'n'), " " + std::string(30, 'n'), // blanks count
               "Material name should be less than 30 characters long"},
          Case{editor.materialTypeText, &EditingCommands::materialTypeText_LostFocus,
               "   " + std::string(25, 'c') + "   ", " " + std::string(26, 'c'),
               "Material Category name should be less than 25 characters long !"}}) {
        SCOPED_TRACE(c.message);
        c.box.setText(c.fits);
        EXPECT_TRUE((commands.*c.leave)());
        EXPECT_TRUE(messages().questions.empty());
        c.box.setText(c.tooLong);
        EXPECT_FALSE((commands.*c.leave)());
        ExpectOnlyMessage(c.message, MsgButtons::OK, MsgIcon::Critical);
        EXPECT_EQ(c.box.focusRequests, 1);
        EXPECT_EQ(c.box.text(), c.tooLong) << "not shortened";
    }
}

TEST_F(TextFieldsTest, TheDescriptionIsStoredAsTypedExceptForMaterialZeroOrACategory) {
    ClickMaterial(2);
    editor.descriptionText.setText(" hot rolled ");
    commands.descriptionText_LostFocus();
    EXPECT_EQ(library().Entry(2).Description, " hot rolled ");
    EXPECT_EQ(library().Material(2).MaterialDescription(), " hot rolled ");
    EXPECT_EQ(library().Shadow(2).MaterialDescription(), "european grade");

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
