#include "materials/clsMaterial.h"

#include <gtest/gtest.h>

#include <string>

namespace mb {
namespace {

int HeldCount(const clsMaterial& m) {
    int held = 0;
    for (int slot = 0; slot < kSlotCount; ++slot) held += m.HasValue(slot);
    return held;
}

TEST(MaterialRecordProperty, IsTrimmedAndPaddedToTenAndLoneCIsSpecificHeat) {
    const std::pair<const char*, const char*> cases[] = {
        {"EX", "EX        "}, {"  NUXY  ", "NUXY      "}, {"ABCDEFGHIJ", "ABCDEFGHIJ"},
        {"", "          "},   {" C ", "C (Cp)    "},     {"c", "c         "}};
    clsMaterial m;
    for (const auto& [code, normalised] : cases) {
        m.Property(code);
        EXPECT_EQ(m.Property(), normalised) << code;
    }
    m.Property(" C ");
    m.PropIndex();
    EXPECT_EQ(m.Index(), Slot::SpecificHeat);
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

TEST(MaterialRecordValue, StoresInTheCurrentSlotButNotForAnUnknownCode) {
    clsMaterial m("IPS");
    EXPECT_EQ(HeldCount(m), 0);
    EXPECT_EQ(m.RecordUnit(), "IPS");
    m.Property("EX");
    m.value(5);
    EXPECT_TRUE(m.HasValue(Slot::EX));
    EXPECT_EQ(m.value(), 5);
    m.Property("BOGUS");
    EXPECT_EQ(m.value(), 0);
    m.value(7);
    m.ClearValue();
    EXPECT_EQ(m.Index(), -1);
    EXPECT_EQ(m.PropValue("SI"), "");
    EXPECT_EQ(m.UnitsString(), std::string(16, ' '));
    EXPECT_EQ(HeldCount(m), 1);
    EXPECT_EQ(m.SlotValue(Slot::EX), 5);
    // Slots outside the record are never marked.
    m.HasValue(-1, true);
    m.HasValue(119, true);
    EXPECT_FALSE(m.HasValue(-1));
    EXPECT_FALSE(m.HasValue(119));
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
    // Showing converts nothing that is stored; clearing drops the mark but not the number.
    EXPECT_EQ(m.SlotValue(Slot::EX), 6893.5773);
    m.ClearValue();
    EXPECT_FALSE(m.HasValue(Slot::EX));
    EXPECT_EQ(m.PropValue("SI"), "");
    EXPECT_EQ(m.SlotValue(Slot::EX), 6893.5773);
}

TEST(MaterialRecordBulk, ResetZeroesValuesAndClearAllDropsMarks) {
    clsMaterial m;
    m.CopyProperty("EX", 1);
    m.CopyProperty("DENS", 2);
    m.HasValue(118, true);
    m.reset();
    EXPECT_TRUE(m.HasValue(Slot::EX));
    EXPECT_TRUE(m.HasValue(Slot::DENS));
    EXPECT_EQ(m.SlotValue(Slot::EX), 0);
    EXPECT_EQ(m.SlotValue(Slot::DENS), 0);
    m.CopyProperty("EX", 1);
    m.ClearAll();
    EXPECT_FALSE(m.HasValue(Slot::EX));
    EXPECT_FALSE(m.HasValue(Slot::DENS));
    EXPECT_TRUE(m.HasValue(118)); // no property lives there: left as it was
    EXPECT_EQ(m.SlotValue(Slot::EX), 1);
}

TEST(MaterialRecordCopy, CopyTakesTheTextsCopyAllPropertiesAlsoTheValues) {
    clsMaterial src;
    src.MaterialType("Steel    ");
    src.MaterialName("A36  ");
    src.MaterialNameCode("A36CODE");
    src.MaterialDescription("structural");
    src.CopyProperty("EX", 2e11);
    for (bool all : {false, true}) {
        SCOPED_TRACE(all);
        clsMaterial dst;
        dst.CopyProperty("DENS", 7850);
        all ? dst.CopyAllProperties(src) : dst.Copy(src);
        EXPECT_EQ(dst.MaterialType(), "Steel    ");
        EXPECT_EQ(dst.MaterialName(), "A36  ");
        EXPECT_EQ(dst.MaterialNameCode(), "A36CODE");
        EXPECT_EQ(dst.MaterialDescription(), "structural");
        EXPECT_EQ(dst.HasValue(Slot::EX), all);
        EXPECT_EQ(dst.SlotValue(Slot::EX), all ? 2e11 : 0);
        EXPECT_EQ(dst.HasValue(Slot::DENS), !all); // what the source lacks is cleared
    }
}

TEST(MaterialRecordUnits, ChangeUnitsPicksItsSourceAndRemembersTheTarget) {
    clsMaterial m;
    m.CopyProperty("EX", 6893.5773);
    m.CopyProperty("NUXY", 0.3);
    m.ChangeUnits("", "MKS", false); // from no system: nothing changes
    EXPECT_EQ(m.SlotValue(Slot::EX), 6893.5773);
    EXPECT_EQ(m.RecordUnit(), "MKS");
    m.ChangeUnits("SI", "mks", false); // to no system: nothing changes
    EXPECT_EQ(m.SlotValue(Slot::EX), 6893.5773);
    EXPECT_EQ(m.RecordUnit(), "mks");

    clsMaterial fresh;
    fresh.CopyProperty("EX", 6893.5773);
    fresh.CopyProperty("NUXY", 0.3);
    fresh.ChangeUnits("MKS", "IPS", true); // an empty record unit stands for SI
    EXPECT_DOUBLE_EQ(fresh.SlotValue(Slot::EX), 1);
    EXPECT_EQ(fresh.SlotValue(Slot::NUXY), 0.3);
    EXPECT_EQ(fresh.RecordUnit(), "IPS");
    fresh.ChangeUnits("", "SI", true);
    EXPECT_DOUBLE_EQ(fresh.SlotValue(Slot::EX), 6893.5773);
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
    m.GoToMKS("MKS"); // same system
    m.GoToIPS("bogus");
    EXPECT_EQ(m.SlotValue(Slot::EX), 6893.5773);
    m.GoToIPS("SI");
    EXPECT_DOUBLE_EQ(m.SlotValue(Slot::EX), 1);
    EXPECT_DOUBLE_EQ(m.SlotValue(Slot::DENS), 1);
}

} // namespace
} // namespace mb
