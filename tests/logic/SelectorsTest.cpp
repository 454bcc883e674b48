// The unit-system and type selectors: what they show and that they change nothing stored.

#include "EditorFixture.h"

#include "materials/MaterialModel.h"

namespace mb::test {
namespace {

using Selectors = EditorTest;

std::vector<std::string> Captions(fake::FakeEditor& ed) {
    std::vector<std::string> out;
    for (auto& label : ed.unitStringsLabel)
        out.push_back(label.caption());
    return out;
}

TEST_F(Selectors, UnitSystemNamesTheChosenSystem) {
    for (const auto& [index, name] :
         std::vector<std::pair<int, std::string>>{{0, "IPS"}, {1, "SI"}, {2, "MKS"}, {-1, ""}}) {
        ed.chooseUnits(index);
        EXPECT_EQ(ed.form.UnitSystem(), name) << index;
    }
}

TEST_F(Selectors, LabelsTakeTheUnitTextsOfTheChosenSystemAndNoSystemKeepsThem) {
    ed.chooseUnits(1);
    const std::string pa = "N/m^2           ";
    const std::vector<std::string> si{pa,
                                      std::string(16, ' '),
                                      pa,
                                      "/Kelvin         ",
                                      "Kg/m^3          ",
                                      "W/m.K           ",
                                      "J/kg.K          ",
                                      pa,
                                      pa,
                                      pa,
                                      pa,
                                      pa};
    EXPECT_EQ(Captions(ed), si);
    ed.chooseUnits(-1);
    EXPECT_EQ(Captions(ed), si);
    ed.chooseUnits(2);
    const std::vector<std::string> mks = Captions(ed);
    for (int i : {0, 10, 11})
        EXPECT_EQ(mks[i], "Kgf/cm^2         ") << i;
    EXPECT_EQ(mks[3], "/Centigrade      ");
}

TEST_F(Selectors, SwitchingSystemsChangesNoStoredValue) {
    show(2);
    ed.chooseType(12);
    const std::vector<std::string> shownIps = column(2);
    clsMaterial before;
    before.CopyAllProperties(state.library.Material(2));
    ed.chooseUnits(1);
    EXPECT_EQ(valueOf("EX"), "2400000000");
    ed.chooseUnits(2);
    ed.chooseUnits(0);
    EXPECT_EQ(column(2), shownIps);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        EXPECT_EQ(state.library.Material(2).HasValue(slot), before.HasValue(slot)) << slot;
        EXPECT_EQ(state.library.Material(2).SlotValue(slot), before.SlotValue(slot)) << slot;
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
