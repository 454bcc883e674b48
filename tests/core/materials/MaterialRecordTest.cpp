#include "clsMaterial.h"

#include <gtest/gtest.h>

// What the record shows in each system is the grid's tests' concern.

namespace mb {
namespace {

TEST(MaterialRecord, PropertyIsPaddedToTenAndFindsItsSlotOnlyThroughPropIndex) {
    clsMaterial m;
    m.Property(" C ");
    EXPECT_EQ(m.Property(), "C (Cp)    ");
    m.Property("c");
    EXPECT_EQ(m.Property(), "c         ");
    m.Property("DENS");
    EXPECT_EQ(m.Index(), 0);
    m.PropIndex();
    EXPECT_EQ(m.Index(), Slot::DENS);
    m.Property("NOSUCH");
    m.PropIndex();
    m.value(7); // an unknown code stores nothing
    EXPECT_EQ(m.Index(), -1);
    EXPECT_EQ(m.value(), 0);
    for (int slot = 0; slot < kSlotCount; ++slot)
        EXPECT_FALSE(m.HasValue(slot)) << slot;
}

TEST(MaterialRecord, ChangeUnitsTakesAnEmptyRecordUnitForSIAndConvertsOnlyKnownSystems) {
    clsMaterial m;
    m.CopyProperty("EX", 6893.5773);
    m.CopyProperty("NUXY", 0.3);
    m.ChangeUnits("MKS", "IPS", true); // the record unit, "", wins over "MKS"
    EXPECT_DOUBLE_EQ(m.slotValue(Slot::EX), 1);
    EXPECT_EQ(m.slotValue(Slot::NUXY), 0.3);
    m.ChangeUnits("IPS", "mks", false); // no such system: only the record unit changes
    EXPECT_DOUBLE_EQ(m.slotValue(Slot::EX), 1);
    EXPECT_EQ(m.RecordUnit(), "mks");
}

} // namespace
} // namespace mb
