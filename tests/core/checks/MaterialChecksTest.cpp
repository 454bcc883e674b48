#include "MaterialChecks.h"
#include "MaterialValues.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace mb::test {
namespace {

struct RuleCase {
    const char* what; ///< the rule's id, then what the case shows
    Values passes;    ///< just inside the rule's bound: no finding at all
    Values fails;     ///< just outside: this one finding and no other
    std::string message;
};

const std::string kSlip = ": no engineering material has that, a unit slip?";

// 5e-324 is the smallest positive double.
const RuleCase kRuleCases[] = {
    {"positive: the smallest positive value", "SIGXT=5e-324", "SIGXT=0",
     "SIGXT = 0 is not positive."},
    {"positive: every value that is not, named together", "EX=1e4, GYZ=1, C (Cp)=100",
     "EX=-1, GYZ=0, C (Cp)=-100", "EX = -1, GYZ = 0 and C (Cp) = -100 are not positive."},
    {"poisson-range: below 0.5", "NUXY=0.4999999", "NUXY=0.5",
     "NUXY = 0.5 is outside -1 < NUXY < 0.5 for an isotropic material."},
    {"poisson-range: above -1", "NUXY=-0.9999999", "NUXY=-1",
     "NUXY = -1 is outside -1 < NUXY < 0.5 for an isotropic material."},
    {"poisson-range: an orthotropic material is not held to it", "NUXY=0.7, EY=1e9", "NUXY=0.7",
     "NUXY = 0.7 is outside -1 < NUXY < 0.5 for an isotropic material."},
    {"orthotropic-stability: the determinant",
     "EX=1e9, EY=1e9, EZ=1e9, NUXY=0.499, NUYZ=0.499, NUXZ=0.499",
     "EX=1e9, EY=1e9, EZ=1e9, NUXY=0.5, NUYZ=0.5, NUXZ=0.5",
     "1 - NUXY*NUYX - NUYZ*NUZY - NUXZ*NUZX - 2*NUYX*NUZY*NUXZ = 0 is not positive (EX = "
     "1e+09, EY = 1e+09, EZ = 1e+09, NUXY = 0.5, NUYZ = 0.5, NUXZ = 0.5)."},
    {"orthotropic-stability: a ratio against sqrt(Ei/Ej)",
     "EX=4e9, EY=1e9, EZ=4e9, NUXY=-1.999, NUYZ=0, NUXZ=0",
     "EX=4e9, EY=1e9, EZ=4e9, NUXY=-2, NUYZ=0, NUXZ=0",
     "|NUXY| is not below sqrt(EX/EY) = 2; 1 - NUXY*NUYX - NUYZ*NUZY - NUXZ*NUZX - "
     "2*NUYX*NUZY*NUXZ = 0 is not positive (EX = 4e+09, EY = 1e+09, EZ = 4e+09, NUXY = -2, "
     "NUYZ = 0, NUXZ = 0)."},
    {"orthotropic-stability: the other pairs", "EX=1e9, EY=1e9, EZ=1e9, NUXY=0, NUYZ=0.999, NUXZ=0",
     "EX=1e9, EY=1e9, EZ=1e9, NUXY=0, NUYZ=0, NUXZ=1",
     "|NUXZ| is not below sqrt(EX/EZ) = 1; 1 - NUXY*NUYX - NUYZ*NUZY - NUXZ*NUZX - "
     "2*NUYX*NUZY*NUXZ = 0 is not positive (EX = 1e+09, EY = 1e+09, EZ = 1e+09, NUXY = 0, "
     "NUYZ = 0, NUXZ = 1)."},
    {"matrix-incomplete", Matrix(1), Matrix(1, {}, "MC66"),
     "The material matrix has 20 of its 21 values: MC66 is missing."},
    {"matrix-not-positive-definite", Matrix(1e9, "MC12=0.999e9"), Matrix(1e9, "MC12=1e9"),
     "The material matrix MC11..MC66 is not positive definite: its Cholesky factorisation "
     "fails in row 2 (MC22 = 1e+09)."},
    {"matrix-not-positive-definite: a negative last diagonal", Matrix(1, "MC66=5e-324"),
     Matrix(1, "MC66=-1"),
     "The material matrix MC11..MC66 is not positive definite: its Cholesky factorisation "
     "fails in row 6 (MC66 = -1)."},
    {"yield-above-strength", "SIGYLD=3e8, SIGXT=3e8", "SIGYLD=300000001, SIGXT=3e8",
     "SIGYLD = 300000001 is above SIGXT = 3e+08."},
    {"tangent-above-modulus: below EX", "ETAN=999999999, EX=1e9", "ETAN=1e9, EX=1e9",
     "ETAN = 1e+09 is not below EX = 1e+09."},
    {"tangent-above-modulus: not negative", "ETAN=0", "ETAN=-5e-324",
     "ETAN = -5e-324 is negative."},
    {"friction-angle: from 0", "FRCANG=0, COHESN=0", "FRCANG=-0.001",
     "FRCANG = -0.001 degrees is outside 0 <= FRCANG < 90."},
    {"friction-angle: below 90, and a cohesion that is negative", "FRCANG=89.999, COHESN=1",
     "FRCANG=90, COHESN=-1",
     "FRCANG = 90 degrees is outside 0 <= FRCANG < 90; COHESN = -1 is negative."},
    {"mooney-initial-shear", "MOONEY_A=1, MOONEY_B=-0.999", "MOONEY_A=1, MOONEY_B=-1",
     "The initial shear modulus 2*(MOONEY_A + MOONEY_B) = 0 is not positive (MOONEY_A = 1, "
     "MOONEY_B = -1)."},
    {"mooney-initial-shear: B alone", "MOONEY_B=1e-9", "MOONEY_B=-1e-9",
     "The initial shear modulus 2*(MOONEY_A + MOONEY_B) = -2e-09 is not positive (MOONEY_B = "
     "-1e-09)."},
    {"ogden-pairs", "MU1=1, ALPH1=2, MU3=1, ALPH3=2", "MU1=1, ALPH1=2, MU3=1, ALPH4=2",
     "MU3 = 1 has no ALPH3; ALPH4 = 2 has no MU4."},
    {"ogden-initial-shear", "MU1=1, ALPH1=2, MU2=-1, ALPH2=1.999",
     "MU1=1, ALPH1=2, MU2=-1, ALPH2=2",
     "The initial shear modulus 0.5*sum(MUi*ALPHi) = 0 is not positive (MU1 = 1, ALPH1 = 2, "
     "MU2 = -1, ALPH2 = 2)."},
    {"prony-time", "G1=0.5, TAUG1=5e-324, K8=0.1, TAUK8=1", "G1=0.5, TAUG1=0, K8=0.1",
     "G1 = 0.5 has no TAUG1 > 0 (TAUG1 = 0); K8 = 0.1 has no TAUK8 > 0."},
    {"prony-sum: shear", "G1=0.5, G3=0.4999, TAUG1=1, TAUG3=1", "G1=0.5, G3=0.5, TAUG1=1, TAUG3=1",
     "G1 + G3 = 1 is not below 1 (G1 = 0.5, G3 = 0.5)."},
    {"prony-sum: bulk", "K2=0.9999, TAUK2=1", "K2=1, TAUK2=1", "K2 = 1 is not below 1 (K2 = 1)."},
    {"wlf-constants", "VC1=1e-9, VC2=1e-9", "VC1=1e-9, VC2=0", "VC2 = 0 is not positive."},
    {"isotropic-consistency: above", "EX=2.6e9, NUXY=0.3, GXY=1.0199e9",
     "EX=2.6e9, NUXY=0.3, GXY=1.0201e9",
     "GXY = 1020100000 differs from EX/(2(1+NUXY)) = 1e+09 by 2.01%, more than 2% (EX = "
     "2.6e+09, NUXY = 0.3)."},
    {"isotropic-consistency: below", "EX=2.6e9, NUXY=0.3, GXY=0.9801e9",
     "EX=2.6e9, NUXY=0.3, GXY=0.9799e9",
     "GXY = 979900000 differs from EX/(2(1+NUXY)) = 1e+09 by 2.01%, more than 2% (EX = "
     "2.6e+09, NUXY = 0.3)."},
    {"range: density", "DENS=1", "DENS=0.999",
     "DENS = 0.999 Kgm/m^3 is outside 1 to 25000" + kSlip},
    {"range: moduli", "EX=1e4, EY=1.5e12, EZ=1e4", "EX=9999, EY=1.5000001e12, EZ=1e4",
     "EX = 9999 N/m^2 is outside 10000 to 1.5e+12; EY = 1500000100000 N/m^2 is outside 10000 to "
     "1.5e+12" +
         kSlip},
    {"range: expansion by magnitude", "ALPX=-1e-3, ALPY=1e-3", "ALPX=-1e-3, ALPZ=1.0001e-3",
     "|ALPZ| = 0.0010001 /Kelvin is above 0.001" + kSlip},
    {"range: conductivity", "KX=0.005, KY=5000, KZ=1", "KX=0.0049, KY=5000, KZ=5000.1",
     "KX = 0.0049 W/(m.K) is outside 0.005 to 5000; KZ = 5000.1 W/(m.K) is outside 0.005 to "
     "5000" +
         kSlip},
    {"range: specific heat", "C (Cp)=15000", "C (Cp)=99.9",
     "C (Cp) = 99.9 J/kgm.K is outside 100 to 15000" + kSlip},
};

class EachRule : public testing::TestWithParam<RuleCase> {};

TEST_P(EachRule, PassesJustInsideItsBoundAndFailsJustOutside) {
    const RuleCase& c = GetParam();
    SCOPED_TRACE(c.what);
    std::vector<std::string> passing;
    for (const Finding& f : checkMaterial(MaterialWith(c.passes)))
        passing.push_back(f.rule + ": " + f.message);
    EXPECT_EQ(passing, std::vector<std::string>{});

    // Only the plausibility of values warns; every other rule finds an error.
    const std::string rule = std::string(c.what).substr(0, std::string_view(c.what).find(':'));
    const bool warns = rule == "isotropic-consistency" || rule == "range";
    const std::vector<Finding> failing = checkMaterial(MaterialWith(c.fails));
    ASSERT_EQ(failing.size(), 1u);
    EXPECT_EQ(failing[0].rule, rule);
    EXPECT_EQ(failing[0].severity, warns ? Severity::Warning : Severity::Error);
    EXPECT_EQ(failing[0].message, c.message);

    // Unworded, in units or not, it is the same finding without its message.
    for (const char* units : {"", "IPS"}) {
        const std::vector<Finding> bare =
            checkMaterial(MaterialWith(c.fails), units, Wording::Unworded);
        ASSERT_EQ(bare.size(), 1u) << units;
        EXPECT_EQ(std::tie(bare[0].rule, bare[0].severity, bare[0].slots, bare[0].message),
                  std::tie(failing[0].rule, failing[0].severity, failing[0].slots, ""))
            << units;
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, EachRule, testing::ValuesIn(kRuleCases),
                         [](const testing::TestParamInfo<RuleCase>& param) {
                             return "Case" + std::to_string(param.index);
                         });

TEST(MaterialChecks, ReportsOneFindingPerRuleInRuleOrderWithTheRowsItInvolves) {
    // Breaks range, positive, tangent-above-modulus and yield-above-strength, listed here
    // in another order than the rules'.
    const std::vector<Finding> findings = checkMaterial(
        MaterialWith("DENS=1e6, ETAN=3e11, EX=2e11, SIGYLD=4e8, SIGXT=3e8, KX=-5, KY=0"));
    std::vector<std::pair<std::string, std::vector<int>>> got;
    for (const Finding& f : findings)
        got.emplace_back(f.rule, f.slots);
    const auto slot = [](const char* code) {
        return PropertyCatalogue::instance().findExact(code);
    };
    const std::vector<std::pair<std::string, std::vector<int>>> expected = {
        {"positive", {slot("KX"), slot("KY")}},
        {"yield-above-strength", {slot("SIGYLD"), slot("SIGXT")}},
        {"tangent-above-modulus", {slot("ETAN"), slot("EX")}},
        {"range", {slot("DENS")}},
    };
    EXPECT_EQ(got, expected);
    EXPECT_EQ(findingSummary(findings), "3 errors, 1 warning");

    std::vector<std::string_view> ids;
    for (const CheckRule& r : checkRules())
        ids.push_back(r.id);
    EXPECT_EQ(ids,
              (std::vector<std::string_view>{
                  "positive", "poisson-range", "orthotropic-stability", "matrix-incomplete",
                  "matrix-not-positive-definite", "yield-above-strength", "tangent-above-modulus",
                  "friction-angle", "mooney-initial-shear", "ogden-pairs", "ogden-initial-shear",
                  "prony-time", "prony-sum", "wlf-constants", "isotropic-consistency", "range"}));
}

// A library checked in runs on several threads gives its findings in number order, none
// lost where one run ends and the next begins; so does a check begun early and taken after
// other work, unworded. One never taken stops its helpers and waits for them.
TEST(MaterialChecks, ChecksALibraryInMaterialNumberOrder) {
    Library library;
    std::vector<std::pair<int, std::string>> expected;
    for (int n = 0; n < 1001; ++n) {
        library.addMaterial("Cat", "", "M" + std::to_string(n), "");
        library.setOriginalValue(n, Slot::DENS, n % 2 ? 1e6 : 0.0);
        expected.emplace_back(n, n % 2 ? "range" : "positive");
    }
    library.addMaterial("Cat", "", "Steel", "");
    library.setOriginalValue(1001, Slot::DENS, 7850.0);
    const auto said = [](const std::vector<LibraryFinding>& findings, bool worded) {
        std::vector<std::pair<int, std::string>> got;
        for (const LibraryFinding& f : findings) {
            got.emplace_back(f.material, f.finding.rule);
            EXPECT_EQ(f.finding.message.empty(), !worded);
        }
        return got;
    };
    EXPECT_EQ(said(checkLibrary(library), true), expected);
    LibraryCheck early(library, "", Wording::Unworded);
    std::this_thread::sleep_for(std::chrono::milliseconds(5)); // the caller's other work
    EXPECT_EQ(said(early.take(), false), expected);

    { LibraryCheck untaken(library); }
}

} // namespace
} // namespace mb::test
