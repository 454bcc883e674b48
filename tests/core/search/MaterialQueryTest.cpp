#include "MaterialQuery.h"

#include "CraftedLibrary.h"
#include "UnitConversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <random>
#include <utility>

namespace mb {
namespace {

// Texts padded as a file reader holds them, so matching has to look past the blanks.
// The last material holds an elastic modulus typed in IPS, as the grid stores one.
Library CraftedLibrary() {
    const double ipsModulus = clsUnitConversion().ChangeUnits("IPS", "SI", 0, 1.7E7);
    return test::Make({
        {"Steels    ",
         "Structural Steel S235  ",
         "S235",
         "Hot rolled",
         {{0, 2.1E11}, {4, 0.3}, {13, 7850}, {14, 460}}},
        {"Steels    ",
         "Stainless Steel 304  ",
         "SS304",
         "Austenitic, annealed",
         {{0, 1.93E11}, {3, -2E9}, {19, 16.2}}},
        {"Polymers    ", "Polycarbonate  ", "", "Two words apart", {{0, 2.4E9}, {117, 420}}},
        {"Aluminium Alloys    ",
         "Aluminium 6061  ",
         "AL6061",
         "T6 temper",
         {{0, 6.9E10}, {13, 2700}}},
        {"Composites    ", "Carbon/Epoxy  ", "CFRP", "two  words, two blanks", {{0, ipsModulus}}},
    });
}

struct Case {
    const char* query;
    std::vector<int> matches;
};

std::string RunQuery(Library& library, const char* query, std::string_view system,
                     std::string_view separator, std::vector<int>& found) {
    const QueryParse parsed = MaterialQuery::parse(query, system, separator);
    if (!parsed.query) return parsed.error;
    found = parsed.query->matchingMaterials(library);
    return "";
}

void ExpectMatches(std::initializer_list<Case> cases, std::string_view system = "SI",
                   std::string_view separator = ".") {
    Library library = CraftedLibrary();
    for (const Case& c : cases) {
        std::vector<int> found;
        EXPECT_EQ(RunQuery(library, c.query, system, separator, found), "") << c.query;
        EXPECT_EQ(found, c.matches) << c.query << " in " << system;
    }
}

TEST(MaterialQuery, WordsAndPhrasesOccurInAnyTextWhateverTheLetterCase) {
    ExpectMatches({
        {"", {0, 1, 2, 3, 4}},
        {"steel", {0, 1}},
        {"STEELS", {0, 1}}, // capitals that are no property code are a word
        {"s235", {0}},      // name and name code
        {"annealed", {1}},  // description
        {"alloys", {3}},    // category
        {"cfrp", {4}},      // name code alone
        {"steel 304", {1}}, // every word must occur
        {"steel polymer", {}},
        {"two words", {2, 4}},  // two words, anywhere
        {"\"two words\"", {2}}, // a phrase, blanks and all
        {"\"\"", {0, 1, 2, 3, 4}},
        {"rolled\"", {}}, // a quote inside a word is part of it
        {"carbon/epoxy", {4}},
    });
}

TEST(MaterialQuery, ConditionsCompareValuesAndACodeAloneAsksForOne) {
    ExpectMatches({
        {"EX", {0, 1, 2, 3, 4}},
        {"DENS", {0, 3}},
        {"C", {0}}, // the specific heat, written as the file writes it
        {"C>460", {}},
        {"C>=460", {0}},
        {"EX>200E9", {0}},
        {"EX<1E10", {2}},
        {"EX<=2.4E9", {2}},
        {"ETAN<0", {1}},
        {"ETAN>-3E9", {1}},
        {"EX=6.9E10", {3}},
        {"EX=6.900000001E10", {3}}, // a relative 1.4E-10 apart: equal
        {"EX=6.90000001E10", {}},   // a relative 1.4E-9 apart: different
        {"EX>6.900000001E10", {0, 1, 4}},
        {"EX<6.900000001E10", {2}},
        {"steel EX>200E9", {0}},
        {"steel DENS", {0}},
        {"EX > 200E9", {0}}, // blanks around the operator
        {"EX>200E9 EX<1E10", {}},
        {"REFTEMP=420", {2}},
    });
}

// Bare numbers are read in the shown system; what each system's unit is worth is pinned by
// the round-trip fixtures, which hold every property in all three.
TEST(MaterialQuery, NumbersAreInTheShownUnitSystem) {
    // 29E6 psi is just under 200E9 N/m^2: the same steels as in SI.
    ExpectMatches({{"EX>29E6", {0}}, {"EX=1.7E7", {4}}}, "IPS"); // the second as it was typed
    ExpectMatches({{"EX>2.1E6", {0}}, {"EX>2.2E6", {}}}, "MKS"); // Kgf/cm^2
}

// A number may carry a unit of its property's quantity, whatever system is shown (which unit
// gives which value is the typed units' test); a code before a comparison is read in any
// letter case, while one alone stays a word unless written as the file writes it. Numbers
// take the locale's comma as well as the point.
TEST(MaterialQuery, NumbersMayCarryAUnitAndCodesBeforeAComparisonAnyLetterCase) {
    for (const char* system : {"IPS", "SI", "MKS"}) {
        ExpectMatches({{"EX>200GPa", {0}},
                       {"ex>=2.1e11 Pa", {0}},
                       {"dens<3 g/cm3", {3}},
                       {"c>400 J/(kg.K)", {0}},
                       {"EX>200 GPa steel", {0}}},
                      system);
    }
    // A unit of another quantity after the number is a word of its own.
    ExpectMatches({{"DENS<3000 GPa", {}}, {"steel dens", {}}});
    ExpectMatches(
        {{"DENS<3,5 g/cm3", {3}}, {"EX>2,0E11", {0}}, {"EX>2.0E11", {0}}, {"KX=16,2", {1}}}, "SI",
        ",");
}

TEST(MaterialQuery, AMalformedQueryIsRefusedWithAMessageNamingTheBadPart) {
    const std::pair<const char*, const char*> refusals[] = {
        {"EX>>", "\"EX>>\": \">\" is not a number."},
        {"EX>200E9x", "\"EX>200E9x\": \"200E9x\" is not a number with a unit of EX (Pa, kPa, "
                      "MPa, GPa, bar, psi, ...)."},
        {"DENS>2GPa", "\"DENS>2GPa\": \"2GPa\" is not a number with a unit of DENS (kg/m^3, "
                      "g/cm^3, kg/cm^3, lb/in^3)."},
        {"EX>1E999", "\"EX>1E999\": \"1E999\" is not a number."},
        {"EX>2,0E11", "\"EX>2,0E11\": \"2,0E11\" is not a number."},
        {"EX=>5", "\"EX=>5\": \">5\" is not a number."},
        {"steel EX> steel", "\"EX> steel\": \"steel\" is not a number."},
        {"FOO>1", "\"FOO>1\": \"FOO\" is not a property code."},
        {"steel>1", "\"steel>1\": \"steel\" is not a property code."},
        {"C (Cp)>1", "\"(Cp)>1\": \"(Cp)\" is not a property code."},
        {"EX>", "\"EX>\": a number must follow \">\"."},
        {"EX <=", "\"EX <=\": a number must follow \"<=\"."},
        {">5", "\">5\": a property code must come before \">\"."},
        {"steel = 5", "\"= 5\": a property code must come before \"=\"."},
        {"steel \"two words", "The phrase \"two words has no closing quote."},
    };
    Library library = CraftedLibrary();
    for (const auto& [query, message] : refusals) {
        std::vector<int> found;
        EXPECT_EQ(RunQuery(library, query, "SI", ".", found), message) << query;
    }
}

// Whatever is typed into the find box, one keystroke at a time, is either a query or a
// refusal with a message; neither both nor none.
TEST(MaterialQuery, EveryTextIsEitherAQueryOrARefusalWithAMessage) {
    Library library = CraftedLibrary();
    const std::string alphabet = "EXC><=\"1.,-e \tsteel";
    std::mt19937 random(20261206);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 12);
        for (int i = 0; i < length; ++i)
            text += alphabet[random() % alphabet.size()];
        const QueryParse parsed = MaterialQuery::parse(text, "IPS", ",");
        ASSERT_NE(parsed.query.has_value(), !parsed.error.empty()) << text;
        if (parsed.query) {
            const std::vector<int> found = parsed.query->matchingMaterials(library);
            ASSERT_TRUE(std::is_sorted(found.begin(), found.end())) << text;
        } else {
            ASSERT_TRUE(parsed.error.ends_with(".")) << text << ": " << parsed.error;
        }
    }
}

} // namespace
} // namespace mb
