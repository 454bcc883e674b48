// Editing a value in the grid: what starts an edit, what is refused (with or without a
// message) and what reaches the material, in SI.

#include "EditorFixture.h"

namespace mb::test {
namespace {

class GridEdit : public EditorTest {
protected:
    GridEdit() { show(0); }
};

TEST_F(GridEdit, OnlyAClickInTheValueColumnStartsAnEditAndANodeClickEndsIt) {
    ed.clickCell(1, 1);
    EXPECT_FALSE(ed.form.EditStarted);
    EXPECT_FALSE(ed.VSFlexGrid1.isEditing());
    ed.clickCell(1, 2);
    EXPECT_TRUE(ed.form.EditStarted);
    EXPECT_TRUE(ed.VSFlexGrid1.isEditing());
    show(1);
    EXPECT_FALSE(ed.form.EditStarted);
}

TEST_F(GridEdit, AcceptedValuesAreStoredInSiIntoTheSelectedMaterial) {
    struct Case {
        int units;
        const char *code, *typed;
        double si;
    };
    for (const Case& c : {Case{0, "EX", "1000", 1000 * kPsi}, Case{2, "EX", "1", 98066.5},
                          Case{0, "EX", "0", 0.0}, Case{0, "DENS", "0.1", 0.1 * 27679.9},
                          Case{1, "NUXY", "-1", -1.0}, Case{1, "GXY", "-1", -1.0}}) {
        SCOPED_TRACE(std::string(c.code) + " " + c.typed);
        ed.chooseUnits(c.units);
        typeValue(c.code, c.typed);
        EXPECT_NEAR(*stored(0, c.code), c.si, 1e-6);
        EXPECT_FALSE(ed.form.EditStarted);
        EXPECT_EQ(valueOf(c.code), c.typed) << "the cell keeps what was typed";
    }
    EXPECT_TRUE(ed.messageBox.questions.empty());
    EXPECT_FALSE(stored(1, "DENS").has_value());
}

TEST_F(GridEdit, NegativeValueIsRefusedWithTheMessageAlsoWithTheUsersComma) {
    for (const char* separator : {".", ","}) {
        ed.messageBox.questions.clear();
        state.doc.DecimalSeparator = separator;
        typeValue("EX", *separator == ',' ? "-0,5" : "-1");
        ASSERT_EQ(ed.messageBox.questions.size(), 1u);
        const fake::FakeMessageBox::Question& q = ed.messageBox.questions[0];
        EXPECT_EQ(q.text, "Value entered must be a positive number");
        EXPECT_EQ(q.buttons, MsgButtons::OK);
        EXPECT_EQ(q.icon, MsgIcon::None);
        EXPECT_EQ(q.title, "VELTRA/M Material Browser");
        EXPECT_EQ(*stored(0, "EX"), 2.1e11);
        EXPECT_EQ(valueOf("EX"), "");
        EXPECT_TRUE(ed.form.EditStarted);
    }
}

TEST_F(GridEdit, TheNineSignedCodesAreReadFromTheCodeColumn) {
    ed.chooseType(1);
    for (const char* code : {"GXY", "GYZ", "GXZ", "NUXY", "NUYZ", "NUXZ", "ALPX", "ALPY", "ALPZ"})
        EXPECT_TRUE(ed.form.IsSignedProperty(rowOf(code))) << code;
    EXPECT_FALSE(ed.form.IsSignedProperty(rowOf("EX")));
    EXPECT_FALSE(ed.form.IsSignedProperty(0)); // the header
    ed.VSFlexGrid1.setCurrentCell(1, 0);
    ed.VSFlexGrid1.setText("  nuxz ");
    EXPECT_TRUE(ed.form.IsSignedProperty(1));
}

TEST_F(GridEdit, TextThatIsNoNumberEmptiesTheCellSilently) {
    for (const auto& [code, text] :
         std::vector<std::pair<std::string, std::string>>{{"EX", "abc"}, {"NUXY", "0.3x"}}) {
        typeValue(code, text);
        EXPECT_EQ(valueOf(code), "") << text;
        EXPECT_TRUE(ed.form.EditStarted);
    }
    EXPECT_TRUE(ed.messageBox.questions.empty());
    EXPECT_EQ(*stored(0, "EX"), 2.1e11);
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

TEST_F(GridEdit, LosingTheFocusMovesToRowOneColumnOneAndStoresTheEdit) {
    ed.clickCell(rowOf("EX"), 2);
    ed.VSFlexGrid1.typeIntoCurrentCell("2000");
    ed.form.VSFlexGrid1_LostFocus();
    EXPECT_EQ(ed.VSFlexGrid1.row(), 1);
    EXPECT_EQ(ed.VSFlexGrid1.col(), 1);
    EXPECT_NEAR(*stored(0, "EX"), 2000 * kPsi, 1e-6);
}

} // namespace
} // namespace mb::test
