// The property grid as the user sees it: rows per material type, value texts and unit
// texts per unit system.

#include "EditorFixture.h"

#include "materials/MaterialModel.h"
#include "views/clsFlexGrid.h"

namespace mb::test {
namespace {

using Grid = EditorTest;

// ---- Layout per type ------------------------------------------------------------------

struct LayoutCase {
    int type;
    int properties;
    const char* firstCode;
    const char* lastCode;
};

class GridLayoutTest : public EditorTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(GridLayoutTest, HeaderAndOneRowPerProperty) {
    const LayoutCase c = GetParam();
    show(0);
    ed.chooseType(c.type);
    const auto& grid = ed.VSFlexGrid1;
    EXPECT_EQ(grid.cols(), 4);
    EXPECT_EQ(grid.rowTexts(0),
              (std::vector<std::string>{"Property", "Description", "Value", "Units"}));
    EXPECT_EQ(grid.rows(), c.properties + 1);
    EXPECT_EQ(grid.textMatrix(1, 0), c.firstCode);
    EXPECT_EQ(grid.textMatrix(c.properties, 0), c.lastCode);
    for (int r = 1; r <= c.properties; ++r) EXPECT_FALSE(grid.textMatrix(r, 1).empty()) << r;
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

TEST_F(Grid, IsotropicRowsInOrder) {
    show(0);
    std::vector<std::string> codes;
    for (int r = 1; r < ed.VSFlexGrid1.rows(); ++r) codes.push_back(ed.VSFlexGrid1.textMatrix(r, 0));
    EXPECT_EQ(codes, (std::vector<std::string>{"EX", "NUXY", "GXY", "DENS", "SIGXT", "SIGXC",
                                               "SIGYLD", "ALPX", "KX", "C (Cp)"}));
    EXPECT_EQ(ed.VSFlexGrid1.textMatrix(1, 1), "Elasticity modulus (1st dir)");
    EXPECT_EQ(ed.VSFlexGrid1.textMatrix(10, 1), "Specific Heat");
}

TEST_F(Grid, ViscoelasticNumberedRowsSitWhereTheStoreLooksForThem) {
    show(2);
    ed.chooseType(12);
    const auto& grid = ed.VSFlexGrid1;
    EXPECT_EQ(grid.rows(), 40);
    EXPECT_EQ(grid.textMatrix(4, 0), "G1");
    EXPECT_EQ(grid.textMatrix(11, 0), "G8");
    EXPECT_EQ(grid.textMatrix(12, 0), "TAUG1");
    EXPECT_EQ(grid.textMatrix(20, 0), "K1");
    EXPECT_EQ(grid.textMatrix(28, 0), "TAUK1");
    EXPECT_EQ(grid.textMatrix(35, 0), "TAUK8");
    EXPECT_EQ(grid.textMatrix(36, 0), "REFTEMP");
    EXPECT_EQ(grid.textMatrix(36, 1), "Glass transition temperature");
    EXPECT_EQ(grid.textMatrix(37, 0), "VC1");
    EXPECT_EQ(grid.textMatrix(38, 0), "VC2");
    EXPECT_EQ(grid.textMatrix(39, 0), "DENS");
}

TEST_F(Grid, NoTypeChosenShowsPlasticityRowsWithoutValues) {
    show(0);
    ed.chooseType(-1);
    const auto& grid = ed.VSFlexGrid1;
    ASSERT_EQ(grid.rows(), 7);
    EXPECT_EQ(grid.textMatrix(4, 0), "ETAN");
    for (int r = 1; r < grid.rows(); ++r) EXPECT_EQ(grid.textMatrix(r, 2), "") << r;
    EXPECT_EQ(grid.textMatrix(1, 3), "psi             ");
}

TEST_F(Grid, TypeBeyondTheListShowsPlasticityRowsWithValues) {
    show(0);
    ed.form.FillTypeList();
    ed.typeCombo.addItem("Extra");
    ed.chooseType(13);
    ASSERT_EQ(ed.VSFlexGrid1.rows(), 7);
    EXPECT_EQ(valueOf("EX"), "30463140");
    EXPECT_EQ(valueOf("ETAN"), "");
}

// ---- Values and units per system --------------------------------------------------------

TEST_F(Grid, ValuesFollowTheChosenUnitSystem) {
    show(0);
    EXPECT_EQ(valueOf("EX"), "30463140"); // 2.1E11 N/m^2 / 6893.5773, seven digits
    EXPECT_EQ(unitsOf("EX"), "psi             ");
    EXPECT_EQ(valueOf("DENS"), "0.283599"); // 7850 / 27679.9, six digits below 1
    ed.chooseUnits(1);
    EXPECT_EQ(valueOf("EX"), "210000000000");
    EXPECT_EQ(unitsOf("EX"), "N/m^2           ");
    EXPECT_EQ(valueOf("DENS"), "7850");
    EXPECT_EQ(unitsOf("DENS"), "Kg/m^3          ");
    ed.chooseUnits(2);
    EXPECT_EQ(valueOf("EX"), "2141404"); // 2.1E11 / 98066.5
    EXPECT_EQ(unitsOf("EX"), "Kgf/cm^2         ");
}

TEST_F(Grid, UnitTextsOfEveryIsotropicRow) {
    show(0);
    ed.chooseUnits(1);
    std::vector<std::string> units;
    for (int r = 1; r < ed.VSFlexGrid1.rows(); ++r) units.push_back(ed.VSFlexGrid1.textMatrix(r, 3));
    EXPECT_EQ(units, (std::vector<std::string>{"N/m^2           ", "                ",
                                               "N/m^2           ", "Kg/m^3          ",
                                               "N/m^2           ", "N/m^2           ",
                                               "N/m^2           ", "/Kelvin         ",
                                               "W/m.K           ", "J/kg.K          "}));
}

TEST_F(Grid, MissingValuesShowEmpty) {
    show(1);
    EXPECT_EQ(valueOf("DENS"), "");
    EXPECT_EQ(valueOf("GXY"), "");
    EXPECT_EQ(unitsOf("DENS"), "lb/in^3         ");
}

TEST_F(Grid, ReferenceTemperatureUnitsNameTheScale) {
    show(2);
    ed.chooseType(12);
    EXPECT_EQ(unitsOf("REFTEMP"), "Fahrenheit");
    ed.chooseUnits(1);
    EXPECT_EQ(unitsOf("REFTEMP"), "Kelvin");
    EXPECT_EQ(valueOf("REFTEMP"), "420");
    ed.chooseUnits(2);
    EXPECT_EQ(unitsOf("REFTEMP"), "Celsius");
}

TEST_F(Grid, NumberedRowsShowTheRecordsOwnLabelInEverySystem) {
    show(2);
    ed.chooseType(12);
    ed.chooseUnits(1);
    EXPECT_EQ(valueOf("G1"), "150000000");
    EXPECT_EQ(valueOf("TAUG1"), "0.25");
    EXPECT_EQ(valueOf("K8"), "3000000000");
    EXPECT_EQ(valueOf("VC2"), "51.6");
    const std::string siLabel = unitsOf("G1");
    ed.chooseUnits(0);
    EXPECT_EQ(unitsOf("G1"), siLabel);
    EXPECT_EQ(unitsOf("DENS"), "lb/in^3         ");
}

TEST_F(Grid, FrictionAngleIsInDegrees) {
    show(0);
    ed.chooseType(8);
    EXPECT_EQ(unitsOf("FRCANG"), "Degrees");
}

TEST_F(Grid, CategorySelectedLaysOutRowsWithoutValues) {
    ed.clickNode("Metals    ");
    const auto& grid = ed.VSFlexGrid1;
    ASSERT_EQ(grid.rows(), 11);
    EXPECT_EQ(grid.textMatrix(1, 0), "EX");
    EXPECT_EQ(grid.textMatrix(1, 3), "psi             ");
    for (int r = 1; r < grid.rows(); ++r) EXPECT_EQ(grid.textMatrix(r, 2), "") << r;
}

TEST_F(Grid, CategorySelectedStillLabelsViscoelasticRows) {
    ed.chooseType(12);
    ed.clickNode("Polymers    ");
    EXPECT_EQ(valueOf("G1"), "");
    EXPECT_EQ(unitsOf("G1"), unitsOf("G2"));
    EXPECT_FALSE(unitsOf("G1").empty());
}

TEST_F(Grid, NumbersUseTheUsersDecimalSeparator) {
    state.doc.DecimalSeparator = ",";
    show(0);
    ed.chooseUnits(1);
    EXPECT_EQ(valueOf("NUXY"), "0,3");
    EXPECT_EQ(valueOf("EX"), "210000000000");
}

TEST_F(Grid, ValueColumnTextThatIsNoNumberIsWrittenAsItIs) {
    show(0);
    clsFlexGrid presenter(ed.form);
    presenter.InitializeGrid(ed.VSFlexGrid1);
    presenter.Cell(2, 1, "n/a");
    EXPECT_EQ(ed.VSFlexGrid1.textMatrix(1, 2), "n/a");
    presenter.Cell(2, 1, "15E-1      ");
    EXPECT_EQ(ed.VSFlexGrid1.textMatrix(1, 2), "1.5");
    presenter.Cell(1, 1, "15E-1");
    EXPECT_EQ(ed.VSFlexGrid1.textMatrix(1, 1), "15E-1");
}

TEST_F(Grid, UnitTextsAreThoseOfTheLabelsWhenThePresenterIsMade) {
    show(0);
    ed.unitStringsLabel[0].setCaption("custom");
    ed.form.ShowMaterialGrid();
    EXPECT_EQ(unitsOf("EX"), "custom");
    EXPECT_EQ(unitsOf("GXY"), "psi             "); // from unitStringsLabel11
}

TEST_F(Grid, EveryWrittenColumnIsFittedToItsContents) {
    show(0);
    for (int c = 0; c < 4; ++c) EXPECT_GT(ed.VSFlexGrid1.autoSizeRequests[c], 0) << c;
}

} // namespace
} // namespace mb::test
