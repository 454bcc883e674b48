// Editing a value in the grid: what starts an edit, what is refused (with or without a
// message) and what reaches the material, in SI.

#include "EditorFixture.h"

namespace mb::test {
namespace {

using fake::FakeMessageBox;

class GridEdit : public EditorTest {
protected:
    GridEdit() { show(0); }
};

TEST_F(GridEdit, OnlyAClickInTheValueColumnStartsAnEdit) {
    ed.clickCell(1, 1);
    EXPECT_FALSE(ed.form.EditStarted);
    EXPECT_FALSE(ed.VSFlexGrid1.isEditing());
    ed.clickCell(1, 2);
    EXPECT_TRUE(ed.form.EditStarted);
    EXPECT_TRUE(ed.VSFlexGrid1.isEditing());
}

TEST_F(GridEdit, ValueTypedInIpsIsStoredInSi) {
    typeValue("EX", "1000");
    EXPECT_NEAR(*stored(0, "EX"), 1000 * kPsi, 1e-6);
    EXPECT_FALSE(ed.form.EditStarted);
    EXPECT_TRUE(ed.messageBox.questions.empty());
    EXPECT_EQ(valueOf("EX"), "1000"); // the cell keeps what was typed
}

TEST_F(GridEdit, ValueTypedInMksIsStoredInSi) {
    ed.chooseUnits(2);
    typeValue("EX", "1");
    EXPECT_NEAR(*stored(0, "EX"), 98066.5, 1e-6);
}

TEST_F(GridEdit, ZeroIsAcceptedForYoungsModulus) {
    typeValue("EX", "0");
    EXPECT_EQ(*stored(0, "EX"), 0.0);
    EXPECT_TRUE(ed.messageBox.questions.empty());
}

TEST_F(GridEdit, NegativeValueIsRefusedWithTheMessage) {
    typeValue("EX", "-1");
    ASSERT_EQ(ed.messageBox.questions.size(), 1u);
    const FakeMessageBox::Question& q = ed.messageBox.questions[0];
    EXPECT_EQ(q.text, "Value entered must be a positive number");
    EXPECT_EQ(q.buttons, MsgButtons::OK);
    EXPECT_EQ(q.icon, MsgIcon::None);
    EXPECT_EQ(q.title, "VELTRA/M Material Browser");
    EXPECT_EQ(*stored(0, "EX"), 2.1e11);
    EXPECT_EQ(valueOf("EX"), "");
    EXPECT_TRUE(ed.form.EditStarted);
}

TEST_F(GridEdit, NegativeValueWithTheUsersCommaIsRefused) {
    state.doc.DecimalSeparator = ",";
    typeValue("EX", "-0,5");
    ASSERT_EQ(ed.messageBox.questions.size(), 1u);
    EXPECT_EQ(*stored(0, "EX"), 2.1e11);
}

struct SignedCase {
    int type;
    const char* code;
};

class SignedProperty : public EditorTest, public ::testing::WithParamInterface<SignedCase> {};

TEST_P(SignedProperty, AcceptsNegativeValues) {
    show(0);
    ed.chooseType(GetParam().type);
    ed.chooseUnits(1);
    typeValue(GetParam().code, "-1");
    EXPECT_TRUE(ed.messageBox.questions.empty());
    EXPECT_EQ(stored(0, GetParam().code), -1.0);
}

INSTANTIATE_TEST_SUITE_P(Codes, SignedProperty,
                         ::testing::Values(SignedCase{0, "NUXY"}, SignedCase{0, "GXY"},
                                           SignedCase{1, "ALPZ"}, SignedCase{1, "NUYZ"},
                                           SignedCase{1, "GXZ"}));

TEST_F(GridEdit, SignedListIsReadFromTheCodeColumnIgnoringCaseAndBlanks) {
    ed.VSFlexGrid1.setCurrentCell(2, 0);
    ed.VSFlexGrid1.setText("  nuxz ");
    EXPECT_TRUE(ed.form.IsSignedProperty(2));
    EXPECT_FALSE(ed.form.IsSignedProperty(1)); // EX
    EXPECT_FALSE(ed.form.IsSignedProperty(0)); // the header
}

TEST_F(GridEdit, LettersEmptyTheCellSilently) {
    typeValue("EX", "abc");
    EXPECT_TRUE(ed.messageBox.questions.empty());
    EXPECT_EQ(valueOf("EX"), "");
    EXPECT_EQ(*stored(0, "EX"), 2.1e11);
    EXPECT_TRUE(ed.form.EditStarted);
}

TEST_F(GridEdit, NumberFollowedByTextIsNoNumber) {
    typeValue("NUXY", "0.3x");
    EXPECT_EQ(valueOf("NUXY"), "");
    EXPECT_EQ(*stored(0, "NUXY"), 0.3);
}

TEST_F(GridEdit, EmptiedCellStoresNothingAndTheOldValueComesBack) {
    typeValue("EX", "");
    EXPECT_FALSE(ed.form.EditStarted);
    EXPECT_EQ(*stored(0, "EX"), 2.1e11);
    ed.form.ShowMaterialGrid();
    EXPECT_EQ(valueOf("EX"), "30463140");
}

TEST_F(GridEdit, LeavingACellWithoutAnEditStoresNothing) {
    ed.VSFlexGrid1.setCurrentCell(1, 2);
    ed.VSFlexGrid1.setText("5");
    ed.VSFlexGrid1.setCurrentCell(2, 2);
    EXPECT_EQ(*stored(0, "EX"), 2.1e11);
}

TEST_F(GridEdit, ValueGoesToTheMaterialSelectedInTheTree) {
    typeValue("DENS", "0.1");
    EXPECT_NEAR(*stored(0, "DENS"), 0.1 * 27679.9, 1e-9);
    EXPECT_FALSE(stored(1, "DENS").has_value());
}

TEST_F(GridEdit, UsersCommaIsTheDecimalPoint) {
    ed.locale.separator = ",";
    ed.chooseUnits(1);
    typeValue("NUXY", "2,5");
    EXPECT_EQ(*stored(0, "NUXY"), 2.5);
}

TEST_F(GridEdit, LosingTheFocusStoresTheEdit) {
    ed.clickCell(rowOf("EX"), 2);
    ed.VSFlexGrid1.typeIntoCurrentCell("2000");
    ed.form.VSFlexGrid1_LostFocus();
    EXPECT_EQ(ed.VSFlexGrid1.row(), 1);
    EXPECT_EQ(ed.VSFlexGrid1.col(), 1);
    EXPECT_NEAR(*stored(0, "EX"), 2000 * kPsi, 1e-6);
}

TEST_F(GridEdit, ClickingAnotherNodeEndsTheEdit) {
    ed.clickCell(rowOf("EX"), 2);
    show(1);
    EXPECT_FALSE(ed.form.EditStarted);
}

} // namespace
} // namespace mb::test
