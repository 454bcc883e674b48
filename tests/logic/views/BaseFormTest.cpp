// The editor window: what a click in the tree shows, what the unit and type selectors
// change, and what a value typed into the grid does.

#include "EditorFixture.h"

namespace mb::test {
namespace {

using BaseFormTest = EditorTest;

TEST_F(BaseFormTest, AMaterialClickShowsItACategoryClickTurnsToAddingOne) {
    for (int n : {1, 0}) { // material 0's key ends in "0000"
        show(n);
        EXPECT_EQ((Texts{editor.TreeView1.image(typedKeys[std::size_t(n)]),
                         state.library.LastNodeKey, std::to_string(editor.form.CurrentMaterial())}),
                  (Texts{"leaf1", typedKeys[std::size_t(n)], std::to_string(n)}));
        EXPECT_EQ(editor.shown(), (std::vector<bool>{true, false, true, true}));
    }
    EXPECT_EQ(editor.boxes(), (Texts{"Metals    ", "Steel S235", "about Steel S235"}));
    editor.clickNode("Alloy 2024    "); // digits end its name, blanks its key
    EXPECT_EQ((Texts{editor.TreeView1.image(typedKeys[1]), editor.TreeView1.image(typedKeys[0]),
                     editor.TreeView1.image("Alloy 2024    ")}),
              (Texts{"leaf", "leaf", "closedbook"}));
    EXPECT_EQ(editor.boxes(), (Texts{"Alloy 2024    ", "", ""}));
    EXPECT_EQ(editor.shown(), (std::vector<bool>{false, true, false, false}));
    editor.form.TreeView1_Expand("Polymers    ");
    EXPECT_EQ(editor.TreeView1.image("Polymers    "), "openbook");
    editor.form.TreeView1_Collapse("Polymers    ");
    EXPECT_EQ(editor.TreeView1.image("Polymers    "), "closedbook");
}

TEST_F(BaseFormTest, TheUnitsSelectorNamesTheSystemShown) {
    for (const auto& [index, name] :
         std::vector<std::pair<int, std::string>>{{0, "IPS"}, {1, "SI"}, {2, "MKS"}, {-1, ""}}) {
        editor.chooseUnits(index);
        EXPECT_EQ(editor.form.UnitSystem(), name) << index;
    }
}

// In SI what is typed is what is stored. Rows that change a value come last.
TEST_F(BaseFormTest, ZeroAndSignedCodesAreAcceptedNegativesRefusedLettersAndBlanksDropped) {
    show(0);
    editor.chooseType(1); // orthotropic: every signed code has a row
    editor.chooseUnits(1);
    const auto refusal =
        std::tuple{std::string("Value entered must be a positive number"), MsgButtons::OK,
                   MsgIcon::None, std::string("VELTRA/M Material Browser")};
    for (const auto& [code, typed, si, shown, refused] :
         std::vector<std::tuple<std::string, std::string, double, std::string, bool>>{
             {"EX", "-1", 2.1e11, "", true},
             {"EX", "abc", 2.1e11, "", false},
             {"NUXY", "0.3x", 0.3, "", false},
             {"EX", "", 2.1e11, "", false},
             {"EX", "0", 0.0, "0", false},
             {"NUXY", "-1", -1.0, "-1", false},
             {"GXY", " -2.5", -2.5, " -2.5", false}}) {
        SCOPED_TRACE(code + " " + typed);
        editor.form.EditStarted = false;
        typeValue(code, typed);
        EXPECT_EQ(stored(0, code), si);
        EXPECT_EQ(cell(code), shown) << "the cell keeps what was typed, or is emptied";
        EXPECT_EQ(editor.form.EditStarted, shown != typed && !typed.empty()) << "still editing";
        EXPECT_EQ(editor.messageBox.questions.size(), refused ? 1u : 0u);
        for (const auto& q : editor.messageBox.questions)
            EXPECT_EQ((std::tuple{q.text, q.buttons, q.icon, q.title}), refusal);
        editor.messageBox.questions.clear();
    }
}

TEST_F(BaseFormTest, OnlyAClickInTheValueColumnStartsAnEditAndLosingTheFocusStoresIt) {
    show(0);
    editor.clickCell(1, 1);
    EXPECT_FALSE(editor.VSFlexGrid1.isEditing());
    editor.clickCell(1, 2);
    editor.VSFlexGrid1.typeIntoCurrentCell("0");
    editor.form.VSFlexGrid1_LostFocus();
    EXPECT_EQ((std::tuple{editor.VSFlexGrid1.row(), editor.VSFlexGrid1.col(), *stored(0, "EX")}),
              (std::tuple{1, 1, 0.0}));
}

// The cell shows the value rounded to the grid's digits (30463140 psi for 210 GPa): an
// edit that leaves it as it was must not store the rounded number.
TEST_F(BaseFormTest, AnEditLeftWithTheTextItStartedFromStoresNothing) {
    show(0);
    editor.clickCell(rowOf("EX"), 2);
    editor.VSFlexGrid1.setCurrentCell(rowOf("NUXY"), 2);
    EXPECT_EQ(stored(0, "EX"), 2.1e11);
    EXPECT_FALSE(editor.form.EditStarted);
    EXPECT_EQ(state.history.undoCount(), 0u);
    // Typed back to the same text after a change it is the same: nothing either.
    editor.clickCell(rowOf("EX"), 2);
    editor.VSFlexGrid1.typeIntoCurrentCell("30463140");
    editor.VSFlexGrid1.setCurrentCell(rowOf("NUXY"), 2);
    EXPECT_EQ(stored(0, "EX"), 2.1e11);
    typeValue("EX", "30463141");
    EXPECT_EQ(stored(0, "EX"), 30463141 * 6893.5773);
    EXPECT_EQ(state.history.undoCount(), 1u);
}

// A unit of the row's quantity is understood whatever system is shown; the cell then shows
// the stored value in that system. A unit of another quantity is no number.
TEST_F(BaseFormTest, AValueTypedWithAUnitIsConvertedAndShownInTheSystemOnShow) {
    show(0);
    editor.chooseUnits(0); // IPS
    typeValue("EX", "200 GPa");
    EXPECT_EQ(stored(0, "EX"), 200e9);
    EXPECT_EQ(cell("EX"), "29012510");
    editor.chooseUnits(2); // MKS
    typeValue("DENS", "7,9 g/cm3");
    EXPECT_EQ(stored(0, "DENS"), 7850) << "a comma is no decimal point with the separator \".\"";
    editor.locale.separator = ",";
    editor.chooseUnits(1);
    typeValue("DENS", "7,9 g/cm3");
    EXPECT_EQ(stored(0, "DENS"), 7900);
    EXPECT_EQ(cell("DENS"), "7900");
    typeValue("EX", "-1 GPa");
    EXPECT_EQ(editor.messageBox.questions.at(0).text, "Value entered must be a positive number");
    EXPECT_EQ(stored(0, "EX"), 200e9);
}

} // namespace
} // namespace mb::test
