// The find box's filter between the editor's logic and a fake tree: what a query shows,
// Esc and Enter, and materials that commands add, paste or move while a query is on.

#include "TreeFilter.h"
#include "EditingCommands.h"
#include "FakeEditor.h"
#include "NodeKey.h"
#include "TextUtil.h"
#include "TreeEditing.h"

#include <gtest/gtest.h>

namespace mb::test {

namespace {

using Texts = std::vector<std::string>;

// The editor's logic seeing the fake tree through the filter, as the window wires it.
struct FilteredEditor : fake::FakeEditorControls {
    explicit FilteredEditor(AppState& state)
        : filter(TreeView1, state, unitsCombo, findBox, findStatus),
          form(state,
               BaseFormControls{filter, VSFlexGrid1, unitsCombo, typeCombo, materialTypeText,
                                materialNameText, descriptionText, cmdNewMaterial, reset, AddSet,
                                valueframe, controls().unitStringsLabel},
               BaseFormServices{messageBox, locale}) {
        filter.attach(form);
    }

    fake::FakeTextBox findBox;
    fake::FakeLabel findStatus;
    TreeFilter filter;
    BaseForm form;
};

class TreeFilterTest : public ::testing::Test {
protected:
    TreeFilterTest() {
        add("Steel", "A36", {{"EX", 2.0e11}, {"DENS", 7850}});
        add("Aluminium", "6061", {{"EX", 6.9e10}, {"DENS", 2700}});
        add("Steel", "S275", {{"EX", 2.1e11}});
        add("Aluminium", "7075", {{"EX", 7.1e10}, {"DENS", 2810}});
        add("Copper", "C101", {{"EX", 1.17e11}, {"DENS", 8940}});
        add("Plastics", "Nylon", {});
        BuildTree(state.library, ed.filter);
        ed.form.fillUnitsList();
        ed.form.FillTypeList();
        chooseUnits(UnitSystemIndex::SI);
    }
    void add(const std::string& category, const std::string& name,
             std::initializer_list<std::pair<const char*, double>> values) {
        clsMaterial record;
        for (const auto& [code, si] : values)
            record.CopyProperty(code, si);
        state.library.addMaterial({category + "    ", "", name + "  ", ""}, record, record);
    }
    void chooseUnits(int index) {
        ed.unitsCombo.setListIndex(index);
        ed.form.unitsCombo_Click();
        ed.filter.unitsCombo_Click();
    }
    void type(const std::string& text) {
        ed.findBox.setText(text);
        ed.filter.findBox_Change();
    }
    std::string keyOf(const std::string& name) {
        for (const std::string& key : ed.TreeView1.keysInOrder())
            if (ed.TreeView1.parentKey(key) && ed.TreeView1.nodeText(key) == name + "  ")
                return key;
        for (const std::string& key : ed.TreeView1.keysInOrder())
            if (ed.TreeView1.parentKey(key) && ed.TreeView1.nodeText(key) == name) return key;
        return "";
    }
    void click(const std::string& name) {
        const std::string key = keyOf(name);
        ed.TreeView1.select(key), ed.form.TreeView1_NodeClick(key);
    }
    /// What the user sees, trimmed: "Steel(A36 S275) Copper(C101)".
    std::string shown() {
        std::string out;
        for (const std::string& key : ed.TreeView1.shownKeys()) {
            const bool material = ed.TreeView1.parentKey(key).has_value();
            if (!material && !out.empty()) out += ") ";
            out += (material && out.back() != '(' ? " " : "") +
                   std::string(trimBlanks(ed.TreeView1.nodeText(key))) + (material ? "" : "(");
        }
        return out.empty() ? out : out + ")";
    }
    const std::string kWholeTree =
        "Steel(A36 S275) Aluminium(6061 7075) Copper(C101) Plastics(Nylon)";

    AppState state;
    FilteredEditor ed{state};
};

// What a query means (units, phrases) is the query's own tests' concern; here the filter
// hands it the units on show and the user's decimal separator.
TEST_F(TreeFilterTest, AQueryShowsItsMatchesUnderTheirCategoriesAndCountsThem) {
    using namespace UnitSystemIndex;
    const std::tuple<std::string, int, std::string, std::string, std::string> cases[] = {
        {"steel", SI, ".", "Steel(A36 S275)", "2 matches"},
        {"EX>100E9", SI, "", "Steel(A36 S275) Copper(C101)", "3 matches, SI"},
        {"DENS<2750,5 EX", SI, ",", "Aluminium(6061)", "1 match, SI"},
        {"titanium", SI, "", "", "No match"},
        {"   ", SI, "", kWholeTree, ""},
    };
    for (const auto& [query, units, separator, tree, status] : cases) {
        ed.locale.separator = separator; // read when the units are chosen
        chooseUnits(units);
        type(query);
        EXPECT_EQ(shown(), tree) << query;
        EXPECT_EQ(ed.findStatus.caption(), status) << query;
        EXPECT_EQ(ed.findStatus.isVisible(), !status.empty()) << query;
    }
    EXPECT_TRUE(ed.messageBox.questions.empty()) << "nothing modal";
}

TEST_F(TreeFilterTest, EnterSelectsAndShowsTheNextMatchAndEscBringsTheWholeTreeBack) {
    type("EX>100E9");
    const auto enter = [&] {
        ed.filter.findBox_Enter();
        return std::string(trimBlanks(ed.materialNameText.text()));
    };
    EXPECT_EQ((Texts{enter(), enter(), enter(), enter()}), (Texts{"A36", "S275", "C101", "A36"}));
    EXPECT_EQ(ed.TreeView1.selectedKey(), keyOf("A36"));
    EXPECT_EQ(ed.TreeView1.image(keyOf("A36")), "leaf1");
    EXPECT_EQ(ed.TreeView1.image(keyOf("C101")), "leaf") << "the one before has its image back";

    // What Esc clears and keeps in the tree is the window test's; the status goes too.
    click("S275");
    ed.filter.findBox_Escape();
    EXPECT_EQ(ed.findStatus.caption(), "");
    EXPECT_EQ(trimBlanks(ed.materialNameText.text()), "S275");
    ed.filter.findBox_Enter();
    EXPECT_EQ(ed.TreeView1.selectedKey(), keyOf("S275")) << "without a query Enter does nothing";
}

TEST_F(TreeFilterTest, ACategoryOrMaterialSelectedStaysShownAndCategoriesWithMatchesAreOpened) {
    click("Nylon");
    type("copper");
    EXPECT_EQ(shown(), "Copper(C101) Plastics(Nylon)")
        << "the material on show, which commands act on, is not hidden";
    EXPECT_TRUE(ed.TreeView1.isNodeGreyed(keyOf("Nylon"))) << "but greyed: it is no match";
    EXPECT_FALSE(ed.TreeView1.isNodeGreyed(keyOf("C101")));
    click("C101");
    ed.filter.findBox_Escape();
    EXPECT_FALSE(ed.TreeView1.isNodeGreyed(keyOf("Nylon")));
    type("copper");
    EXPECT_TRUE(ed.TreeView1.isExpanded("Copper    "));
    EXPECT_FALSE(ed.TreeView1.isExpanded("Aluminium    "));
    ed.TreeView1.select("Aluminium    ");
    type("steel");
    EXPECT_EQ(shown(), "Steel(A36 S275) Aluminium()");
}

TEST_F(TreeFilterTest, AddedPastedAndMovedMaterialsStayShownUntilTheQueryChanges) {
    EditingCommands commands(state, ed.form, ed.messageBox);
    fake::FakePopupMenu menu;
    TreeEditing gestures(state, ed.form, ed.messageBox, menu);
    type("steel");
    click("A36");

    // Added: a titanium that the query does not find.
    commands.materialTypeText_GotFocus();
    ed.materialTypeText.setText("Titanium");
    ed.materialNameText.setText("Ti-6Al-4V");
    commands.onNewMaterial();
    ASSERT_EQ(state.library.LastMaterialIndex(), 6);
    EXPECT_EQ(shown(), "Steel(A36 S275) Titanium(Ti-6Al-4V)");

    // Pasted into copper: "Copy of A36" is no steel either.
    click("A36");
    commands.onCopyMaterial();
    ed.TreeView1.select("Copper    ");
    ed.form.TreeView1_NodeClick("Copper    ");
    commands.onPasteMaterial();
    EXPECT_EQ(shown(), "Steel(A36 S275) Copper(Copy of A36) Titanium(Ti-6Al-4V)");

    // Moved to aluminium by a drag: the tree is built again, and all three stay.
    ed.TreeView1.placeAt(10, 10, keyOf("S275"));
    ed.TreeView1.placeAt(10, 20, "Aluminium    ");
    ed.TreeView1.setNodeHidden("Aluminium    ", false); // the user drops on what they see
    gestures.TreeView1_MouseMove(LeftButton, 0, 10, 10);
    gestures.TreeView1_DragDrop(10, 20);
    EXPECT_EQ(trimBlanks(state.library.entry(7).Name), "S275");
    EXPECT_EQ(shown(), "Steel(A36) Aluminium(S275) Copper(Copy of A36) Titanium(Ti-6Al-4V)");
    EXPECT_EQ(ed.findStatus.caption(), "1 match");
    EXPECT_EQ(trimBlanks(ed.materialNameText.text()), "S275") << "the moved material on show";

    // Renamed while kept in view: it stays under its new name.
    ed.TreeView1.select(keyOf("Copy of A36"));
    ASSERT_TRUE(gestures.TreeView1_AfterLabelEdit("A36 copy"));
    click("A36");
    commands.DeleteSelected(); // rebuilds the tree and shows the material now numbered 0
    EXPECT_EQ(shown(), "Aluminium(6061 S275) Copper(A36 copy) Titanium(Ti-6Al-4V)");
    EXPECT_EQ(ed.findStatus.caption(), "No match");

    type("steel ");
    EXPECT_EQ(shown(), "Aluminium(6061)") << "a new query: only the selection stays";
}

} // namespace

} // namespace mb::test
