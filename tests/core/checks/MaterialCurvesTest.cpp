#include "MaterialCurves.h"
#include "MaterialValues.h"

#include <gtest/gtest.h>

#include <cmath>

namespace mb::test {
namespace {

constexpr int IPS = UnitSystemIndex::IPS, SI = UnitSystemIndex::SI, MKS = UnitSystemIndex::MKS;
constexpr double kPsi = 6893.5773, kKgfPerCm2 = 98066.5;

/// The (x, y of each series) points of a curve, compared relatively to 1e-12.
using Points = std::vector<std::vector<double>>;

void ExpectPoints(const MaterialCurve& curve, const Points& expected, const std::string& what) {
    ASSERT_TRUE(curve.drawn()) << what << ": " << curve.note;
    ASSERT_EQ(curve.x.size(), expected.size()) << what;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(curve.series.size() + 1, expected[i].size()) << what;
        std::vector<double> got = {curve.x[i]};
        for (const CurveSeries& s : curve.series)
            got.push_back(s.y[i]);
        for (std::size_t k = 0; k < got.size(); ++k)
            EXPECT_NEAR(got[k], expected[i][k], 1e-12 * std::abs(expected[i][k]))
                << what << ", point " << i << ", column " << k;
    }
}

/// What is drawn: of which material, as which model type, in which units, with how many points.
struct Drawing {
    const char* what;
    Values values;
    int type, system, points;
};

struct CurveCase {
    Drawing drawing;
    Points expected;
};

const CurveCase kCurveCases[] = {
    // Yield strain 1e-3, drawn to five times that.
    {{"plasticity to five yield strains", "EX=2e11, SIGYLD=2e8, ETAN=2e9", 4, SI, 6},
     {{0, 0}, {1e-3, 2e8}, {2e-3, 2.02e8}, {3e-3, 2.04e8}, {4e-3, 2.06e8}, {5e-3, 2.08e8}}},
    {{"plasticity up to the tensile strength, in psi",
      "EX=2e11, SIGYLD=2e8, ETAN=2e9, SIGXT=2.04e8", 7, IPS, 4},
     {{0, 0}, {1e-3, 2e8 / kPsi}, {2e-3, 2.02e8 / kPsi}, {3e-3, 2.04e8 / kPsi}}},
    {{"plasticity with a strength below the yield stress",
      "EX=2e11, SIGYLD=2e8, ETAN=2e9, SIGXT=1e8", 5, SI, 2},
     {{0, 0}, {5e-4, 1e8}}},
    {{"Drucker Prager at 45 degrees, in MKS", "COHESN=1e5, FRCANG=45", 8, MKS, 3},
     {{0, 1e5 / kKgfPerCm2},
      {2.5e5 / kKgfPerCm2, 3.5e5 / kKgfPerCm2},
      {5e5 / kKgfPerCm2, 6e5 / kKgfPerCm2}}},
    // The classic two constants, the others not given: 2 (l - l^-2)(C10 + C01/l).
    {{"Mooney-Rivlin of two constants", "MOONEY_A=3, MOONEY_B=1", 9, SI, 2},
     {{0.5, 2 * (0.5 - 4) * (3 + 2)}, {3, 2 * (3 - 1.0 / 9) * (3 + 1.0 / 3)}}},
    // Neo-Hooke in Ogden's form: MU (l - l^-2); a second pair that cancels it.
    {{"Ogden, one pair", "MU1=1, ALPH1=2", 10, SI, 3},
     {{0.5, 0.5 - 4}, {1.75, 1.75 - 1 / (1.75 * 1.75)}, {3, 3 - 1.0 / 9}}},
    {{"Ogden, pairs add up", "MU1=1, ALPH1=2, MU4=2, ALPH4=-2", 10, SI, 2},
     {{0.5, 0.5 - 4 + 2 * (8 - 1)}, {3, 3 - 1.0 / 9 + 2 * (1.0 / 27 - 1)}}},
    // G0 = 2.6e9 / 2.6, K0 = 2.6e9 / 1.2, G(t) = G0 (1 - 0.5 (1 - exp(-t))) and
    // K(t) = K0 (1 - 0.25 (1 - exp(-t / 10))); times 1e-2 to 1e3, a decade a point. G2 has no
    // time and relaxes nothing.
    {{"viscoelastic with G0 from EX and NUXY",
      "EX=2.6e9, NUXY=0.3, G1=0.5, TAUG1=1, K1=0.25, TAUK1=10, G2=0.2", 12, SI, 6},
     {{1e-2, 995024916.8745841, 2166125270.7430787},
      {1e-1, 952418709.0179797, 2161276993.2808},
      {1, 683939720.5857211, 2115120268.1028116},
      {10, 500022699.96488124, 1824268030.6345315},
      {100, 5e8, 1625024591.6286216},
      {1000, 5e8, 1625000000}}},
    {{"viscoelastic, GXY, in psi", "EX=2.6e9, NUXY=0.3, GXY=1.5e9, G1=0.5, TAUG1=1", 12, IPS, 2},
     {{1e-2, 1.5e9 * (1 - 0.5 * (1 - std::exp(-1e-2))) / kPsi, 2.6e9 / 1.2 / kPsi},
      {100, 1.5e9 * (1 - 0.5 * (1 - std::exp(-100.0))) / kPsi, 2.6e9 / 1.2 / kPsi}}},
    // 1/E(45) = (S11 + S22 + 2 S12 + S44) / 4 = (0.5 + 1 - 0.25 + 2)e-9 / 4.
    {{"orthotropic directional modulus", "EX=2e9, EY=1e9, NUXY=0.25, GXY=0.5e9", 1, SI, 9},
     {{0, 2e9},
      {45, 4e9 / 3.25},
      {90, 1e9},
      {135, 4e9 / 3.25},
      {180, 2e9},
      {225, 4e9 / 3.25},
      {270, 1e9},
      {315, 4e9 / 3.25},
      {360, 2e9}}},
    // A diagonal stiffness: S = diag(1/4, 1/2, ..., 1/1 in xy); kept in stored units in IPS.
    {{"anisotropic directional modulus, as stored",
      Matrix(0, "MC11=4, MC22=2, MC33=7, MC44=1, MC55=9, MC66=9"), 2, IPS, 5},
     {{0, 4}, {90, 2}, {180, 4}, {270, 2}, {360, 4}}},
};

TEST(MaterialCurves, MatchValuesComputedByHand) {
    for (const auto& [d, expected] : kCurveCases)
        ExpectPoints(computeCurve(MaterialWith(d.values), d.type, d.system, d.points), expected,
                     d.what);
}

// Each constant alone at stretch 2, where I1 - 3 = 2, I2 - 3 = 1.25 and 2(l - l^-2) = 3.5:
// P = 3.5 (dW/dI1 + dW/dI2 / 2).
TEST(MaterialCurves, MooneyRivlinTakesEachConstantInItsPlace) {
    const std::pair<const char*, double> atStretchTwo[] = {{"MOONEY_A", 3.5},
                                                           {"MOONEY_B", 1.75},
                                                           {"MOONEY_C", 3.5 * 2 * 2},
                                                           {"MOONEY_D", 3.5 * (1.25 + 2 / 2.0)},
                                                           {"MOONEY_E", 3.5 * 2 * 1.25 / 2},
                                                           {"MOONEY_F", 3.5 * 3 * 4}};
    for (const auto& [code, expected] : atStretchTwo) {
        Values values;
        for (const char* c :
             {"MOONEY_A", "MOONEY_B", "MOONEY_C", "MOONEY_D", "MOONEY_E", "MOONEY_F"})
            values.emplace_back(c, std::string_view(c) == code ? 1 : 0);
        const MaterialCurve curve = computeCurve(MaterialWith(values), 9, SI, 6);
        ASSERT_TRUE(curve.drawn()) << curve.note;
        EXPECT_EQ(curve.x[3], 2);
        EXPECT_NEAR(curve.series[0].y[3], expected, 1e-12 * expected) << code;
        EXPECT_EQ(curve.series[0].y[1], 0) << code; // unstretched
    }
}

TEST(MaterialCurves, LabelTheirAxesWithTheUnitsOfTheChosenSystem) {
    const clsMaterial m = MaterialWith("EX=2e11, SIGYLD=2e8, ETAN=2e9");
    struct Labels {
        int type, system;
        const char *x, *y;
    };
    for (const Labels& l : {Labels{4, IPS, "Strain", "Stress (psi)"},
                            Labels{8, MKS, "Normal stress (Kgf/cm^2)", "Shear strength (Kgf/cm^2)"},
                            Labels{9, SI, "Stretch", "Nominal stress (N/m^2)"},
                            Labels{12, IPS, "Time (s)", "Relaxation modulus (psi)"},
                            Labels{1, MKS, "Angle (degrees)", "E (Kgf/cm^2)"},
                            Labels{2, IPS, "Angle (degrees)", "E (as stored)"}}) {
        const MaterialCurve c = computeCurve(m, l.type, l.system);
        EXPECT_EQ(c.xLabel + " | " + c.yLabel, std::string(l.x) + " | " + l.y) << l.type;
    }
    EXPECT_TRUE(computeCurve(m, 12, SI).logX);
    EXPECT_TRUE(computeCurve(m, 1, SI).polar);
    EXPECT_EQ(computeCurve(m, 4, SI).x.size(), 50u);
}

// The isotropic line goes to the yield stress, else the tensile strength, else 0.2% strain.
TEST(MaterialCurves, AnIsotropicMaterialDrawsItsElasticLine) {
    ExpectPoints(isotropicLine(MaterialWith("EX=2e11, SIGYLD=2e8, SIGXT=4e8"), SI, 3),
                 {{0, 0}, {5e-4, 1e8}, {1e-3, 2e8}}, "to the yield stress");
    ExpectPoints(isotropicLine(MaterialWith("EX=2e11, SIGXT=4e8"), IPS, 2),
                 {{0, 0}, {2e-3, 4e8 / kPsi}}, "to the tensile strength, in psi");
    const MaterialCurve bare = isotropicLine(MaterialWith("EX=2e11"), MKS, 2);
    ExpectPoints(bare, {{0, 0}, {2e-3, 4e8 / kKgfPerCm2}}, "to 0.2% strain");
    EXPECT_EQ(bare.yLabel, "Stress (Kgf/cm^2)");
    EXPECT_EQ(isotropicLine(MaterialWith("EX=0"), SI).note,
              "No stress-strain line: EX must be greater than zero.");
}

TEST(MaterialCurves, SayWhatIsMissingInsteadOfDrawing) {
    struct NoteCase {
        Values values;
        int type;
        const char* note;
    };
    const NoteCase cases[] = {
        {"EX=2e11, SIGYLD=0, ETAN=1", 6,
         "No plasticity curve: EX and SIGYLD must be greater than zero."},
        {"FRCANG=30", 8, "No strength envelope: COHESN is missing."},
        {"COHESN=1, FRCANG=90", 8,
         "No strength envelope: COHESN must be greater than zero and FRCANG between 0 and 90 "
         "degrees."},
        {"MOONEY_B=1, MOONEY_C=1, MOONEY_F=1", 9, "No Mooney-Rivlin curve: MOONEY_A is missing."},
        {{}, 10, "No Ogden curve: MU1 and ALPH1 are missing."},
        {"MU1=1, ALPH1=2, MU2=1", 10, "No Ogden curve: ALPH2 is missing."},
        {"EX=1e9, G1=0.5, TAUK1=1", 12,
         "No relaxation curve: NUXY and a Prony term with its time are missing."},
        {"EX=1e9, NUXY=0.5, G1=0.5, TAUG1=1", 12,
         "No relaxation curve: EX must be greater than zero and NUXY between -1 and 0.5."},
        {"EX=1e9, EY=1e9, NUXY=0.3", 1, "No directional modulus: GXY is missing."},
        {"EX=1e9, EY=1e9, NUXY=3, GXY=1e9", 1,
         "No directional modulus: the compliance gives no positive modulus at 29.3878 degrees."},
        {"MC11=1", 2, "No directional modulus: 20 of the 21 matrix values MC11..MC66 are missing."},
        {Matrix(1, "MC66=0"), 2,
         "No directional modulus: the material matrix MC11..MC66 is singular."},
        {"EX=1e9", 0, "No curve is drawn for Linear Elastic Isotropic materials."},
        {"EX=1e9", 11, "No curve is drawn for Blatz Ko HyperElastic materials."},
        {"EX=1e9", -1, "No material model type is chosen."},
    };
    for (const NoteCase& c : cases) {
        const MaterialCurve curve = computeCurve(MaterialWith(c.values), c.type, SI);
        EXPECT_EQ(curve.note, c.note) << c.type;
        EXPECT_TRUE(curve.x.empty() && curve.series.empty()) << c.type;
    }
}

} // namespace
} // namespace mb::test
