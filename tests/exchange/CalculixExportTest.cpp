// The CalculiX cards: which card each kind of material gets, the matrix order, and the
// comment for what the solver cannot take.
#include "CalculixExport.h"
#include "Library.h"
#include "PropertyCatalogue.h"

#include <gtest/gtest.h>

#include <utility>

namespace mb {
namespace {

std::string Card(const std::vector<std::pair<std::string, double>>& values) {
    Library library;
    library.AddMaterial("Tests", "", "m", "");
    for (const auto& [code, value] : values)
        library.SetOriginalValue(0, PropertyCatalogue::instance().FindTolerant(code), value);
    const std::string text = ExportCalculix(ExportSelection(library));
    const std::string head = "** Materials in SI units: m, kg, s, N, K.\n** m (Tests)\n"
                             "*MATERIAL, NAME=M\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    return text.substr(std::min(head.size(), text.size()));
}

TEST(CalculixExport, WritesTheCardsTheValuesGive) {
    const std::pair<std::vector<std::pair<std::string, double>>, std::string> cases[] = {
        {{{"EX", 2.1e11},
          {"NUXY", 0.3},
          {"GXY", 8.1e10},
          {"DENS", 7850},
          {"C (Cp)", 460},
          {"ALPX", 1.2e-5},
          {"KX", 50}},
         "*ELASTIC\n2.1e+11, 0.3\n*DENSITY\n7850\n*EXPANSION\n1.2e-05\n*CONDUCTIVITY\n50\n"
         "*SPECIFIC HEAT\n460\n"},
        {{{"EX", 1},
          {"EY", 2},
          {"EZ", 3},
          {"NUXY", 0.1},
          {"NUXZ", 0.2},
          {"NUYZ", 0.3},
          {"GXY", 4},
          {"GXZ", 5},
          {"GYZ", 6},
          {"ALPX", 1},
          {"ALPZ", 3},
          {"KY", 2}},
         "*ELASTIC, TYPE=ENGINEERING CONSTANTS\n1, 2, 3, 0.1, 0.2, 0.3, 4, 5\n6\n"
         "*EXPANSION, TYPE=ORTHO\n1, 1, 3\n*CONDUCTIVITY, TYPE=ORTHO\n0, 2, 0\n"},
        {{{"EX", 1}, {"EY", 2}},
         "** *ELASTIC is not written: the orthotropic constants have "
         "no EZ.\n"},
        {{{"EX", 200}, {"ETAN", 100}, {"SIGYLD", 1}}, "*ELASTIC\n200, 0\n*PLASTIC\n1, 0\n201, 1\n"},
        {{{"EX", 100}, {"ETAN", 100}, {"SIGYLD", 1}},
         "*ELASTIC\n100, 0\n** *PLASTIC is not written: the bilinear hardening needs EX above "
         "ETAN.\n"},
        {{{"SIGYLD", 5}}, "*PLASTIC\n5, 0\n"},
        // D1 = 2/K0, K0 = EX/(3(1-2 NUXY)) = 10/(3*0.5).
        {{{"MOONEY_A", 1}, {"MOONEY_B", 2}, {"MOONEY_C", 3}, {"EX", 10}, {"NUXY", 0.25}},
         "** MOONEY_C to MOONEY_F are not written: CalculiX's Mooney-Rivlin model takes two "
         "constants.\n*HYPERELASTIC, MOONEY-RIVLIN\n1, 2, 0.3\n"},
        {{{"MU1", 1}, {"MU2", 2}, {"MU3", 3}, {"ALPH1", 4}, {"ALPH2", 5}, {"ALPH3", 6}},
         "*HYPERELASTIC, OGDEN, N=3\n1, 4, 2, 5, 3, 6, 0, 0\n0\n"},
        {{{"MU1", 1}, {"ALPH1", 2}, {"MU4", 3}, {"EX", 7}},
         "** The Ogden fit of 4 terms is not written: CalculiX takes at most 3.\n*ELASTIC\n7, "
         "0\n"},
        {{{"G1", 0.5}, {"TAUG1", 1}, {"EX", 7}},
         "*ELASTIC\n7, 0\n** The Prony series (G, K, TAUG, TAUK) is not written: CalculiX "
         "cannot take it from a material card.\n"},
    };
    for (const auto& [values, expected] : cases)
        EXPECT_EQ(Card(values), expected) << expected;
}

// The matrix is kept as x, y, z, xy, yz, xz; the solver's order is 11, 22, 33, 12, 13, 23
// column by column: D1111, D1122, D2222, D1133, D2233, D3333, D1112, ... D2323.
TEST(CalculixExport, ReordersTheMatrixToTheSolversOrder) {
    std::vector<std::pair<std::string, double>> values;
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
        EXPECT_EQ(CalculixName(name, taken), expected) << name;
}

} // namespace
} // namespace mb
