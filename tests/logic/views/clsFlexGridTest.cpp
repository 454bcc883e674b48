// The property grid as the user sees it: rows per material type, value texts and unit
// texts per unit system.

#include "EditorFixture.h"

namespace mb::test {
namespace {

using Grid = EditorTest;

// Row counts per type, with some rows each; -1 is no type chosen, 13 a type beyond the
// list: both are laid out as the plasticity types, only 13 with values.
TEST_F(Grid, EachTypeShowsItsRowsUnderTheHeader) {
    show(0);
    editor.typeCombo.addItem("Extra");
    using Rows = std::map<int, std::string>;
    for (const auto& [type, properties, rows] : std::vector<std::tuple<int, int, Rows>>{
             {0, 10, {{1, "EX"}, {2, "NUXY"}, {3, "GXY"}, {4, "DENS"}, {10, "C (Cp)"}}},
             {1, 20, {{3, "EZ"}, {10, "DENS"}, {17, "KX"}, {20, "C (Cp)"}}},
             {2, 22, {{1, "MC11"}, {21, "MC66"}, {22, "DENS"}}},
             {3, 3, {{1, "NUXY"}, {2, "ALPX"}, {3, "DENS"}}},
             {4, 6, {{3, "SIGYLD"}, {4, "ETAN"}, {6, "DENS"}}},
             {8, 5, {{3, "COHESN"}, {4, "FRCANG"}}},
             {9, 8, {{2, "MOONEY_A"}, {7, "MOONEY_F"}}},
             {10, 10, {{2, "ALPH1"}, {9, "MU4"}}},
             {11, 2, {{1, "EX"}, {2, "DENS"}}},
             {12, 39, {{4, "G1"}, {12, "TAUG1"}, {36, "REFTEMP"}, {39, "DENS"}}},
             {-1, 6, {{4, "ETAN"}}},
             {13, 6, {{4, "ETAN"}}}}) {
        SCOPED_TRACE(type);
        editor.chooseType(type);
        ASSERT_EQ(editor.VSFlexGrid1.rows(), properties + 1);
        for (const auto& [row, code] : rows)
            EXPECT_EQ(editor.VSFlexGrid1.textMatrix(row, 0), code) << row;
        EXPECT_EQ(cell("EX"), type == -1 || rowOf("EX") < 0 ? "" : "30463140");
    }
    for (int col = 0; const char* header : {"Property", "Description", "Value", "Units"})
        EXPECT_EQ(editor.VSFlexGrid1.textMatrix(0, col++), header);
}

TEST_F(Grid, ValuesAndUnitsFollowTheChosenSystem) {
    show(0);
    for (const auto& [units, shown] : std::vector<std::pair<int, Texts>>{
             {0, {"30463140", "0.283599", "psi             ", "lb/in^3         "}},
             {1, {"210000000000", "7850", "N/m^2           ", "Kg/m^3          "}},
             {2, {"2141404", "0.00785", "Kgf/cm^2         ", "Kg/cm^3          "}}}) {
        editor.chooseUnits(units);
        EXPECT_EQ((Texts{cell("EX"), cell("DENS"), cell("GXY", 3), cell("DENS", 3)}), shown);
    }
    EXPECT_EQ(cell("EX", 1), "Elasticity modulus (1st dir)");
}

TEST_F(Grid, ViscoelasticRowsShowTheirRecordsUnitsReftempTheScaleOfTheSystem) {
    show(2);
    editor.chooseType(12);
    for (const auto& [units, scale] : std::vector<std::pair<int, std::string>>{
             {0, "Fahrenheit"}, {2, "Celsius"}, {1, "Kelvin"}}) {
        editor.chooseUnits(units);
        EXPECT_EQ(cell("REFTEMP", 3), scale);
    }
    EXPECT_EQ(
        (Texts{cell("REFTEMP", 1), cell("G1", 3), cell("REFTEMP"), cell("G1"), cell("VC2")}),
        (Texts{"Glass transition temperature", std::string(16, ' '), "420", "150000000", "51.6"}));
    editor.clickNode("Metals    "); // a category: laid out without values
    for (int row = 1; row <= 39; ++row)
        EXPECT_EQ(editor.VSFlexGrid1.textMatrix(row, 2), "") << row;
}

} // namespace
} // namespace mb::test
