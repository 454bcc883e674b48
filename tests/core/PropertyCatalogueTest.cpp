#include "materials/PropertyCatalogue.h"
#include "materials/clsMaterial.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace mb {
namespace {

const PropertyCatalogue& cat() { return PropertyCatalogue::instance(); }

struct SlotCase {
    int slot;
    const char* code;
    const char* description;
};

class CatalogueSlot : public ::testing::TestWithParam<SlotCase> {};

TEST_P(CatalogueSlot, HasCodeAndDescriptionAndIsFoundByBothLookups) {
    const SlotCase& c = GetParam();
    EXPECT_EQ(cat().PropCode(c.slot), c.code);
    EXPECT_EQ(cat().PropDescription(c.slot), c.description);
    EXPECT_EQ(cat().FindExact(c.code), c.slot);
    EXPECT_EQ(cat().FindTolerant(c.code), c.slot);
    EXPECT_EQ(clsMaterial::GetNthProperty(c.slot), c.code);
}

INSTANTIATE_TEST_SUITE_P(
    Slots, CatalogueSlot,
    ::testing::Values(SlotCase{0, "EX", "Elasticity modulus (1st dir)"},
                      SlotCase{4, "NUXY", "Poisson's ratio in XY dir."},
                      SlotCase{13, "DENS", "Mass Density"},
                      SlotCase{14, "C (Cp)", "Specific Heat"},
                      SlotCase{22, "FRCANG", "Friction angle"},
                      SlotCase{23, "ALPH1", "First Power Coeff."},
                      SlotCase{30, "MU4", "Fourth constant"},
                      SlotCase{31, "MOONEY_A", "First Material constant"},
                      SlotCase{36, "MOONEY_F", "Sixth Material constant"},
                      SlotCase{37, "G1", "Shear Relaxation modulus"},
                      SlotCase{52, "K8", "Bulk Relaxation"},
                      SlotCase{53, "TAUG1", "Time values (Shear Relaxation modulus)"},
                      SlotCase{68, "TAUK8", "Time values"},
                      SlotCase{77, "VC1", "First constant for Williams-Landel-Ferry eq."},
                      SlotCase{78, "VC2", "Second constant for Williams-Landel-Ferry eq."},
                      SlotCase{79, "MC11", "Material Matrix (1:1)"},
                      SlotCase{85, "MC22", "Material Matrix (2:2)"},
                      SlotCase{89, "MC26", "Material Matrix (2:6)"},
                      SlotCase{99, "MC66", "Material Matrix (6:6)"},
                      SlotCase{117, "REFTEMP", "Glassy transition temperature"}));

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

TEST(PropertyCatalogue, TolerantLookupTrimsBlanksButKeepsCase) {
    EXPECT_EQ(cat().FindTolerant("  C (Cp)  "), Slot::SpecificHeat);
    EXPECT_EQ(cat().FindTolerant("EX        "), Slot::EX);
    EXPECT_EQ(cat().FindTolerant("C"), -1);
    EXPECT_EQ(cat().FindTolerant("ex"), -1);
    EXPECT_EQ(cat().FindTolerant("NOSUCH"), -1);
}

TEST(PropertyCatalogue, ExactLookupComparesTextAsItStands) {
    EXPECT_EQ(cat().FindExact("C (Cp)"), Slot::SpecificHeat);
    EXPECT_EQ(cat().FindExact(" EX"), -1);
    EXPECT_EQ(cat().FindExact("EX        "), -1);
    EXPECT_EQ(cat().FindExact("ex"), -1);
}

TEST(PropertyCatalogue, EmptyCodeFindsTheFirstReservedSlot) {
    EXPECT_EQ(cat().FindTolerant(""), Slot::FirstReserved);
    EXPECT_EQ(cat().FindTolerant("    "), Slot::FirstReserved);
    EXPECT_EQ(cat().FindExact(""), Slot::FirstReserved);
}

TEST(PropertyCatalogue, ReservedAndUnusedSlotsAreEmpty) {
    for (int slot : {69, 72, 76, 100, 101, 110, 116, 118}) {
        EXPECT_EQ(clsMaterial::GetNthProperty(slot), "") << slot;
        EXPECT_EQ(cat().PropDescription(slot), "") << slot;
    }
    EXPECT_EQ(clsMaterial::GetNthProperty(119), "");
    EXPECT_EQ(clsMaterial::GetNthProperty(-1), "");
    EXPECT_EQ(cat().PropCode(500), "");
}

TEST(PropertyCatalogue, QuantityKindsDecideUnits) {
    EXPECT_EQ(cat().Kind(3), QuantityKind::Stress);
    EXPECT_EQ(cat().Kind(27), QuantityKind::Stress);   // MU1
    EXPECT_EQ(cat().Kind(36), QuantityKind::Stress);   // MOONEY_F
    EXPECT_EQ(cat().Kind(37), QuantityKind::Plain);    // G1
    EXPECT_EQ(cat().Kind(12), QuantityKind::ThermalExpansion);
    EXPECT_EQ(cat().Kind(14), QuantityKind::SpecificHeat);
    EXPECT_EQ(cat().Kind(21), QuantityKind::Conductivity);
    EXPECT_EQ(cat().Kind(22), QuantityKind::Angle);
    EXPECT_EQ(cat().Kind(117), QuantityKind::Temperature);
    EXPECT_EQ(cat().Kind(99), QuantityKind::Plain);
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
