// The property grid as the user sees it: rows per material type, value texts and unit
// texts per unit system.

#include "EditorFixture.h"

#include "views/clsFlexGrid.h"

namespace mb::test {
namespace {

using Grid = EditorTest;
using Texts = std::vector<std::string>;

// ---- Layout per type ------------------------------------------------------------------

struct LayoutCase {
    int type, properties;
    const char *firstCode, *lastCode;
};

class GridLayoutTest : public EditorTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(GridLayoutTest, HeaderAndOneDescribedRowPerProperty) {
    const LayoutCase c = GetParam();
    show(0);
    ed.chooseType(c.type);
    EXPECT_EQ(ed.VSFlexGrid1.cols(), 4);
    EXPECT_EQ(ed.VSFlexGrid1.rowTexts(0), (Texts{"Property", "Description", "Value", "Units"}));
    ASSERT_EQ(ed.VSFlexGrid1.rows(), c.properties + 1);
    EXPECT_EQ(column(0).front(), c.firstCode);
    EXPECT_EQ(column(0).back(), c.lastCode);
    for (const std::string& description : column(1))
        EXPECT_FALSE(description.empty());
}

INSTANTIATE_TEST_SUITE_P(
    AllTypes, GridLayoutTest,
    ::testing::Values(LayoutCase{0, 10, "EX", "C (Cp)"}, LayoutCase{1, 20, "EX", "C (Cp)"},
                      LayoutCase{2, 22, "MC11", "DENS"}, LayoutCase{3, 3, "NUXY", "DENS"},
                      LayoutCase{4, 6, "EX", "DENS"}, LayoutCase{5, 6, "EX", "DENS"},
                      LayoutCase{6, 6, "EX", "DENS"}, LayoutCase{7, 6, "EX", "DENS"},
                      LayoutCase{8, 5, "EX", "DENS"}, LayoutCase{9, 8, "NUXY", "DENS"},
                      LayoutCase{10, 10, "NUXY", "DENS"}, LayoutCase{11, 2, "EX", "DENS"},
                      LayoutCase{12, 39, "EX", "DENS"}));

TEST_F(Grid, IsotropicRowsAndTheirSiUnitsInOrder) {
    show(0);
    ed.chooseUnits(1);
    EXPECT_EQ(column(0), (Texts{"EX", "NUXY", "GXY", "DENS", "SIGXT", "SIGXC", "SIGYLD", "ALPX",
                                "KX", "C (Cp)"}));
    const std::string pa = "N/m^2           ";
    EXPECT_EQ(column(3), (Texts{pa, std::string(16, ' '), pa, "Kg/m^3          ", pa, pa, pa,
                                "/Kelvin         ", "W/m.K           ", "J/kg.K          "}));
    EXPECT_EQ(ed.VSFlexGrid1.textMatrix(1, 1), "Elasticity modulus (1st dir)");
    EXPECT_EQ(ed.VSFlexGrid1.textMatrix(10, 1), "Specific Heat");
}

TEST_F(Grid, ViscoelasticRowsSitWhereTheStoreLooksForThem) {
    show(2);
    ed.chooseType(12);
    for (const auto& [row, code] : std::vector<std::pair<int, std::string>>{{4, "G1"},
                                                                            {11, "G8"},
                                                                            {12, "TAUG1"},
                                                                            {20, "K1"},
                                                                            {28, "TAUK1"},
                                                                            {35, "TAUK8"},
                                                                            {36, "REFTEMP"},
                                                                            {37, "VC1"},
                                                                            {38, "VC2"},
                                                                            {39, "DENS"}})
        EXPECT_EQ(ed.VSFlexGrid1.textMatrix(row, 0), code) << row;
    EXPECT_EQ(ed.VSFlexGrid1.textMatrix(36, 1), "Glass transition temperature");
}

TEST_F(Grid, NoTypeChosenShowsPlasticityRowsWithoutValuesATypeBeyondTheListWithValues) {
    show(0);
    ed.chooseType(-1);
    ASSERT_EQ(ed.VSFlexGrid1.rows(), 7);
    EXPECT_EQ(ed.VSFlexGrid1.textMatrix(4, 0), "ETAN");
    EXPECT_EQ(column(2), Texts(6, ""));
    EXPECT_EQ(unitsOf("EX"), "psi             ");
    ed.typeCombo.addItem("Extra");
    ed.chooseType(13);
    ASSERT_EQ(ed.VSFlexGrid1.rows(), 7);
    EXPECT_EQ(valueOf("EX"), "30463140");
}

// ---- Values and units per system --------------------------------------------------------

TEST_F(Grid, ValuesFollowTheChosenUnitSystem) {
    show(1); // no density
    EXPECT_EQ(valueOf("DENS"), "");
    EXPECT_EQ(unitsOf("DENS"), "lb/in^3         ");
    show(0);
    EXPECT_EQ(valueOf("EX"), "30463140"); // 2.1E11 N/m^2 / 6893.5773, seven digits
    EXPECT_EQ(unitsOf("EX"), "psi             ");
    EXPECT_EQ(valueOf("DENS"), "0.283599"); // 7850 / 27679.9, six digits below 1
    ed.chooseUnits(1);
    EXPECT_EQ(valueOf("EX"), "210000000000");
    EXPECT_EQ(valueOf("DENS"), "7850");
    ed.chooseUnits(2);
    EXPECT_EQ(valueOf("EX"), "2141404"); // 2.1E11 / 98066.5
    EXPECT_EQ(unitsOf("EX"), "Kgf/cm^2         ");
}

TEST_F(Grid, ViscoelasticUnitsTheScaleOfReftempAndTheRecordsOwnLabels) {
    show(2);
    ed.chooseType(12);
    EXPECT_EQ(unitsOf("REFTEMP"), "Fahrenheit");
    const std::string ownLabel = unitsOf("G1");
    EXPECT_FALSE(ownLabel.empty());
    ed.chooseUnits(1);
    EXPECT_EQ(unitsOf("REFTEMP"), "Kelvin");
    EXPECT_EQ(unitsOf("G1"), ownLabel) << "whichever system is chosen";
    EXPECT_EQ(
        (Texts{valueOf("REFTEMP"), valueOf("G1"), valueOf("TAUG1"), valueOf("K8"), valueOf("VC2")}),
        (Texts{"420", "150000000", "0.25", "3000000000", "51.6"}));
    ed.chooseUnits(2);
    EXPECT_EQ(unitsOf("REFTEMP"), "Celsius");
}

TEST_F(Grid, FrictionAngleIsInDegrees) {
    show(0);
    ed.chooseType(8);
    EXPECT_EQ(unitsOf("FRCANG"), "Degrees");
}

TEST_F(Grid, CategorySelectedLaysOutRowsWithoutValues) {
    ed.clickNode("Metals    ");
    ASSERT_EQ(ed.VSFlexGrid1.rows(), 11);
    EXPECT_EQ(unitsOf("EX"), "psi             ");
    EXPECT_EQ(column(2), Texts(10, ""));
    ed.chooseType(12);
    EXPECT_EQ(valueOf("G1"), "");
    EXPECT_FALSE(unitsOf("G1").empty());
}

TEST_F(Grid, OnlyNumbersInTheValueColumnAreRewrittenInGeneralForm) {
    show(0);
    clsFlexGrid presenter(ed.form);
    presenter.InitializeGrid(ed.VSFlexGrid1);
    for (const auto& [col, text, shown] : std::vector<std::tuple<int, std::string, std::string>>{
             {2, "n/a", "n/a"}, {2, "15E-1      ", "1.5"}, {1, "15E-1", "15E-1"}}) {
        presenter.Cell(col, 1, text);
        EXPECT_EQ(ed.VSFlexGrid1.textMatrix(1, col), shown) << text;
    }
    for (int c = 0; c < 4; ++c)
        EXPECT_GT(ed.VSFlexGrid1.autoSizeRequests[c], 0) << c;
}

TEST_F(Grid, UnitTextsAreThoseOfTheLabelsWhenThePresenterIsMade) {
    show(0);
    ed.unitStringsLabel[0].setCaption("custom");
    ed.form.ShowMaterialGrid();
    EXPECT_EQ(unitsOf("EX"), "custom");
    EXPECT_EQ(unitsOf("GXY"), "psi             "); // from unitStringsLabel11
}

} // namespace
} // namespace mb::test
