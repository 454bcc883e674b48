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
// A save makes room for the whole text from these lengths: one too short costs a copy of
// everything written so far, one too long holds memory for nothing.
TEST(MaterialRecord, FormattedSizeIsTheLengthOfTheBlockFormatWrites) {
    const struct {
        const char* what;
        std::string code, name, description;
        int values; // the first n visited slots
    } cases[] = {
        {"nothing at all", "", "", "", 0},
        {"made code, one value", "", "Steel", "", 1},
        {"code past 13", "ABCDEFGHIJKLMNOPQ", "Steel", "S235JR", 5},
        {"name padded past 30 by the reader", "S235", std::string(29, 'n') + "  ", "x", 10},
        {"name past 30", "S235", std::string(35, 'n'), std::string(50, 'd'), kVisitedSlots},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        clsMaterial m;
        m.MaterialNameCode(c.code);
        m.MaterialName(c.name);
        m.MaterialDescription(c.description);
        for (int slot = 0; slot < c.values; ++slot)
            m.setSlotValue(slot, -1.25e-3 * (slot + 1));
        std::string text = "before";
        m.format(text);
        EXPECT_EQ(m.formattedSize(), text.size() - 6);
    }
}

} // namespace mb
