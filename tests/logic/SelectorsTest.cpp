// The unit-system and type selectors: what they show and that they change nothing stored.

#include "EditorFixture.h"

#include "materials/MaterialModel.h"

namespace mb::test {
namespace {

using Selectors = EditorTest;

std::vector<std::string> Captions(fake::FakeEditor& ed) {
    std::vector<std::string> out;
    for (auto& label : ed.unitStringsLabel) out.push_back(label.caption());
    return out;
}

TEST_F(Selectors, ListsAsAFreshLibraryHasThem) {
    ASSERT_EQ(ed.unitsCombo.count(), 3);
    EXPECT_EQ(ed.unitsCombo.itemText(0), "IPS");
    EXPECT_EQ(ed.unitsCombo.itemText(1), "SI");
    EXPECT_EQ(ed.unitsCombo.itemText(2), "MKS(G)");
    EXPECT_EQ(ed.unitsCombo.listIndex(), 0);
    ASSERT_EQ(ed.typeCombo.count(), 13);
    EXPECT_EQ(ed.typeCombo.itemText(0), "Linear Elastic Isotropic");
    EXPECT_EQ(ed.typeCombo.itemText(12), "Viscoelastic");
    EXPECT_EQ(ed.typeCombo.listIndex(), 0);
    ed.form.FillTypeList();
    EXPECT_EQ(ed.typeCombo.count(), 13);
}

TEST_F(Selectors, UnitSystemNamesTheChosenSystem) {
    EXPECT_EQ(ed.form.UnitSystem(), "IPS");
    ed.chooseUnits(1);
    EXPECT_EQ(ed.form.UnitSystem(), "SI");
    ed.chooseUnits(2);
    EXPECT_EQ(ed.form.UnitSystem(), "MKS");
    EXPECT_EQ(ed.unitsCombo.itemText(2), "MKS(G)");
    ed.unitsCombo.setListIndex(-1);
    EXPECT_EQ(ed.form.UnitSystem(), "");
}

TEST_F(Selectors, LabelsTakeTheUnitTextsOfTheChosenSystem) {
    ed.chooseUnits(1);
    const std::string pa = "N/m^2           ";
    EXPECT_EQ(Captions(ed), (std::vector<std::string>{pa, std::string(16, ' '), pa,
                                                       "/Kelvin         ", "Kg/m^3          ",
                                                       "W/m.K           ", "J/kg.K          ", pa,
                                                       pa, pa, pa, pa}));
    ed.chooseUnits(2);
    EXPECT_EQ(ed.unitStringsLabel[0].caption(), "Kgf/cm^2         ");
    EXPECT_EQ(ed.unitStringsLabel[10].caption(), "Kgf/cm^2         ");
    EXPECT_EQ(ed.unitStringsLabel[11].caption(), "Kgf/cm^2         ");
    EXPECT_EQ(ed.unitStringsLabel[3].caption(), "/Centigrade      ");
}

TEST_F(Selectors, NoChosenSystemKeepsTheLabels) {
    ed.chooseUnits(1);
    const auto before = Captions(ed);
    ed.chooseUnits(-1);
    EXPECT_EQ(Captions(ed), before);
}

TEST_F(Selectors, SwitchingSystemsChangesNoStoredValue) {
    show(2);
    ed.chooseType(12);
    std::vector<std::string> shownIps;
    for (int r = 1; r < ed.VSFlexGrid1.rows(); ++r) shownIps.push_back(ed.VSFlexGrid1.textMatrix(r, 2));
    clsMaterial before;
    before.CopyAllProperties(state.library.Material(2));

    ed.chooseUnits(1);
    EXPECT_EQ(valueOf("EX"), "2400000000");
    ed.chooseUnits(2);
    ed.chooseUnits(0);

    std::vector<std::string> shownAgain;
    for (int r = 1; r < ed.VSFlexGrid1.rows(); ++r) shownAgain.push_back(ed.VSFlexGrid1.textMatrix(r, 2));
    EXPECT_EQ(shownAgain, shownIps);
    clsMaterial& after = state.library.Material(2);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        EXPECT_EQ(after.HasValue(slot), before.HasValue(slot)) << slot;
        EXPECT_EQ(after.SlotValue(slot), before.SlotValue(slot)) << slot;
    }
}

TEST_F(Selectors, TypeWithoutARowHidesTheValueUntilSwitchedBack) {
    show(0);
    ed.chooseUnits(1);
    ed.chooseType(11); // Blatz Ko: EX and DENS only
    EXPECT_EQ(rowOf("NUXY"), -1);
    EXPECT_EQ(valueOf("DENS"), "7850");
    ed.chooseType(0);
    EXPECT_EQ(valueOf("NUXY"), "0.3");
}

TEST_F(Selectors, ChoosingATypeClosesAnOpenEditWithoutStoringIt) {
    ed.clickCell(rowOf("EX"), 2);
    ASSERT_TRUE(ed.VSFlexGrid1.isEditing());
    ed.chooseType(1);
    EXPECT_FALSE(ed.VSFlexGrid1.isEditing());
    EXPECT_EQ(*stored(0, "EX"), 2.1e11);
}

TEST_F(Selectors, EditInProgressIsStoredInTheSystemItWasTypedIn) {
    show(0);
    ed.clickCell(rowOf("EX"), 2);
    ed.VSFlexGrid1.typeIntoCurrentCell("1000"); // still the current cell
    ed.chooseUnits(1);
    EXPECT_NEAR(*stored(0, "EX"), 1000 * kPsi, 1e-6);
    EXPECT_EQ(valueOf("EX"), "6893577");
}

TEST_F(Selectors, DecimalSeparatorIsReadAfterTheRebuild) {
    show(0);
    ed.locale.separator = ",";
    ed.chooseUnits(1);
    EXPECT_EQ(state.doc.DecimalSeparator, ",");
    EXPECT_EQ(valueOf("NUXY"), "0.3");
    ed.form.ShowMaterialGrid();
    EXPECT_EQ(valueOf("NUXY"), "0,3");
    ed.locale.separator = "";
    ed.chooseUnits(0);
    EXPECT_EQ(state.doc.DecimalSeparator, "");
}

} // namespace
} // namespace mb::test
