#include "LibraryDiff.h"

#include "CraftedLibrary.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

namespace mb {
namespace {

using test::Make;

std::vector<std::string> Lines(const LibraryComparison& c) {
    std::vector<std::string> lines;
    for (const LibraryDifference& d : c.differences)
        lines.push_back(d.line());
    return lines;
}

TEST(LibraryDiff, DifferencesComeInTheNewOrderThenTheRemovedOnesEachMaterialInAFixedOrder) {
    Library before = Make({
        {"Steels    ", "Gone  ", "G", "", {}},
        {"Steels    ", "Structural Steel  ", "S235", "Hot rolled", {{0, 2.1E11}, {13, 7850}}},
        {"Steels    ", "Also gone  ", "", "", {}},
        {"Polymers    ", "Polycarbonate  ", "PC", "  clear  ", {{14, 1200}, {117, 420}}},
    });
    Library after = Make({
        {"Polymers    ", "polycarbonate", "PC", "clear", {{14, 1200}, {117, 420}}},
        {"New    ", "Fresh  ", "", "", {{0, 1}}},
        {"Structural    ", " STRUCTURAL STEEL ", "S275", "Cold rolled", {{0, 2.05E11}, {4, 0.3}}},
    });
    const LibraryComparison c = compareLibraries(before, after);
    EXPECT_EQ(Lines(c), (std::vector<std::string>{
                            "added\tNew\tFresh",
                            "moved\tSTRUCTURAL STEEL\tSteels\tStructural",
                            "namecode\tSTRUCTURAL STEEL\tS235\tS275",
                            "description\tSTRUCTURAL STEEL\tHot rolled\tCold rolled",
                            "value\tSTRUCTURAL STEEL\tEX\t21000E7\t20500E7",
                            "value\tSTRUCTURAL STEEL\tNUXY\t-\t300000E-6",
                            "value\tSTRUCTURAL STEEL\tDENS\t7850000E-3\t-",
                            "removed\tSteels\tGone",
                            "removed\tSteels\tAlso gone",
                        }));
    // What a window needs to take a difference over into the open library.
    const LibraryDifference& value = c.differences[4];
    EXPECT_EQ(std::make_tuple(value.oldNumber, value.newNumber, value.slot),
              std::make_tuple(1, 2, 0));
    EXPECT_EQ(std::tie(value.hadValue, value.oldValue, value.hasValue, value.newValue),
              std::make_tuple(true, 2.1E11, true, 2.05E11));
    EXPECT_EQ(c.differences[0].newNumber, 1);
    EXPECT_EQ(c.differences[7].oldNumber, 0);
    EXPECT_TRUE(c.oldRepeatedNames.empty() && c.newRepeatedNames.empty());
}

TEST(LibraryDiff, ARepeatedNameIsComparedByItsFirstMaterialAndNamedOnce) {
    Library before = Make({{"C", "Twin", "", "", {{0, 1}}}, {"C", "twin ", "", "", {{0, 2}}}});
    Library after = Make({{"C", "Twin", "", "", {{0, 1}}},
                          {"C", "TWIN", "", "", {{0, 3}}},
                          {"C", "Twin", "", "", {{0, 4}}}});
    const LibraryComparison c = compareLibraries(before, after);
    EXPECT_TRUE(c.differences.empty()) << Lines(c).front();
    EXPECT_EQ(c.oldRepeatedNames, std::vector<std::string>{"Twin"});
    EXPECT_EQ(c.newRepeatedNames, std::vector<std::string>{"Twin"});
}

TEST(LibraryDiff, ValuesThatTheFileTextCannotTellApartArePrintedInFull) {
    EXPECT_EQ(exactNumberText(2.1E11), "21000E7");
    EXPECT_EQ(exactNumberText(0), "0E0");
    EXPECT_EQ(exactNumberText(-0.5), "-50000E-5");
    EXPECT_EQ(exactNumberText(210000000001.0), "210000000001");
    EXPECT_EQ(exactNumberText(0.123456789), "0.123456789");
    Library before = Make({{"C", "M", "", "", {{0, 2.00000001E11}}}});
    Library after = Make({{"C", "M", "", "", {{0, 2.00000002E11}}}});
    EXPECT_EQ(Lines(compareLibraries(before, after)),
              std::vector<std::string>{"value\tM\tEX\t200000001000\t200000002000"});
}

} // namespace
} // namespace mb
