#include "materials/MaterialModel.h"
#include "materials/PropertyCatalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mb {
namespace {

std::vector<std::string> Codes(int type) {
    std::vector<std::string> out;
    for (const GridRow& r : GridLayout(type)) out.push_back(r.code);
    return out;
}

std::vector<std::string> Numbered(const std::string& prefix, int count) {
    std::vector<std::string> out;
    for (int i = 1; i <= count; ++i) out.push_back(prefix + std::to_string(i));
    return out;
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST(MaterialModel, ThirteenTypeNamesInSelectorOrder) {
    const auto& names = MaterialTypeNames();
    EXPECT_EQ(names[0], "Linear Elastic Isotropic");
    EXPECT_EQ(names[2], "Linear Elastic Anisotropic");
    EXPECT_EQ(names[4], "von Mises Plasticity (kinematic)");
    EXPECT_EQ(names[7], "Tresca Plasticity (isotropic)");
    EXPECT_EQ(names[11], "Blatz Ko HyperElastic");
    EXPECT_EQ(names[12], "Viscoelastic");
}

struct LayoutCase {
    int type;
    std::vector<std::string> codes;
};

class TypeLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(TypeLayout, RowsAreTheTypesCodesInOrder) {
    const LayoutCase& c = GetParam();
    EXPECT_EQ(Codes(c.type), c.codes);
    const auto& rows = GridLayout(c.type);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].slot, PropertyCatalogue::instance().FindExact(rows[i].code)) << i;
        EXPECT_NE(rows[i].slot, -1) << rows[i].code;
        // Every listed row maps back to the code it shows.
        const std::string* mapped = MapRowCode(c.type, static_cast<int>(i) + 1);
        ASSERT_NE(mapped, nullptr);
        EXPECT_EQ(*mapped, rows[i].code);
    }
}

const std::vector<std::string> kPlasticity = {"EX", "NUXY", "SIGYLD", "ETAN", "ALPX", "DENS"};
const std::vector<std::string> kMatrix = {"MC11", "MC12", "MC13", "MC14", "MC15", "MC16", "MC22",
                                          "MC23", "MC24", "MC25", "MC26", "MC33", "MC34", "MC35",
                                          "MC36", "MC44", "MC45", "MC46", "MC55", "MC56", "MC66"};

INSTANTIATE_TEST_SUITE_P(
    Types, TypeLayout,
    ::testing::Values(
        LayoutCase{0, {"EX", "NUXY", "GXY", "DENS", "SIGXT", "SIGXC", "SIGYLD", "ALPX", "KX",
                       "C (Cp)"}},
        LayoutCase{1, {"EX", "EY", "EZ", "NUXY", "NUYZ", "NUXZ", "GXY", "GYZ", "GXZ", "DENS",
                       "SIGXT", "SIGXC", "SIGYLD", "ALPX", "ALPY", "ALPZ", "KX", "KY", "KZ",
                       "C (Cp)"}},
        LayoutCase{2, Join({kMatrix, {"DENS"}})}, LayoutCase{3, {"NUXY", "ALPX", "DENS"}},
        LayoutCase{4, kPlasticity}, LayoutCase{5, kPlasticity}, LayoutCase{6, kPlasticity},
        LayoutCase{7, kPlasticity}, LayoutCase{8, {"EX", "NUXY", "COHESN", "FRCANG", "DENS"}},
        LayoutCase{9, {"NUXY", "MOONEY_A", "MOONEY_B", "MOONEY_C", "MOONEY_D", "MOONEY_E",
                       "MOONEY_F", "DENS"}},
        LayoutCase{10, Join({{"NUXY"}, Numbered("ALPH", 4), Numbered("MU", 4), {"DENS"}})},
        LayoutCase{11, {"EX", "DENS"}},
        LayoutCase{12, Join({{"EX", "NUXY", "GXY"}, Numbered("G", 8), Numbered("TAUG", 8),
                             Numbered("K", 8), Numbered("TAUK", 8), {"REFTEMP", "VC1", "VC2"},
                             {"DENS"}})}));

TEST(MaterialModel, RowCountsPerType) {
    const std::vector<std::size_t> expected = {10, 20, 22, 3, 6, 6, 6, 6, 5, 8, 10, 2, 39};
    for (int type = 0; type < kMaterialTypeCount; ++type)
        EXPECT_EQ(GridLayout(type).size(), expected[static_cast<std::size_t>(type)]) << type;
}

TEST(MaterialModel, AnyTypeOutsideTheSelectorShowsThePlasticityRows) {
    EXPECT_EQ(Codes(-1), kPlasticity);
    EXPECT_EQ(Codes(13), kPlasticity);
}

TEST(MapRowCode, AnisotropicRowsFromTwentyTwoOnMeanDensity) {
    EXPECT_EQ(*MapRowCode(2, 21), "MC66");
    EXPECT_EQ(*MapRowCode(2, 22), "DENS");
    EXPECT_EQ(*MapRowCode(2, 25), "DENS");
    EXPECT_EQ(*MapRowCode(2, 1000), "DENS");
}

TEST(MapRowCode, ViscoelasticTailRows) {
    EXPECT_EQ(*MapRowCode(12, 36), "REFTEMP");
    EXPECT_EQ(*MapRowCode(12, 37), "VC1");
    EXPECT_EQ(*MapRowCode(12, 38), "VC2");
    EXPECT_EQ(*MapRowCode(12, 39), "DENS");
    EXPECT_EQ(*MapRowCode(12, 4), "G1");
    EXPECT_EQ(*MapRowCode(12, 35), "TAUK8");
    EXPECT_EQ(MapRowCode(12, 40), nullptr);
}

TEST(MapRowCode, RowsATypeDoesNotListStoreNothing) {
    EXPECT_EQ(MapRowCode(0, 0), nullptr);
    EXPECT_EQ(MapRowCode(0, 11), nullptr);
    EXPECT_EQ(MapRowCode(11, 3), nullptr);
    EXPECT_EQ(MapRowCode(7, 7), nullptr);
    EXPECT_EQ(MapRowCode(2, -1), nullptr);
}

TEST(MapRowCode, TypesOutsideTheSelectorStoreNothing) {
    EXPECT_EQ(MapRowCode(-1, 1), nullptr);
    EXPECT_EQ(MapRowCode(13, 1), nullptr);
}

} // namespace
} // namespace mb
