#include "UnitConversion.h"

#include "PropertyCatalogue.h"

#include <gtest/gtest.h>

namespace mb {
namespace {

// Every unit label of the file is pinned by the every-code round-trip fixture.
const clsUnitConversion conv;

TEST(UnitConversion, OneInIpsGivesEachKindsExactFactors) {
    const std::tuple<int, double, double> cases[] = {{Slot::EX, 6893.5773, 0.07029492538226612},
                                                     {Slot::DENS, 27679.9, 0.0276799},
                                                     {10, 1.8, 1.8},
                                                     {14, 4186.0, 4186.0 / 4.184},
                                                     {19, 74767.752, 74767.752 / 418.4},
                                                     {36, 6893.5773, 6893.5773 / 98066.5}};
    for (const auto& [slot, toSI, toMKS] : cases) {
        EXPECT_EQ(conv.ChangeUnits("IPS", "SI", slot, 1), toSI) << slot;
        EXPECT_EQ(conv.ChangeUnits("IPS", "MKS", slot, 1), toMKS) << slot;
    }
    EXPECT_EQ(conv.ChangeUnits("SI", "IPS", Slot::EX, 1), 1 / 6893.5773);
    EXPECT_EQ(conv.ChangeUnits("MKS", "IPS", Slot::EX, 0.07029492538226612), 1.0);
    // One kilogram-force per square centimetre is 98066.5 pascal, whichever way round.
    EXPECT_DOUBLE_EQ(conv.ChangeUnits("SI", "MKS", Slot::EX, 98066.5), 1.0);
    EXPECT_DOUBLE_EQ(conv.ChangeUnits("MKS", "SI", 16, 1.0), 98066.5);
}

TEST(UnitConversion, FromSiGivesWhatChangeUnitsGivesForEverySlot) {
    // The writer converts every stored value with FromSI; the editor shows ChangeUnits.
    for (int slot = -1; slot <= kSlotCount; ++slot)
        for (const double si : {0.0, 1.0, -273.15, 2.1e11, 7850.0, 1.2e-5, -3.7e-300}) {
            double ips = 0, mks = 0;
            clsUnitConversion::FromSI(slot, si, ips, mks);
            EXPECT_EQ(ips, conv.ChangeUnits("SI", "IPS", slot, si)) << slot << " " << si;
            EXPECT_EQ(mks, conv.ChangeUnits("SI", "MKS", slot, si)) << slot << " " << si;
        }
}

TEST(UnitConversion, TemperatureHasOffsetsAndPlainSlotsOrUnknownSystemsNeverChange) {
    EXPECT_DOUBLE_EQ(conv.ChangeUnits("IPS", "SI", Slot::REFTEMP, 68), 293.15);
    EXPECT_DOUBLE_EQ(conv.ChangeUnits("SI", "MKS", Slot::REFTEMP, 293.15), 20);
    EXPECT_DOUBLE_EQ(conv.ChangeUnits("MKS", "IPS", Slot::REFTEMP, -40), -40);
    const std::tuple<const char*, const char*, int> same[] = {
        {"IPS", "SI", Slot::NUXY}, {"MKS", "IPS", Slot::FRCANG},
        {"SI", "MKS", 79},         {"IPS", "SI", 118},
        {"IPS", "SI", -1},         {"SI", "SI", Slot::EX},
        {"", "IPS", Slot::EX},     {"IPS", "mks", Slot::EX}};
    for (const auto& [from, to, slot] : same)
        EXPECT_EQ(conv.ChangeUnits(from, to, slot, 0.3), 0.3) << from << to << slot;
    EXPECT_EQ(UnitSystemCaption(2), "MKS(G)");
}

} // namespace
} // namespace mb
