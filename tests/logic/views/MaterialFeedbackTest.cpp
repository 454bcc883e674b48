// What follows the selected material's values: the marks of the grid rows a check
// involves, the line under the grid, and the chart of the chosen model type.

#include "MaterialFeedback.h"
#include "EditorFixture.h"
#include "PropertyCatalogue.h"

namespace mb::test {
namespace {

class MaterialFeedbackTest : public EditorTest {
protected:
    /// Code of each marked row: its mark and tooltip.
    std::map<std::string, std::pair<RowMark, std::string>> marks() {
        std::map<std::string, std::pair<RowMark, std::string>> byCode;
        for (const auto& [row, mark] : editor.VSFlexGrid1.marks)
            byCode[editor.VSFlexGrid1.textMatrix(row, 0)] = mark;
        return byCode;
    }

    fake::FakeLabel summary;
    fake::FakeChart chart;
    MaterialFeedback feedback{editor.form, summary, chart};
};

const std::string kPoisson = "NUXY = 0.5 is outside -1 < NUXY < 0.5 for an isotropic material.";

TEST_F(MaterialFeedbackTest, MarksTheRowsOfEachFindingAndSumsThemUpAsValuesAreStoredOrTyped) {
    show(0);
    EXPECT_EQ(summary.caption(), "No errors or warnings");
    EXPECT_TRUE(marks().empty());

    typeValue("NUXY", "0.5");
    using Marks = std::map<std::string, std::pair<RowMark, std::string>>;
    EXPECT_EQ(marks(), (Marks{{"NUXY", {RowMark::Error, kPoisson}}}));
    EXPECT_EQ(summary.caption(), "1 error, 0 warnings");

    // 1E-5 lb/in^3 is 0.28 kg/m^3: the marks follow the text being typed, before it is stored.
    // The message gives the values and bounds in the system the grid shows, with units.
    editor.clickCell(rowOf("DENS"), 2);
    editor.VSFlexGrid1.setText("0.00001");
    feedback.VSFlexGrid1_Change();
    EXPECT_EQ(marks(), (Marks{{"NUXY", {RowMark::Error, kPoisson}},
                              {"DENS",
                               {RowMark::Warning,
                                "DENS = 1E-05 lb/in^3 is outside 3.61273E-05 lb/in^3 to 0.903182 "
                                "lb/in^3: no engineering material has that, a unit slip?"}}}));
    EXPECT_EQ(summary.caption(), "1 error, 1 warning");
    EXPECT_EQ(stored(0, "DENS"), 7850);
    // Emptied, the cell takes the value out, and its check with it.
    editor.VSFlexGrid1.setText("");
    feedback.VSFlexGrid1_Change();
    EXPECT_EQ(summary.caption(), "1 error, 0 warnings");

    // A rebuild shows the material as stored; a category has nothing to sum up.
    editor.chooseUnits(1);
    EXPECT_EQ(marks(), (Marks{{"NUXY", {RowMark::Error, kPoisson}}}));
    editor.clickNode("Metals    ");
    EXPECT_EQ(summary.caption(), "");
    EXPECT_EQ(chart.note, "Select a material to see its curve.");

    feedback.showMaterial(0);
    EXPECT_EQ(editor.boxes(), (Texts{"Metals    ", "Steel S235", "about Steel S235"}));
    // The polycarbonate's G1 is no relative modulus.
    const std::vector<LibraryFindingLine> lines = libraryFindingLines(state.library, "");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].material, 0);
    EXPECT_EQ(lines[0].severity, RowMark::Error);
    EXPECT_EQ(lines[0].text, "error  Metals / Steel S235  poisson-range: " + kPoisson);
    EXPECT_EQ(lines[1].material, 2);
    EXPECT_EQ(lines[1].text,
              "error  Polymers / Polycarbonate  prony-sum: G1 = 1.5e+08 is not below 1 (G1 = "
              "1.5e+08).");
}

// The matrix is entered row by row in the order x, y, z, xy, yz, xz: each of its rows says
// where its entry sits, above what the checks find there.
TEST_F(MaterialFeedbackTest, MatrixRowsSayWhereTheirEntrySits) {
    const auto tipOf = [this](std::string_view code) {
        for (const auto& [row, tip] : editor.VSFlexGrid1.tips)
            if (editor.VSFlexGrid1.textMatrix(row, 0) == code) return tip;
        return std::string();
    };
    const std::string order = "; rows and columns in the order x, y, z, xy, yz, xz.";
    show(0);
    EXPECT_TRUE(editor.VSFlexGrid1.tips.empty());
    editor.chooseType(2);
    EXPECT_EQ(editor.VSFlexGrid1.tips.size(), 21u); // not DENS
    EXPECT_EQ(tipOf("MC11"), "Material matrix row 1 (x), column 1 (x)" + order);
    EXPECT_EQ(tipOf("MC26"), "Material matrix row 2 (y), column 6 (xz)" + order);
    EXPECT_EQ(tipOf("MC45"), "Material matrix row 4 (xy), column 5 (yz)" + order);
    EXPECT_TRUE(editor.VSFlexGrid1.marks.empty());

    // One entry given: the other twenty are missing, and their rows say so below the place.
    typeValue("MC14", "1000");
    EXPECT_EQ(tipOf("MC14"), "Material matrix row 1 (x), column 4 (xy)" + order);
    const std::string missing = tipOf("MC55");
    EXPECT_EQ(missing.substr(0, missing.find('\n')),
              "Material matrix row 5 (yz), column 5 (yz)" + order);
    EXPECT_EQ(missing.substr(missing.find('\n') + 1, 44),
              "The material matrix has 1 of its 21 values: ");
    EXPECT_EQ(editor.VSFlexGrid1.marks.size(), 20u);
    EXPECT_EQ(matrixEntryPlace(Slot::DENS), "");
}

TEST_F(MaterialFeedbackTest, TheChartFollowsTheTypeTheUnitsAndTheValues) {
    show(2); // the polycarbonate: EX, G1 and TAUG1
    ASSERT_TRUE(chart.plot) << "an isotropic material's stress-strain line";
    EXPECT_EQ(chart.plot->title, "Linear elastic uniaxial stress-strain line");
    // Up to 0.2% strain: the axis counts thousandths rather than showing 0.002.
    EXPECT_EQ(chart.plot->xLabel, "Strain (10^-3)");
    EXPECT_DOUBLE_EQ(chart.plot->x.back(), 2.0);
    EXPECT_TRUE(chart.isVisible());
    show(3); // the clad sheet has no values: nothing drawn, the grid takes the room
    EXPECT_EQ(chart.note, "No stress-strain line: EX is missing.");
    EXPECT_FALSE(chart.isVisible());
    show(2);
    editor.chooseType(12);
    EXPECT_EQ(chart.note, "No relaxation curve: NUXY is missing.");
    state.library.material(2).CopyProperty("G1", 0.5); // a real Prony weight
    typeValue("NUXY", "0.35");
    ASSERT_TRUE(chart.plot);
    EXPECT_TRUE(chart.isVisible());
    // The axis reads from 1 to 999, with the unit's prefix.
    EXPECT_EQ(chart.plot->yLabel, "Relaxation modulus (ksi)");
    EXPECT_TRUE(chart.plot->logX);
    ASSERT_EQ(chart.plot->series.size(), 2u);
    // The first time is TAUG1 / 100; the curve's values are the curves' tests' concern, the
    // scale of the system shown is this one's.
    EXPECT_EQ(chart.plot->x.front(), 0.0025) << "a time axis keeps its seconds";
    EXPECT_NEAR(chart.plot->series[0].y.front(), 128.302992, 1e-6);
    // The bulk modulus, 2.7E9 N/m^2, is the largest value drawn.
    editor.chooseUnits(1);
    EXPECT_EQ(chart.plot->yLabel, "Relaxation modulus (GPa)");
    EXPECT_NEAR(chart.plot->series[0].y.front(), 0.884466593, 1e-9);
    editor.chooseUnits(2);
    EXPECT_EQ(chart.plot->yLabel, "Relaxation modulus (10^3 Kgf/cm^2)");
    editor.chooseUnits(0);

    editor.chooseType(4);
    EXPECT_EQ(chart.note, "No plasticity curve: SIGYLD and ETAN are missing.");
}

} // namespace
} // namespace mb::test
