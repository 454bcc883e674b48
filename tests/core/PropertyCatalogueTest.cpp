#include "materials/PropertyCatalogue.h"
#include "materials/clsMaterial.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace mb {
namespace {

const PropertyCatalogue& cat() { return PropertyCatalogue::instance(); }

TEST(PropertyCatalogue, SlotsHaveTheirCodeAndDescriptionAndAreFoundByBothLookups) {
    struct {
        int slot;
        const char* code;
        const char* description;
    } const cases[] = {{4, "NUXY", "Poisson's ratio in XY dir."}, {14, "C (Cp)", "Specific Heat"},
                       {36, "MOONEY_F", "Sixth Material constant"}, {68, "TAUK8", "Time values"},
                       {89, "MC26", "Material Matrix (2:6)"},
                       {117, "REFTEMP", "Glassy transition temperature"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(cat().PropCode(c.slot), c.code);
        EXPECT_EQ(cat().PropDescription(c.slot), c.description);
        EXPECT_EQ(cat().FindExact(c.code), c.slot);
        EXPECT_EQ(cat().FindTolerant(c.code), c.slot);
        EXPECT_EQ(clsMaterial::GetNthProperty(c.slot), c.code);
    }
}

TEST(PropertyCatalogue, ListsNinetyThreeDistinctCodes) {
    std::set<std::string> codes;
    int filled = 0;
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (!cat().PropCode(slot).empty()) {
            ++filled;
            codes.insert(cat().PropCode(slot));
        }
    EXPECT_EQ(filled, 93);
    EXPECT_EQ(codes.size(), 93u);
}

TEST(PropertyCatalogue, TolerantLookupTrimsBlanksExactLookupDoesNotNeitherIgnoresCase) {
    EXPECT_EQ(cat().FindTolerant("  C (Cp)  "), Slot::SpecificHeat);
    EXPECT_EQ(cat().FindTolerant("EX        "), Slot::EX);
    EXPECT_EQ(cat().FindExact(" EX"), -1);
    EXPECT_EQ(cat().FindExact("EX        "), -1);
    for (const char* code : {"C", "ex", "NOSUCH"}) {
        EXPECT_EQ(cat().FindTolerant(code), -1) << code;
        EXPECT_EQ(cat().FindExact(code), -1) << code;
    }
}

TEST(PropertyCatalogue, EmptyCodeFindsTheFirstReservedSlot) {
    EXPECT_EQ(cat().FindTolerant("    "), Slot::FirstReserved);
    EXPECT_EQ(cat().FindExact(""), Slot::FirstReserved);
    EXPECT_EQ(Slot::FirstReserved, 69);
}

TEST(PropertyCatalogue, ReservedAndUnusedSlotsAndSlotsOutOfRangeAreEmpty) {
    for (int slot : {-1, 69, 76, 100, 116, 118, 119, 500}) {
        EXPECT_EQ(clsMaterial::GetNthProperty(slot), "") << slot;
        EXPECT_EQ(cat().PropCode(slot), "") << slot;
        EXPECT_EQ(cat().PropDescription(slot), "") << slot;
    }
}

TEST(MatrixGridCodes, FirstTenAreElevenWideTheRestTen) {
    const auto& codes = MatrixGridCodes();
    EXPECT_EQ(codes[0], "MC11       ");
    EXPECT_EQ(codes[9], "MC25       ");
    EXPECT_EQ(codes[10], "MC26      ");
    EXPECT_EQ(codes[20], "MC66      ");
    for (int i = 0; i < kMatrixEntryCount; ++i)
        EXPECT_EQ(codes[i].substr(0, 4), cat().PropCode(79 + i)) << i;
}

} // namespace
} // namespace mb
