#include "materials/UnitConversion.h"

#include "materials/PropertyCatalogue.h"
#include "materials/TextUtil.h"

#include <gtest/gtest.h>

#include <string>

namespace mb {
namespace {

const clsUnitConversion conv;

TEST(UnitSystem, NamesAndCaptionsByIndex) {
    EXPECT_EQ(UnitSystemName(0), "IPS");
    EXPECT_EQ(UnitSystemName(1), "SI");
    EXPECT_EQ(UnitSystemName(2), "MKS");
    EXPECT_EQ(UnitSystemName(-1), "");
    EXPECT_EQ(UnitSystemName(3), "");
    EXPECT_EQ(UnitSystemCaption(2), "MKS(G)");
    EXPECT_EQ(UnitSystemCaption(0), "IPS");
}

TEST(UnitConversion, StressFactorsAreExact) {
    EXPECT_EQ(conv.ChangeUnits("IPS", "SI", Slot::EX, 1), 6893.5773);
    EXPECT_EQ(conv.ChangeUnits("IPS", "MKS", Slot::EX, 1), 0.07029492538226612);
    EXPECT_EQ(conv.ChangeUnits("SI", "IPS", Slot::EX, 1), 1 / 6893.5773);
    EXPECT_EQ(conv.ChangeUnits("MKS", "IPS", Slot::EX, 0.07029492538226612), 1.0);
    // One kilogram-force per square centimetre is 98066.5 pascal, whichever way round.
    EXPECT_DOUBLE_EQ(conv.ChangeUnits("SI", "MKS", Slot::EX, 98066.5), 1.0);
    EXPECT_DOUBLE_EQ(conv.ChangeUnits("MKS", "SI", 16, 1.0), 98066.5);
}

struct FactorCase {
    int slot;
    double toSI;
    double toMKS;
};

class SlotFactors : public ::testing::TestWithParam<FactorCase> {};

TEST_P(SlotFactors, OneInIpsGivesTheFactors) {
    const FactorCase& c = GetParam();
    EXPECT_EQ(conv.ChangeUnits("IPS", "SI", c.slot, 1), c.toSI);
    EXPECT_EQ(conv.ChangeUnits("IPS", "MKS", c.slot, 1), c.toMKS);
    EXPECT_EQ(clsUnitConversion::ToSI(c.slot), c.toSI);
    EXPECT_EQ(clsUnitConversion::ToMKS(c.slot), c.toMKS);
}

INSTANTIATE_TEST_SUITE_P(Kinds, SlotFactors,
                         ::testing::Values(FactorCase{13, 27679.9, 0.0276799},
                                           FactorCase{10, 1.8, 1.8}, FactorCase{12, 1.8, 1.8},
                                           FactorCase{14, 4186.0, 4186.0 / 4.184},
                                           FactorCase{19, 74767.752, 74767.752 / 418.4},
                                           FactorCase{27, 6893.5773, 6893.5773 / 98066.5},
                                           FactorCase{36, 6893.5773, 6893.5773 / 98066.5},
                                           FactorCase{4, 1, 1}, FactorCase{22, 1, 1},
                                           FactorCase{37, 1, 1}, FactorCase{79, 1, 1}));

TEST(UnitConversion, ThermalExpansionSiToMksIsUnchanged) {
    EXPECT_EQ(conv.ChangeUnits("SI", "MKS", 10, 1.8), 1.8);
}

TEST(UnitConversion, PlainSlotsNeverChange) {
    for (int slot : {Slot::NUXY, Slot::FRCANG, 37, 79, 116})
        for (const char* from : {"IPS", "SI", "MKS"})
            for (const char* to : {"IPS", "SI", "MKS"})
                EXPECT_EQ(conv.ChangeUnits(from, to, slot, 0.3), 0.3) << slot << from << to;
}

TEST(UnitConversion, NoSystemOrNoSlotConvertsNothing) {
    EXPECT_EQ(conv.ChangeUnits("SI", "SI", Slot::EX, 5), 5);
    EXPECT_EQ(conv.ChangeUnits("", "IPS", Slot::EX, 5), 5);
    EXPECT_EQ(conv.ChangeUnits("IPS", "", Slot::EX, 5), 5);
    EXPECT_EQ(conv.ChangeUnits("IPS", "mks", Slot::EX, 5), 5);
    EXPECT_EQ(conv.ChangeUnits("ips", "SI", Slot::EX, 5), 5);
    for (const char* from : {"IPS", "SI", "MKS"})
        for (const char* to : {"IPS", "SI", "MKS"})
            EXPECT_EQ(conv.ChangeUnits(from, to, -1, 5), 5) << from << to;
    EXPECT_EQ(conv.ChangeUnits("IPS", "SI", 118, 5), 5);
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

TEST(UnitLabels, RecordLabelsArePaddedToTheirWidths) {
    EXPECT_EQ(UnitsIPS(0), "psi             ");
    EXPECT_EQ(UnitsSI(0), "N/m^2           ");
    EXPECT_EQ(UnitsMKS(0), "Kgf/cm^2         ");
    EXPECT_EQ(UnitsSI(13), "Kgm/m^3         ");
    EXPECT_EQ(UnitsMKS(13), "kg/cm^3          ");
    EXPECT_EQ(UnitsIPS(14), "BTU/(lb.F)      ");
    EXPECT_EQ(UnitsMKS(19), "Cal/(cm.s.C)     ");
    EXPECT_EQ(UnitsIPS(117), "Fahrenheit      ");
    EXPECT_EQ(UnitsMKS(117), "Centigrade       ");
}

TEST(UnitLabels, AngleAndBlankMksLabelsAreSixteenWide) {
    EXPECT_EQ(UnitsMKS(Slot::FRCANG), "Degrees         ");
    EXPECT_EQ(UnitsIPS(Slot::FRCANG), "Degrees         ");
    for (int slot : {4, 6, 23, 37, 69, 99}) {
        EXPECT_EQ(UnitsIPS(slot), std::string(16, ' ')) << slot;
        EXPECT_EQ(UnitsSI(slot), std::string(16, ' ')) << slot;
        EXPECT_EQ(UnitsMKS(slot), std::string(16, ' ')) << slot;
    }
}

TEST(UnitLabels, EveryOtherLabelHasItsWidth) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if ((slot >= 100 && slot <= 116) || slot == 118) {
            EXPECT_EQ(UnitsIPS(slot), "") << slot;
            EXPECT_EQ(UnitsSI(slot), "") << slot;
            EXPECT_EQ(UnitsMKS(slot), "") << slot;
            continue;
        }
        EXPECT_EQ(UnitsIPS(slot).size(), 16u) << slot;
        EXPECT_EQ(UnitsSI(slot).size(), 16u) << slot;
        const bool narrow = slot == Slot::FRCANG || UnitsMKS(slot) == std::string(16, ' ');
        EXPECT_EQ(UnitsMKS(slot).size(), narrow ? 16u : 17u) << slot;
        // The reader relies on columns 68 to 70 being blank.
        EXPECT_LE(TrimRightBlanks(UnitsMKS(slot)).size(), 14u) << slot;
    }
}

TEST(UnitTexts, EditorTablesDifferFromRecordLabels) {
    const auto& ips = UnitTexts(0);
    const auto& si = UnitTexts(1);
    const auto& mks = UnitTexts(2);
    EXPECT_EQ(ips[5], "BTU/in.s.F      ");
    EXPECT_EQ(si[4], "Kg/m^3          ");
    EXPECT_EQ(si[6], "J/kg.K          ");
    EXPECT_EQ(mks[6], "Cal/kg.C         ");
    EXPECT_EQ(ips[1], std::string(16, ' '));
    EXPECT_EQ(si[1], std::string(16, ' '));
    EXPECT_EQ(mks[1], std::string(17, ' '));
    for (const auto* t : {&ips, &si, &mks}) {
        EXPECT_EQ((*t)[10], (*t)[0]);
        EXPECT_EQ((*t)[11], (*t)[0]);
        EXPECT_EQ((*t)[9], (*t)[0]);
    }
    EXPECT_EQ(mks[0], "Kgf/cm^2         ");
    EXPECT_EQ(mks[3], "/Centigrade      ");
    EXPECT_EQ(UnitTexts(3)[0], "");
}

} // namespace
} // namespace mb
