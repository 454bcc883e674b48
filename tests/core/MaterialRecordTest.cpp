#include "materials/clsMaterial.h"

#include <gtest/gtest.h>

#include <string>

namespace mb {
namespace {

TEST(MaterialRecord, StartsEmpty) {
    clsMaterial m("IPS");
    EXPECT_EQ(m.MaterialName(), "");
    EXPECT_EQ(m.MaterialType(), "");
    EXPECT_EQ(m.Index(), 0);
    EXPECT_EQ(m.RecordUnit(), "IPS");
    for (int slot = 0; slot < kSlotCount; ++slot) EXPECT_FALSE(m.HasValue(slot)) << slot;
}

TEST(MaterialRecordProperty, IsTrimmedAndPaddedToTen) {
    clsMaterial m;
    m.Property("EX");
    EXPECT_EQ(m.Property(), "EX        ");
    m.Property("  NUXY  ");
    EXPECT_EQ(m.Property(), "NUXY      ");
    m.Property("ABCDEFGHIJ");
    EXPECT_EQ(m.Property(), "ABCDEFGHIJ");
    m.Property("");
    EXPECT_EQ(m.Property(), std::string(10, ' '));
}

TEST(MaterialRecordProperty, LoneCStandsForSpecificHeat) {
    clsMaterial m;
    m.Property(" C ");
    EXPECT_EQ(m.Property(), "C (Cp)    ");
    m.PropIndex();
    EXPECT_EQ(m.Index(), Slot::SpecificHeat);
    m.Property("c");
    m.PropIndex();
    EXPECT_EQ(m.Index(), -1);
}

TEST(MaterialRecordProperty, IndexChangesOnlyThroughPropIndex) {
    clsMaterial m;
    m.Property("DENS");
    EXPECT_EQ(m.Index(), 0);
    m.PropIndex();
    EXPECT_EQ(m.Index(), Slot::DENS);
    m.Property("NOSUCH");
    EXPECT_EQ(m.Index(), Slot::DENS);
    m.PropIndex();
    EXPECT_EQ(m.Index(), -1);
    m.Property("");
    m.PropIndex();
    EXPECT_EQ(m.Index(), Slot::FirstReserved);
}

TEST(MaterialRecordValue, StoresInTheCurrentSlotAndMarksIt) {
    clsMaterial m;
    m.Property("EX");
    m.value(2.1e11);
    EXPECT_TRUE(m.HasValue(Slot::EX));
    EXPECT_EQ(m.value(), 2.1e11);
    EXPECT_EQ(m.SlotValue(Slot::EX), 2.1e11);
    m.CopyProperty("C", 900);
    EXPECT_EQ(m.Index(), Slot::SpecificHeat);
    EXPECT_EQ(m.SlotValue(Slot::SpecificHeat), 900);
}

TEST(MaterialRecordValue, UnknownCodeReadsZeroAndStoresNothing) {
    clsMaterial m;
    m.Property("EX");
    m.value(5);
    m.Property("BOGUS");
    EXPECT_EQ(m.value(), 0);
    m.value(7);
    m.ClearValue();
    EXPECT_EQ(m.Index(), -1);
    EXPECT_EQ(m.PropValue("SI"), "");
    EXPECT_EQ(m.UnitsString(), std::string(16, ' '));
    for (int slot = 0; slot < kSlotCount; ++slot) EXPECT_EQ(m.HasValue(slot), slot == Slot::EX);
    EXPECT_EQ(m.SlotValue(Slot::EX), 5);
}

TEST(MaterialRecordValue, HasValueOutsideTheSlotsIsFalseAndIgnored) {
    clsMaterial m;
    m.HasValue(-1, true);
    m.HasValue(119, true);
    EXPECT_FALSE(m.HasValue(-1));
    EXPECT_FALSE(m.HasValue(119));
    m.HasValue(118, true);
    EXPECT_TRUE(m.HasValue(118));
}

TEST(MaterialRecordValue, ClearValueDropsTheMarkButKeepsTheNumber) {
    clsMaterial m;
    m.CopyProperty("GXY", 8e10);
    m.Property("GXY");
    m.ClearValue();
    EXPECT_FALSE(m.HasValue(7));
    EXPECT_EQ(m.SlotValue(7), 8e10);
    EXPECT_EQ(m.PropValue("SI"), "");
}

TEST(MaterialRecordValue, PropValueShowsTheValueInTheChosenSystem) {
    clsMaterial m;
    m.CopyProperty("EX", 6893.5773);
    m.Property("EX");
    EXPECT_EQ(m.PropValue("SI"), "6893577E-3 ");
    EXPECT_EQ(m.PropValue("IPS"), "1000000E-6 ");
    EXPECT_EQ(m.PropValue("MKS"), "702949E-7  ");
    EXPECT_EQ(m.PropValue(""), "6893577E-3 ");
    EXPECT_EQ(m.UnitsString(), "psi             ");
    // Showing converts nothing that is stored.
    EXPECT_EQ(m.SlotValue(Slot::EX), 6893.5773);
}

TEST(MaterialRecordBulk, ResetZeroesValuesAndKeepsMarks) {
    clsMaterial m;
    m.CopyProperty("EX", 1);
    m.CopyProperty("DENS", 2);
    m.reset();
    EXPECT_TRUE(m.HasValue(Slot::EX));
    EXPECT_TRUE(m.HasValue(Slot::DENS));
    EXPECT_EQ(m.SlotValue(Slot::EX), 0);
    EXPECT_EQ(m.SlotValue(Slot::DENS), 0);
}

TEST(MaterialRecordBulk, ClearAllDropsMarksButLeavesNumbersAndSlot118) {
    clsMaterial m;
    m.CopyProperty("EX", 1);
    m.CopyProperty("REFTEMP", 300);
    m.HasValue(118, true);
    m.ClearAll();
    EXPECT_FALSE(m.HasValue(Slot::EX));
    EXPECT_FALSE(m.HasValue(Slot::REFTEMP));
    EXPECT_TRUE(m.HasValue(118));
    EXPECT_EQ(m.SlotValue(Slot::EX), 1);
}

clsMaterial Source() {
    clsMaterial src;
    src.MaterialType("Steel    ");
    src.MaterialName("A36  ");
    src.MaterialNameCode("A36CODE");
    src.MaterialDescription("structural");
    src.CopyProperty("EX", 2e11);
    return src;
}

TEST(MaterialRecordCopy, CopyTakesTheFourTextsOnly) {
    clsMaterial dst;
    dst.CopyProperty("DENS", 7850);
    dst.Copy(Source());
    EXPECT_EQ(dst.MaterialType(), "Steel    ");
    EXPECT_EQ(dst.MaterialName(), "A36  ");
    EXPECT_EQ(dst.MaterialNameCode(), "A36CODE");
    EXPECT_EQ(dst.MaterialDescription(), "structural");
    EXPECT_FALSE(dst.HasValue(Slot::EX));
    EXPECT_TRUE(dst.HasValue(Slot::DENS));
}

TEST(MaterialRecordCopy, CopyAllPropertiesClearsWhatTheSourceLacks) {
    clsMaterial dst;
    dst.CopyProperty("DENS", 7850);
    dst.CopyProperty("EX", 1);
    dst.CopyAllProperties(Source());
    EXPECT_EQ(dst.MaterialName(), "A36  ");
    EXPECT_TRUE(dst.HasValue(Slot::EX));
    EXPECT_EQ(dst.SlotValue(Slot::EX), 2e11);
    EXPECT_FALSE(dst.HasValue(Slot::DENS));
}

TEST(MaterialRecordUnits, ChangeUnitsFromNoSystemChangesNoValue) {
    clsMaterial m;
    m.CopyProperty("EX", 100);
    m.ChangeUnits("", "MKS", false);
    EXPECT_EQ(m.SlotValue(Slot::EX), 100);
    EXPECT_EQ(m.RecordUnit(), "MKS");
}

TEST(MaterialRecordUnits, ChangeUnitsFromTheRecordUnitStartsAtSi) {
    clsMaterial m;
    m.CopyProperty("EX", 6893.5773);
    m.CopyProperty("NUXY", 0.3);
    m.ChangeUnits("MKS", "IPS", true);
    EXPECT_DOUBLE_EQ(m.SlotValue(Slot::EX), 1);
    EXPECT_EQ(m.SlotValue(Slot::NUXY), 0.3);
    EXPECT_EQ(m.RecordUnit(), "IPS");
    // Now the record unit is IPS: going back with it as source restores SI.
    m.ChangeUnits("", "SI", true);
    EXPECT_DOUBLE_EQ(m.SlotValue(Slot::EX), 6893.5773);
}

TEST(MaterialRecordUnits, UnknownTargetConvertsNothingButIsRemembered) {
    clsMaterial m("SI");
    m.CopyProperty("DENS", 1000);
    m.ChangeUnits("SI", "mks", false);
    EXPECT_EQ(m.SlotValue(Slot::DENS), 1000);
    EXPECT_EQ(m.RecordUnit(), "mks");
}

TEST(MaterialRecordUnits, GoToConvertsEveryHeldValueBySlot) {
    clsMaterial m;
    m.CopyProperty("EX", 1);
    m.CopyProperty("DENS", 1);
    m.CopyProperty("MU1", 1);
    m.GoToSI("IPS");
    EXPECT_EQ(m.SlotValue(Slot::EX), 6893.5773);
    EXPECT_EQ(m.SlotValue(Slot::DENS), 27679.9);
    EXPECT_EQ(m.SlotValue(27), 6893.5773);
    EXPECT_FALSE(m.HasValue(Slot::NUXY));
    m.GoToMKS("MKS"); // same system: nothing happens
    EXPECT_EQ(m.SlotValue(Slot::EX), 6893.5773);
    m.GoToIPS("bogus");
    EXPECT_EQ(m.SlotValue(Slot::EX), 6893.5773);
    m.GoToIPS("SI");
    EXPECT_DOUBLE_EQ(m.SlotValue(Slot::EX), 1);
    EXPECT_DOUBLE_EQ(m.SlotValue(Slot::DENS), 1);
}

} // namespace
} // namespace mb
