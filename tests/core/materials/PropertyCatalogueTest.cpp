#include "PropertyCatalogue.h"

#include "MaterialModel.h"
#include "TextUtil.h"
#include "clsMaterial.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mb {
namespace {

const PropertyCatalogue& cat() {
    return PropertyCatalogue::instance();
}

// Every code stands in the every-code round-trip fixture; these are the lookups and texts.
TEST(PropertyCatalogue, CodesAreFoundExactlyOrWithBlanksTrimmedButNeverIgnoringCase) {
    EXPECT_EQ(cat().PropDescription(14) + "/" + cat().PropDescription(89),
              "Specific Heat/Material Matrix (2:6)");
    EXPECT_EQ(cat().FindExact("REFTEMP"), 117);
    EXPECT_EQ(cat().FindTolerant("  C (Cp)  "), Slot::SpecificHeat);
    EXPECT_EQ(cat().FindExact("EX        "), -1);
    EXPECT_EQ(cat().FindTolerant("C"), -1);
    EXPECT_EQ(cat().FindTolerant("ex"), -1);
    EXPECT_EQ(cat().FindTolerant("    "), 69); // the first reserved slot
    EXPECT_EQ(clsMaterial::GetNthProperty(69) + clsMaterial::GetNthProperty(119) +
                  clsMaterial::GetNthProperty(-1),
              "");
    EXPECT_EQ(MatrixGridCodes()[9] + "|" + MatrixGridCodes()[10], "MC25       |MC26      ");
}

// The hint only saves the lookup: a code shared by several slots (the reserved ones) must
// still find the first, whatever slot the hint names.
TEST(PropertyCatalogue, AHintedLookupFindsWhatThePlainLookupFinds) {
    std::vector<std::string> codes = {"C (Cp)", " EX ", "ex", "NOSUCH", "C"};
    for (int slot = 0; slot < kSlotCount; ++slot)
        codes.push_back(cat().PropCode(slot));
    for (const std::string& code : codes)
        for (int likely = -2; likely <= kSlotCount + 1; ++likely)
            ASSERT_EQ(cat().FindTolerant(code, likely), cat().FindTolerant(code))
                << code << " " << likely;
}

// A few types' rows as the grid lays them out; the round-trip fixtures exercise the rest.
TEST(MaterialModel, EachTypeShowsItsCodesInOrderAndRowsBeyondThemMapToNothing) {
    const auto codes = [](int type) {
        std::string joined;
        for (const GridRow& row : GridLayout(type))
            joined += std::string(TrimBlanks(row.code)) + " ";
        return joined;
    };
    EXPECT_EQ(codes(3), "NUXY ALPX DENS ");
    EXPECT_EQ(codes(8), "EX NUXY COHESN FRCANG DENS ");
    EXPECT_EQ(codes(9), "NUXY MOONEY_A MOONEY_B MOONEY_C MOONEY_D MOONEY_E MOONEY_F DENS ");
    EXPECT_EQ(codes(-1), codes(4)) << "a type outside the selector has the plasticity rows";
    EXPECT_EQ(GridLayout(12).size(), 39u);
    EXPECT_EQ(*MapRowCode(12, 36), "REFTEMP");
    EXPECT_EQ(MaterialTypeNames()[4], "von Mises Plasticity (kinematic)");
    // Any row of the anisotropic type from 22 on is taken as density.
    EXPECT_EQ(*MapRowCode(2, 1000), "DENS");
    for (const auto& [type, row] : {std::pair{0, 0}, {0, 11}, {2, -1}, {12, 40}, {13, 1}})
        EXPECT_EQ(MapRowCode(type, row), nullptr) << type << " " << row;
}

} // namespace
} // namespace mb
