#include "materials/UnitConversion.h"

#include "materials/PropertyCatalogue.h"
#include "materials/TextUtil.h"

#include <gtest/gtest.h>

#include <string>

namespace mb {
namespace {

const clsUnitConversion conv;
const char* const kSystems[] = {"IPS", "SI", "MKS"};

TEST(UnitSystem, NamesAndCaptionsByIndex) {
    EXPECT_EQ(UnitSystemName(0), "IPS");
    EXPECT_EQ(UnitSystemName(1), "SI");
    EXPECT_EQ(UnitSystemName(2), "MKS");
    EXPECT_EQ(UnitSystemName(3), "");
    EXPECT_EQ(UnitSystemCaption(2), "MKS(G)");
}

TEST(UnitConversion, StressFactorsAreExactInEveryDirection) {
    EXPECT_EQ(conv.ChangeUnits("IPS", "SI", Slot::EX, 1), 6893.5773);
    EXPECT_EQ(conv.ChangeUnits("IPS", "MKS", Slot::EX, 1), 0.07029492538226612);
    EXPECT_EQ(conv.ChangeUnits("SI", "IPS", Slot::EX, 1), 1 / 6893.5773);
    EXPECT_EQ(conv.ChangeUnits("MKS", "IPS", Slot::EX, 0.07029492538226612), 1.0);
    // One kilogram-force per square centimetre is 98066.5 pascal, whichever way round.
    EXPECT_DOUBLE_EQ(conv.ChangeUnits("SI", "MKS", Slot::EX, 98066.5), 1.0);
    EXPECT_DOUBLE_EQ(conv.ChangeUnits("MKS", "SI", 16, 1.0), 98066.5);
}

TEST(UnitConversion, OneInIpsGivesEachKindsFactors) {
    struct {
        int slot;
        double toSI, toMKS;
    } const cases[] = {{3, 6893.5773, 6893.5773 / 98066.5},  {13, 27679.9, 0.0276799},
                       {10, 1.8, 1.8},                        {12, 1.8, 1.8},
                       {14, 4186.0, 4186.0 / 4.184},          {19, 74767.752, 74767.752 / 418.4},
                       {27, 6893.5773, 6893.5773 / 98066.5}, {36, 6893.5773, 6893.5773 / 98066.5},
                       {37, 1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.slot);
        EXPECT_EQ(conv.ChangeUnits("IPS", "SI", c.slot, 1), c.toSI);
        EXPECT_EQ(conv.ChangeUnits("IPS", "MKS", c.slot, 1), c.toMKS);
    }
    EXPECT_EQ(conv.ChangeUnits("SI", "MKS", 10, 1.8), 1.8);
}

TEST(UnitConversion, PlainSlotsNeverChange) {
    for (int slot : {Slot::NUXY, Slot::FRCANG, 37, 79, 116})
        for (const char* from : kSystems)
            for (const char* to : kSystems)
                EXPECT_EQ(conv.ChangeUnits(from, to, slot, 0.3), 0.3) << slot << from << to;
}

TEST(UnitConversion, NoSystemOrNoSlotConvertsNothing) {
    EXPECT_EQ(conv.ChangeUnits("SI", "SI", Slot::EX, 5), 5);
    EXPECT_EQ(conv.ChangeUnits("", "IPS", Slot::EX, 5), 5);
    EXPECT_EQ(conv.ChangeUnits("IPS", "", Slot::EX, 5), 5);
    EXPECT_EQ(conv.ChangeUnits("IPS", "mks", Slot::EX, 5), 5);
    EXPECT_EQ(conv.ChangeUnits("ips", "SI", Slot::EX, 5), 5);
    EXPECT_EQ(conv.ChangeUnits("IPS", "SI", 118, 5), 5);
    for (const char* from : kSystems)
        for (const char* to : kSystems) EXPECT_EQ(conv.ChangeUnits(from, to, -1, 5), 5) << from << to;
}

TEST(UnitConversion, ReferenceTemperatureConvertsWithOffsets) {
    const int t = Slot::REFTEMP;
    EXPECT_DOUBLE_EQ(conv.ChangeUnits("IPS", "SI", t, 68), 293.15);
    EXPECT_DOUBLE_EQ(conv.ChangeUnits("IPS", "MKS", t, 68), 20);
    EXPECT_DOUBLE_EQ(conv.ChangeUnits("SI", "IPS", t, 293.15), 68);
    EXPECT_DOUBLE_EQ(conv.ChangeUnits("SI", "MKS", t, 293.15), 20);
    EXPECT_DOUBLE_EQ(conv.ChangeUnits("MKS", "SI", t, 20), 293.15);
    EXPECT_DOUBLE_EQ(conv.ChangeUnits("MKS", "IPS", t, -40), -40);
    EXPECT_EQ(conv.ChangeUnits("SI", "SI", t, 300), 300);
}

TEST(UnitLabels, RepresentativeLabelsArePaddedToTheirWidths) {
    EXPECT_EQ(UnitsIPS(0) + UnitsSI(0) + UnitsMKS(0), "psi             N/m^2           Kgf/cm^2         ");
    EXPECT_EQ(UnitsSI(13), "Kgm/m^3         ");
    EXPECT_EQ(UnitsMKS(13), "kg/cm^3          ");
    EXPECT_EQ(UnitsMKS(19), "Cal/(cm.s.C)     ");
    EXPECT_EQ(UnitsMKS(117), "Centigrade       ");
    // The angle's MKS label is the one printed label stored only sixteen wide.
    EXPECT_EQ(UnitsMKS(Slot::FRCANG), "Degrees         ");
    EXPECT_EQ(UnitsMKS(Slot::NUXY), std::string(16, ' '));
}

TEST(UnitLabels, EveryLabelHasItsWidthAndLeavesTheReadersColumnsBlank) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        SCOPED_TRACE(slot);
        if ((slot >= 100 && slot <= 116) || slot == 118) {
            EXPECT_EQ(UnitsIPS(slot) + UnitsSI(slot) + UnitsMKS(slot), "");
            continue;
        }
        EXPECT_EQ(UnitsIPS(slot).size(), 16u);
        EXPECT_EQ(UnitsSI(slot).size(), 16u);
        const bool blank = UnitsMKS(slot) == std::string(16, ' ');
        EXPECT_EQ(blank, UnitsIPS(slot) == std::string(16, ' '));
        EXPECT_EQ(UnitsMKS(slot).size(), blank || slot == Slot::FRCANG ? 16u : 17u);
        // The reader relies on columns 68 to 70 being blank.
        EXPECT_LE(TrimRightBlanks(UnitsMKS(slot)).size(), 14u);
    }
}

TEST(UnitTexts, EditorTablesDifferFromRecordLabels) {
    const auto& ips = UnitTexts(0);
    const auto& si = UnitTexts(1);
    const auto& mks = UnitTexts(2);
    EXPECT_EQ(ips[5], "BTU/in.s.F      ");
    EXPECT_EQ(si[4], "Kg/m^3          ");
    EXPECT_EQ(mks[0], "Kgf/cm^2         ");
    EXPECT_EQ(mks[6], "Cal/kg.C         ");
    EXPECT_EQ(ips[1], std::string(16, ' '));
    EXPECT_EQ(mks[1], std::string(17, ' '));
    for (const auto* t : {&ips, &si, &mks})
        for (int i : {9, 10, 11}) EXPECT_EQ((*t)[i], (*t)[0]) << i;
    EXPECT_EQ(UnitTexts(3)[0], "");
}

} // namespace
} // namespace mb
