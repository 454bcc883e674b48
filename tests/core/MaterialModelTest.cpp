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

const std::vector<std::string> kPlasticity = {"EX", "NUXY", "SIGYLD", "ETAN", "ALPX", "DENS"};

TEST(MaterialModel, ThirteenTypeNamesInSelectorOrder) {
    const auto& names = MaterialTypeNames();
    EXPECT_EQ(names[0], "Linear Elastic Isotropic");
    EXPECT_EQ(names[4], "von Mises Plasticity (kinematic)");
    EXPECT_EQ(names[11], "Blatz Ko HyperElastic");
    EXPECT_EQ(names[12], "Viscoelastic");
}

TEST(MaterialModel, EveryRowIsACatalogueSlotAndMapsBackToItsCode) {
    const std::vector<std::size_t> counts = {10, 20, 22, 3, 6, 6, 6, 6, 5, 8, 10, 2, 39};
    for (int type = 0; type < kMaterialTypeCount; ++type) {
        SCOPED_TRACE(type);
        const auto& rows = GridLayout(type);
        EXPECT_EQ(rows.size(), counts[static_cast<std::size_t>(type)]);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_NE(rows[i].slot, -1) << rows[i].code;
            EXPECT_EQ(rows[i].slot, PropertyCatalogue::instance().FindExact(rows[i].code));
            const std::string* mapped = MapRowCode(type, static_cast<int>(i) + 1);
            ASSERT_NE(mapped, nullptr);
            EXPECT_EQ(*mapped, rows[i].code);
        }
    }
}

TEST(MaterialModel, RowsOfRepresentativeTypes) {
    EXPECT_EQ(Codes(0), (std::vector<std::string>{"EX", "NUXY", "GXY", "DENS", "SIGXT", "SIGXC",
                                                  "SIGYLD", "ALPX", "KX", "C (Cp)"}));
    EXPECT_EQ(Codes(3), (std::vector<std::string>{"NUXY", "ALPX", "DENS"}));
    EXPECT_EQ(Codes(8), (std::vector<std::string>{"EX", "NUXY", "COHESN", "FRCANG", "DENS"}));
    EXPECT_EQ(Codes(11), (std::vector<std::string>{"EX", "DENS"}));
    // The four plasticity types share their rows, and so does any type outside the selector.
    for (int type : {4, 5, 6, 7, -1, 13}) EXPECT_EQ(Codes(type), kPlasticity) << type;
}

TEST(MapRowCode, RowsOfTheLongerTypes) {
    EXPECT_EQ(*MapRowCode(1, 10), "DENS");
    EXPECT_EQ(*MapRowCode(1, 20), "C (Cp)");
    EXPECT_EQ(*MapRowCode(2, 1), "MC11");
    EXPECT_EQ(*MapRowCode(2, 21), "MC66");
    // Any row from 22 on is taken as density.
    for (int row : {22, 25, 1000}) EXPECT_EQ(*MapRowCode(2, row), "DENS") << row;
    EXPECT_EQ(*MapRowCode(9, 2), "MOONEY_A");
    EXPECT_EQ(*MapRowCode(10, 9), "MU4");
    EXPECT_EQ(*MapRowCode(12, 4), "G1");
    EXPECT_EQ(*MapRowCode(12, 35), "TAUK8");
    EXPECT_EQ(*MapRowCode(12, 36), "REFTEMP");
    EXPECT_EQ(*MapRowCode(12, 38), "VC2");
    EXPECT_EQ(*MapRowCode(12, 39), "DENS");
}

TEST(MapRowCode, RowsOrTypesWithoutAPropertyStoreNothing) {
    const std::pair<int, int> none[] = {{0, 0}, {0, 11}, {11, 3}, {7, 7}, {2, -1},
                                        {12, 40}, {-1, 1}, {13, 1}};
    for (const auto& [type, row] : none)
        EXPECT_EQ(MapRowCode(type, row), nullptr) << type << " " << row;
}

} // namespace
} // namespace mb
