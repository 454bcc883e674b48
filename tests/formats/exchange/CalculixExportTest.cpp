// The CalculiX cards: which card each kind of material gets, the constants the solver's
// models need, the matrix order, the field width the solver reads, and everything a card
// cannot carry named as a comment and as an omission.
#include "CalculixExport.h"
#include "Library.h"
#include "PropertyCatalogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sstream>
#include <utility>

namespace mb {
namespace {

using Values = std::vector<std::pair<std::string, double>>;

Library OneMaterial(const Values& values) {
    Library library;
    library.addMaterial("Tests", "", "m", "");
    for (const auto& [code, value] : values)
        library.setOriginalValue(0, PropertyCatalogue::instance().findTolerant(code), value);
    return library;
}

/// The card of one material after its heading. Every omission must be a comment line of
/// the card as well.
std::string Card(const Values& values, std::vector<std::string>* omissions = nullptr) {
    const CalculixCards cards = exportCalculix(exportSelection(OneMaterial(values)));
    const std::string head = "** Materials in SI units: m, kg, s, N, K.\n** m (Tests)\n"
                             "*MATERIAL, NAME=M\n";
    EXPECT_EQ(cards.text.substr(0, head.size()), head);
    for (const ExportOmission& o : cards.omissions) {
        EXPECT_EQ(std::tuple(o.category, o.material), std::tuple("Tests", "m"));
        EXPECT_NE(cards.text.find("** " + o.what + "\n"), std::string::npos) << o.what;
        if (omissions) omissions->push_back(o.what);
    }
    return cards.text.substr(std::min(head.size(), cards.text.size()));
}

/// In the expected cards a comment that is also an omission starts with "!! ".
struct CardCase {
    const char* what;
    Values values;
    std::string card;
};

const std::string kDefaultBulk = ", for which CalculiX takes a bulk modulus of 20 times the "
                                 "initial shear modulus (Poisson's ratio 0.475).";
const std::string kOrthotropic = "*ELASTIC, TYPE=ENGINEERING CONSTANTS\n1, 2, 3, 0.1, 0.2, 0.3, "
                                 "4, 5\n6\n";
const Values kOrthotropicValues = {{"EX", 1},     {"EY", 2},     {"EZ", 3},
                                   {"NUXY", 0.1}, {"NUXZ", 0.2}, {"NUYZ", 0.3},
                                   {"GXY", 4},    {"GXZ", 5},    {"GYZ", 6}};

Values With(Values values, const Values& more) {
    values.insert(values.end(), more.begin(), more.end());
    return values;
}

const CardCase kCases[] = {
    // GXY within 2 % of EX/(2(1+NUXY)) = 8.077e10 is the one the card implies.
    {"isotropic with all it may have",
     {{"EX", 2.1e11},
      {"NUXY", 0.3},
      {"GXY", 8.1e10},
      {"DENS", 7850},
      {"C (Cp)", 460},
      {"ALPX", 1.2e-5},
      {"KX", 50}},
     "*ELASTIC\n2.1e11, 0.3\n*DENSITY\n7850\n*EXPANSION\n1.2e-5\n*CONDUCTIVITY\n50\n"
     "*SPECIFIC HEAT\n460\n"},
    {"a shear modulus the isotropic card cannot hold",
     {{"EX", 2.6}, {"NUXY", 0.3}, {"GXY", 2}},
     "*ELASTIC\n2.6, 0.3\n!! GXY = 2 is not written: an isotropic card takes EX and NUXY, "
     "which give GXY = 1.\n"},
    {"orthotropic, with thermal values in all three directions",
     With(kOrthotropicValues,
          {{"ALPX", 1}, {"ALPY", 2}, {"ALPZ", 3}, {"KX", 4}, {"KY", 5}, {"KZ", 6}}),
     kOrthotropic + "*EXPANSION, TYPE=ORTHO\n1, 2, 3\n*CONDUCTIVITY, TYPE=ORTHO\n4, 5, 6\n"},
    {"directions missing from the thermal cards",
     With(kOrthotropicValues, {{"ALPX", 1}, {"ALPZ", 3}, {"KY", 2}}),
     kOrthotropic + "!! *EXPANSION is not written: ALPX and ALPZ are given, but not ALPY.\n"
                    "!! *CONDUCTIVITY is not written: KY is given, but not KX and KZ.\n"},
    {"orthotropic constants missing",
     {{"EX", 1}, {"EY", 2}},
     "!! *ELASTIC is not written: the orthotropic constants lack EZ, NUXY, NUXZ, NUYZ, GXY, GXZ "
     "and GYZ.\n"},
    // Plasticity only over the elasticity CalculiX combines it with.
    // H = EX ETAN/(EX - ETAN) = 200: (SIGYLD + H, 1).
    {"bilinear hardening",
     {{"EX", 200}, {"NUXY", 0.25}, {"ETAN", 100}, {"SIGYLD", 1}},
     "*ELASTIC\n200, 0.25\n*PLASTIC\n1, 0\n201, 1\n"},
    {"over an orthotropic card, perfectly plastic", With(kOrthotropicValues, {{"SIGYLD", 5}}),
     kOrthotropic + "*PLASTIC\n5, 0\n"},
    {"a tangent modulus above EX",
     {{"EX", 100}, {"NUXY", 0.25}, {"ETAN", 100}, {"SIGYLD", 1}},
     "*ELASTIC\n100, 0.25\n!! *PLASTIC (SIGYLD and ETAN) is not written: the bilinear "
     "hardening needs EX above ETAN.\n"},
    {"no elasticity to yield from",
     {{"SIGYLD", 5}, {"EX", 5}},
     "!! *ELASTIC is not written: NUXY is missing, and EX alone makes no isotropic card.\n"
     "!! *PLASTIC (SIGYLD) is not written: CalculiX takes plasticity only after an *ELASTIC "
     "card, and this material has none.\n"},
    {"over the anisotropic matrix, with an EX no card takes",
     {{"MC11", 5}, {"SIGYLD", 1}, {"ETAN", 1}, {"EX", 5}},
     "*ELASTIC, TYPE=ANISO\n5, 0, 0, 0, 0, 0, 0, 0\n0, 0, 0, 0, 0, 0, 0, 0\n0, 0, 0, 0, 0\n"
     "!! *PLASTIC (SIGYLD and ETAN) is not written: CalculiX takes plasticity only over "
     "isotropic or orthotropic elasticity, not over the anisotropic matrix.\n"
     "!! EX is not written: no card of this material takes it.\n"},
    // Hyperelastic constants as the curve engine reads them.
    // D1 = 2/K0 with K0 = EX/(3(1 - 2 NUXY)) = 10/1.5.
    {"over a hyperelastic model",
     {{"MOONEY_A", 1}, {"MOONEY_B", 2}, {"EX", 10}, {"NUXY", 0.25}, {"SIGYLD", 1}},
     "*HYPERELASTIC, MOONEY-RIVLIN\n1, 2, 0.3\n!! *PLASTIC (SIGYLD) is not written: CalculiX "
     "takes plasticity only over isotropic or orthotropic elasticity, not over a hyperelastic "
     "model.\n"},
    // mu0 = 2 (C10 + C01) = 6, K0 = 2 mu0 (1 + NUXY)/(3 (1 - 2 NUXY)) = 10.
    {"Mooney-Rivlin of three constants, D1 from NUXY and the initial shear modulus",
     {{"MOONEY_A", 1}, {"MOONEY_B", 2}, {"MOONEY_C", 3}, {"NUXY", 0.25}},
     "** C10, C01, C20, C11, C02 are MOONEY_A to MOONEY_E; D2 is 0.\n"
     "*HYPERELASTIC, POLYNOMIAL, N=2\n1, 2, 3, 0, 0, 0.2, 0\n"},
    {"Mooney-Rivlin of six constants",
     {{"MOONEY_A", 1},
      {"MOONEY_B", 2},
      {"MOONEY_C", 3},
      {"MOONEY_D", 4},
      {"MOONEY_E", 5},
      {"MOONEY_F", 6},
      {"EX", 10},
      {"NUXY", 0.25}},
     "** C10, C01, C20, C11, C02, C30 are MOONEY_A to MOONEY_F; C21, C12, C03, D2 and D3 are "
     "0.\n*HYPERELASTIC, POLYNOMIAL, N=3\n1, 2, 3, 4, 5, 6, 0, 0\n0, 0.3, 0, 0\n"},
    {"Mooney-Rivlin whose higher constants are all 0",
     {{"MOONEY_A", 1},
      {"MOONEY_B", 2},
      {"MOONEY_D", 0},
      {"MOONEY_F", 0},
      {"EX", 10},
      {"NUXY", 0.25}},
     "*HYPERELASTIC, MOONEY-RIVLIN\n1, 2, 0.3\n"},
    {"Mooney-Rivlin without MOONEY_A",
     {{"MOONEY_B", 2}, {"MOONEY_C", 1}, {"DENS", 1100}},
     "!! *HYPERELASTIC is not written: the Mooney-Rivlin model needs MOONEY_A.\n"
     "*DENSITY\n1100\n"},
    // mu_i = MUi ALPHi / 2: 2, 5 and 9.
    {"Ogden of three terms without NUXY",
     {{"MU1", 1}, {"MU2", 2}, {"MU3", 3}, {"ALPH1", 4}, {"ALPH2", 5}, {"ALPH3", 6}},
     "!! NUXY is missing: D1 is written as 0" + kDefaultBulk +
         "\n** mu_i = MUi*ALPHi/2, alpha_i = ALPHi: the stress and the initial shear modulus "
         "0.5*sum(MUi*ALPHi) of the library; D2 and D3 are 0.\n"
         "*HYPERELASTIC, OGDEN, N=3\n2, 4, 5, 5, 9, 6, 0, 0\n0\n"},
    // A term of MU 0 adds nothing; mu0 = 1 and K0 = 2 (1.25)/1.5.
    {"Ogden with a term that adds nothing",
     {{"MU1", 1}, {"ALPH1", 2}, {"MU2", 0}, {"ALPH2", 3}, {"NUXY", 0.25}},
     "** mu_i = MUi*ALPHi/2, alpha_i = ALPHi: the stress and the initial shear modulus "
     "0.5*sum(MUi*ALPHi) of the library.\n*HYPERELASTIC, OGDEN, N=1\n1, 2, 1.2\n"},
    {"Ogden with half a pair",
     {{"MU1", 1}, {"ALPH1", 2}, {"MU2", 1}},
     "!! *HYPERELASTIC is not written: the Ogden model lacks ALPH2.\n"},
    {"Ogden whose terms all add nothing",
     {{"MU1", 0}, {"ALPH1", 2}, {"MU2", 1}, {"ALPH2", 0}},
     "!! *HYPERELASTIC is not written: every Ogden term has MUi*ALPHi = 0.\n"},
    {"NUXY of an incompressible material",
     {{"MOONEY_A", 1}, {"MOONEY_B", 1}, {"NUXY", 0.5}},
     "!! NUXY = 0.5 and the initial shear modulus 4 give no finite positive bulk modulus: D1 is "
     "written as 0" +
         kDefaultBulk + "\n*HYPERELASTIC, MOONEY-RIVLIN\n1, 1, 0\n"},
    // K0 = 1e6 / (3 * 2e-7): D1 = 1.2e-12, which CalculiX would not keep.
    {"a D1 below what CalculiX keeps",
     {{"MOONEY_A", 1e5}, {"MOONEY_B", 0}, {"EX", 1e6}, {"NUXY", 0.4999999}},
     "!! D1 = 2/K0 = 1.2e-12 is below the 1e-10 that CalculiX takes: it replaces it by its "
     "default bulk modulus of 20 times the initial shear modulus (Poisson's ratio 0.475).\n"
     "*HYPERELASTIC, MOONEY-RIVLIN\n1e5, 0, 1.20000000003451e-12\n"},
    // Whatever no card takes is named.
    {"Prony series, shift, strengths and friction",
     {{"EX", 7},
      {"NUXY", 0.3},
      {"G1", 0.5},
      {"TAUG1", 1},
      {"K8", 0.1},
      {"VC1", 17},
      {"REFTEMP", 420},
      {"SIGXT", 5},
      {"COHESN", 1},
      {"FRCANG", 30}},
     "*ELASTIC\n7, 0.3\n!! The Prony series (G, K, TAUG, TAUK) is not written: CalculiX takes "
     "no viscoelasticity from a material card.\n!! REFTEMP and VC1 are not written: CalculiX "
     "takes no time-temperature shift from a material card.\n!! SIGXT is not written: CalculiX "
     "material cards hold no strengths.\n!! COHESN and FRCANG are not written: CalculiX has no "
     "Drucker-Prager model for a material card.\n"},
    {"the Mooney-Rivlin model chosen over Ogden constants",
     {{"MOONEY_A", 1}, {"MOONEY_B", 2}, {"MU1", 1}, {"ALPH1", 2}, {"EX", 10}, {"NUXY", 0.25}},
     "*HYPERELASTIC, MOONEY-RIVLIN\n1, 2, 0.3\n!! ALPH1 and MU1 are not written: no card of "
     "this material takes them.\n"},
};

TEST(CalculixExport, EachKindOfMaterialGetsItsCardsOrSaysWhyNot) {
    for (const CardCase& c : kCases) {
        SCOPED_TRACE(c.what);
        std::string card;
        std::vector<std::string> omissions, expected;
        std::istringstream lines(c.card);
        for (std::string line; std::getline(lines, line);) {
            if (line.starts_with("!! ")) expected.push_back(line.substr(3));
            card += (line.starts_with("!! ") ? "** " + line.substr(3) : line) + "\n";
        }
        EXPECT_EQ(Card(c.values, &omissions), card);
        EXPECT_EQ(omissions, expected);
    }
}

// The matrix is kept as x, y, z, xy, yz, xz; the solver's order is 11, 22, 33, 12, 13, 23
// column by column: D1111, D1122, D2222, D1133, D2233, D3333, D1112, ... D2323.
TEST(CalculixExport, ReordersTheMatrixToTheSolversOrder) {
    Values values;
    for (int i = 1; i <= 6; ++i)
        for (int j = i; j <= 6; ++j)
            values.push_back({"MC" + std::to_string(i) + std::to_string(j), i * 10 + j});
    EXPECT_EQ(Card(values), "*ELASTIC, TYPE=ANISO\n"
                            "11, 12, 22, 13, 23, 33, 14, 24\n"
                            "34, 44, 16, 26, 36, 46, 66, 15\n"
                            "25, 35, 45, 56, 55\n");
}

TEST(CalculixExport, MakesNamesTheSolverTakesAndKeepsThemApart) {
    std::set<std::string> taken;
    const std::pair<std::string, std::string> cases[] = {
        {"Steel S235 (hot)", "STEEL_S235_HOT"},
        {"steel s235 hot", "STEEL_S235_HOT_2"},
        {"   ", "MATERIAL"},
        {"\xE9t\xE9", "T"},
        {std::string(90, 'a'), std::string(80, 'A')},
        {std::string(85, 'a'), std::string(78, 'A') + "_2"},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(calculixName(name, taken), expected) << name;
}

/// A field as CalculiX reads it: its first 20 characters as a number.
double AsTheSolverReads(const std::string& field) {
    return std::strtod(field.substr(0, kCalculixFieldWidth).c_str(), nullptr);
}

void ExpectReadBack(double value, const std::string& text) {
    EXPECT_LE(text.size(), kCalculixFieldWidth) << value;
    EXPECT_LE(std::abs(AsTheSolverReads(text) - value), 1e-12 * std::abs(value))
        << text << " for " << value;
}

TEST(CalculixNumber, IsTheShortestTextThatFitsElseTheMostDigitsThatDo) {
    const std::pair<double, std::string> cases[] = {
        {4.0000000000000034e-08, "4.000000000000003e-8"},
        {-4.0000000000000034e-08, "-4.00000000000000e-8"},
        {0.30000000000000004, "0.30000000000000004"},
        {1.2345678901234567e-300, "1.2345678901235e-300"},
        {-1.2345678901234567e-300, "-1.234567890123e-300"},
        {123456789012345680000.0, "1.234567890123457e20"},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(calculixNumber(value), expected) << value;
        ExpectReadBack(value, expected);
    }
    // Any double at all, from its bits.
    std::mt19937_64 bits(20);
    for (int i = 0; i < 100000; ++i) {
        const std::uint64_t b = bits();
        double value = 0;
        std::memcpy(&value, &b, sizeof value);
        if (std::isfinite(value)) ExpectReadBack(value, calculixNumber(value));
    }
}

} // namespace
} // namespace mb
