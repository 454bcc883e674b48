// The comparison of materials side by side: its rows, marks and texts, and how its columns
// follow the library's changes.

#include "MaterialComparison.h"
#include "EditorFixture.h"
#include "TextUtil.h"

namespace mb::test {

namespace {

class MaterialComparisonTest : public EditorTest {
protected:
    Texts column(const ComparisonTable& table, int c) {
        Texts out;
        for (const ComparisonRow& row : table.rows)
            out.push_back(row.values[std::size_t(c)]);
        return out;
    }
    Texts codes(const ComparisonTable& table) {
        Texts out;
        for (const ComparisonRow& row : table.rows)
            out.push_back(row.code + (row.differs ? " *" : ""));
        return out;
    }
    Texts names() { return comparison.table(state.library, "SI", ".").names; }
    MaterialComparison comparison;
};

TEST_F(MaterialComparisonTest, RowsOfEveryPropertyAnyMaterialHasInCatalogueOrderDifferencesMarked) {
    add("Metals    ", "Steel S235 tempered", {{"EX", 2.1e11 * (1 + 5e-10)}, {"ALPX", 1.2e-5}});
    ASSERT_TRUE(comparison.add(state.library, 0));
    ASSERT_TRUE(comparison.add(state.library, 4));
    ASSERT_TRUE(comparison.add(state.library, 1));
    EXPECT_FALSE(comparison.add(state.library, 0)) << "compared already";
    EXPECT_FALSE(comparison.add(state.library, 5)) << "no such material";

    const ComparisonTable si = comparison.table(state.library, "SI", ".");
    EXPECT_EQ(si.names, (Texts{"Steel S235", "Steel S235 tempered", "Aluminium 6061"}));
    // EX differs only through the aluminium: 5E-10 apart counts as equal. A material
    // without a property marks nothing: only one has ALPX, and DENS is the steel's alone.
    EXPECT_EQ(codes(si), (Texts{"EX *", "NUXY", "ALPX", "DENS"}));
    EXPECT_EQ(column(si, 0), (Texts{"210000000000", "0.3", "", "7850"}));
    EXPECT_EQ(column(si, 1), (Texts{"210000000000", "", "1.2E-05", ""}));
    // Values and units read as the grid shows them (the window test compares the two in IPS).
    EXPECT_EQ(comparison.table(state.library, "IPS", ".").rows[0].units, "psi");
    comparison.remove(2);
    EXPECT_EQ(codes(comparison.table(state.library, "SI", ".")),
              (Texts{"EX", "NUXY", "ALPX", "DENS"}));
    comparison.add(state.library, 2); // the polycarbonate's EX is another one
    EXPECT_EQ(codes(comparison.table(state.library, "SI", ".")),
              (Texts{"EX *", "NUXY", "ALPX", "DENS", "G1", "TAUG1", "VC2", "REFTEMP"}));
    comparison.remove(2);

    comparison.move(1, 0);
    const std::string expected =
        "Property\tDescription\tSteel S235 tempered\tSteel S235\tUnits\tDiffers\n"
        "EX\tElasticity modulus (1st dir)\t210000000000\t210000000000\t" +
        si.rows[0].units + "\t\n";
    EXPECT_EQ(comparison.table(state.library, "SI", ".").tabSeparated().substr(0, expected.size()),
              expected);
}

TEST_F(MaterialComparisonTest, CsvQuotesFieldsThatNeedItAndUsesTheGivenSeparator) {
    add("Polymers    ", "PA6, \"dry\"", {{"NUXY", 0.39}});
    comparison.add(state.library, 4);
    comparison.add(state.library, 0);
    EXPECT_EQ(comparison.table(state.library, "SI", ",").csv(),
              "Property,Description,\"PA6, \"\"dry\"\"\",Steel S235,Units,Differs\n"
              "EX,Elasticity modulus (1st dir),,210000000000,N/m^2,\n"
              "NUXY,Poisson's ratio in XY dir.,\"0,39\",\"0,3\",,*\n"
              "DENS,Mass Density,,7850,Kg/m^3,\n");
}

TEST_F(MaterialComparisonTest, ColumnsFollowTheirMaterialsThroughMovesRenamesAndDeletes) {
    Library& library = state.library;
    comparison.add(library, 1);
    comparison.add(library, 2);
    comparison.add(library, 3);

    library.moveMaterialToEnd(1, "Alloy 2024    "); // 2 and 3 move down, 1 goes last
    EXPECT_TRUE(comparison.follow(library));
    EXPECT_EQ(comparison.materials(), (std::vector<int>{3, 1, 2}));
    library.renameMaterial(1, "PC Lexan");
    comparison.follow(library);
    EXPECT_EQ(names(), (Texts{"Aluminium 6061", "PC Lexan", "Clad sheet"}));
    library.removeMaterial(0);
    comparison.follow(library);
    EXPECT_EQ(comparison.materials(), (std::vector<int>{2, 0, 1}));
    library.removeMaterial(0); // the polycarbonate itself
    EXPECT_TRUE(comparison.follow(library));
    EXPECT_EQ(names(), (Texts{"Aluminium 6061", "Clad sheet"}));
    EXPECT_FALSE(comparison.follow(library)) << "nothing changed since";

    // Another library of as many materials in the open one's place: nothing to follow.
    Library other;
    for (const char* name : {"Brass", "Bronze"}) {
        clsMaterial record;
        record.CopyProperty("EX", 1e11);
        other.addMaterial({"Metals    ", "", name, ""}, record, record);
    }
    library.replaceWith(std::move(other));
    EXPECT_TRUE(comparison.follow(library));
    EXPECT_EQ(comparison.columnCount(), 0);
}

} // namespace

} // namespace mb::test
