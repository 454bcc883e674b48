#include "LibraryMerge.h"

#include "LargestLibrary.h"
#include "LibraryDiff.h"
#include "LibraryFile.h"
#include "MaterialValues.h"
#include "PropertyCatalogue.h"
#include "TextUtil.h"

#include <gtest/gtest.h>

#include <array>
#include <numeric>
#include <random>
#include <set>

namespace mb {
namespace {

constexpr int EX = 0;

std::vector<std::string_view> Split(std::string_view text, char at) {
    std::vector<std::string_view> parts;
    for (std::size_t from = 0, to; from <= text.size(); from = to + 1) {
        to = std::min(text.find(at, from), text.size());
        parts.push_back(trimBlanks(text.substr(from, to - from)));
    }
    return parts;
}

// "Category/Name/Code/Description/EX=2.1E11,DENS=7850; ...": texts padded as a read library
// holds them, so that only trimmed texts can match.
Library Make(std::string_view text) {
    Library library;
    library.clear();
    for (std::string_view material : Split(text, ';')) {
        if (material.empty()) continue;
        const auto f = Split(material, '/');
        const LibraryEntry e{std::string(f[0]) + "    ", std::string(f[2]),
                             std::string(f[1]) + "  ", std::string(f[3])};
        clsMaterial record = recordWithTexts(clsMaterial("SI"), e);
        for (const auto& [code, si] : test::Values(std::string(f[4]).c_str()))
            record.setSlotValue(PropertyCatalogue::instance().findExact(code), si);
        library.addMaterial(e, record, record);
    }
    return library;
}

// Material by material, in number order: what a user would see differ.
std::vector<std::string> Shown(Library&& library) {
    std::vector<std::string> lines;
    for (int i = 0; i < library.materialCount(); ++i) {
        const LibraryEntry& e = library.entry(i);
        std::string s;
        for (const std::string* t : {&e.Category, &e.Name, &e.NameCode, &e.Description})
            s.append(trimBlanks(*t)).append("/");
        const clsMaterial& r = library.material(i);
        for (int slot = 0; slot < kVisitedSlots; ++slot)
            if (r.HasValue(slot))
                s += PropertyCatalogue::instance().PropCode(slot) + "=" +
                     exactNumberText(r.slotValue(slot)) + " ";
        lines.push_back(s);
    }
    return lines;
}

std::string Lines(const MergeResult& r) {
    std::string lines;
    for (const MergeConflict& c : r.conflicts)
        lines += c.line() + "\n";
    return lines;
}

struct Case {
    const char *base, *ours, *theirs, *merged;
    const char* conflicts = ""; // the lines, each ending in a line break
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << "ours " << c.ours << ", theirs " << c.theirs;
}

class Merges : public testing::TestWithParam<Case> {};

TEST_P(Merges, TakeEveryEditAndReportWhatClashes) {
    const Case& c = GetParam();
    Library base = Make(c.base), ours = Make(c.ours), theirs = Make(c.theirs);
    MergeResult r = mergeLibraries(base, ours, theirs);
    EXPECT_EQ(Shown(std::move(r.merged)), Shown(Make(c.merged)));
    EXPECT_EQ(Lines(r), c.conflicts);
    // The other way round every clean edit lands the same; only the conflicts' choice turns.
    if (*c.conflicts == '\0') {
        Library expected = Make(c.merged);
        MergeResult mirrored = mergeLibraries(base, theirs, ours);
        EXPECT_TRUE(compareLibraries(mirrored.merged, expected).differences.empty());
    }
}

#define STEEL "Steels/Steel/S235/Hot rolled/EX=2.1E11,DENS=7850;"
#define ALU "Metals/Alu/AL/Plate/EX=7E10;"
#define PC "Polymers/PC/PC/clear/DENS=1200;"
#define BRASS "Metals/Brass///EX=1E11;"

INSTANTIATE_TEST_SUITE_P(
    Cases, Merges,
    testing::Values(
        // One side's changed text, removed value, removed material.
        Case{STEEL ALU PC, STEEL ALU PC,
             "Steels/Steel/S235/Cold/EX=2.1E11; Metals/Alu/AL2/Plate/EX=7E10",
             "Steels/Steel/S235/Cold/EX=2.1E11; Metals/Alu/AL2/Plate/EX=7E10"},
        // Edits of other properties both land, the same edit once.
        Case{STEEL ALU,
             "Steels/Steel/S235/Hot rolled/EX=2E11,DENS=7850;"
             "Metals/Alu/AL/Plate/EX=7E10,DENS=2700",
             "Steels/Steel/S235/Hot rolled/EX=2E11,DENS=7850,NUXY=0.3;"
             "Metals/Alu/AL/Plate/EX=7E10,DENS=2700",
             "Steels/Steel/S235/Hot rolled/EX=2E11,DENS=7850,NUXY=0.3;"
             "Metals/Alu/AL/Plate/EX=7E10,DENS=2700"},
        // An addition goes after what precedes it in theirs.
        Case{STEEL ALU PC, STEEL ALU PC "Metals/Zinc///", STEEL ALU BRASS PC,
             STEEL ALU BRASS PC "Metals/Zinc///"},
        // Renamed on one side, edited on the other.
        Case{STEEL ALU, "Steels/Steel/S235/Hot rolled/EX=2.1E11,DENS=7850,NUXY=0.3;" ALU,
             ALU "Steels/Steel S235/S235/Hot rolled/EX=2.1E11,DENS=7850",
             "Steels/Steel S235/S235/Hot rolled/EX=2.1E11,DENS=7850,NUXY=0.3;" ALU},
        // Moved on one side, edited on the other: after its predecessor in theirs.
        Case{STEEL ALU PC, "Steels/Steel/S235/Hot rolled/EX=2.1E11,DENS=7850,NUXY=0.3;" ALU PC,
             ALU PC "Structural/Steel/S235/Hot rolled/EX=2.1E11,DENS=7850",
             ALU PC "Structural/Steel/S235/Hot rolled/EX=2.1E11,DENS=7850,NUXY=0.3"},
        // Names differing in case and blanks are one material; one added alike on both, once.
        Case{STEEL, "Steels/ STEEL/S235/Hot rolled/EX=2.1E11,DENS=7850;" BRASS,
             "Steels/Steel/S235/Hot rolled/EX=2.1E11,DENS=7850,NUXY=0.3;" BRASS,
             "Steels/STEEL/S235/Hot rolled/EX=2.1E11,DENS=7850,NUXY=0.3;" BRASS},
        Case{STEEL, "Steels/Steel/S235/Hot rolled/EX=2E11,DENS=7850",
             "Steels/Steel/S235/Hot rolled/DENS=7850",
             "Steels/Steel/S235/Hot rolled/EX=2E11,DENS=7850",
             "conflict\tSteel\tEX\t21000E7\t20000E7\t-\n"},
        // Texts, category and name set differently, in that order.
        Case{STEEL, "A/Steel 1/X1/d1/EX=2.1E11,DENS=7850", "B/Steel 2/X2/d2/EX=2.1E11,DENS=7850",
             "A/Steel 1/X1/d1/EX=2.1E11,DENS=7850",
             "conflict\tSteel 1\tNAME\tSteel\tSteel 1\tSteel 2\n"
             "conflict\tSteel 1\tCATEGORY\tSteels\tA\tB\n"
             "conflict\tSteel 1\tNAMECODE\tS235\tX1\tX2\n"
             "conflict\tSteel 1\tDESCRIPTION\tHot rolled\td1\td2\n"},
        // Removed on one side, edited on the other: ours's choice stands either way.
        Case{STEEL ALU, STEEL, STEEL "Metals/Alu/AL/Plate/EX=7.1E10", STEEL,
             "conflict\tAlu\tMATERIAL\tMetals\t-\tMetals\n"},
        Case{STEEL ALU, STEEL "Metals/Alu/AL/Plate/EX=7.1E10", STEEL,
             STEEL "Metals/Alu/AL/Plate/EX=7.1E10", "conflict\tAlu\tMATERIAL\tMetals\tMetals\t-\n"},
        Case{STEEL, STEEL BRASS, STEEL "Alloys/Brass///EX=1E11", STEEL BRASS,
             "conflict\tBrass\tMATERIAL\t-\tMetals\tAlloys\n"},
        // A name theirs gives, or adds, that ours gave another material by a rename.
        Case{STEEL ALU, STEEL "Metals/Brass/AL/Plate/EX=7E10",
             "Steels/brass/S235/Hot rolled/EX=2.1E11,DENS=7850;" ALU PC,
             STEEL "Metals/Brass/AL/Plate/EX=7E10;" PC,
             "conflict\tSteel\tNAME\tSteel\tSteel\tbrass\n"},
        Case{ALU, "Metals/Brass/AL/Plate/EX=7E10", ALU BRASS, "Metals/Brass/AL/Plate/EX=7E10",
             "conflict\tBrass\tMATERIAL\t-\tMetals\tMetals\n"}));

TEST(LibraryMerge, AMergePastTheLimitLeavesOutTheLastOfTheirAdditions) {
    std::string base;
    for (int i = 0; i < kMaxMaterials - 2; ++i)
        base += "C/M" + std::to_string(i) + "///EX=" + std::to_string(i + 1) + ";";
    Library b = Make(base), o = Make(base + "C/Ours 1///; C/Ours///"),
            t = Make(base + "C/Theirs 1///; D/Theirs 2///");
    MergeResult r = mergeLibraries(b, o, t);
    EXPECT_EQ(r.merged.materialCount(), kMaxMaterials);
    EXPECT_EQ(trimBlanks(r.merged.entry(kMaxMaterials - 1).Name), "Ours");
    EXPECT_EQ(Lines(r), "conflict\tTheirs 1\tLIMIT\t-\t-\tC\n"
                        "conflict\tTheirs 2\tLIMIT\t-\t-\tD\n");
}

TEST(LibraryMerge, AConflictLineEscapesWhatWouldBreakItsFields) {
    const MergeConflict c{"A\tB\\C", "DESCRIPTION", "x\ny", "-", "\r"};
    EXPECT_EQ(c.line(), "conflict\tA\\tB\\\\C\tDESCRIPTION\tx\\ny\t-\t\\r");
}

// Two branches edit the largest library, never the same thing: structural edits take
// materials no other edit touches, value edits pairs of other slots of one material.
struct Edit {
    int kind = 0; // 0 value, 1 no value, 2 description, 3 rename, 4 move, 5 remove, 6 add
    std::string name, text;
    int slot = 0;
    double si = 0;
};
using Change = void (*)(Library&, int, const Edit&);
constexpr Change kChanges[] = {
    [](Library& l, int n, const Edit& e) { l.setOriginalValue(n, e.slot, e.si); },
    [](Library& l, int n, const Edit& e) { l.material(n).HasValue(e.slot, false); },
    [](Library& l, int n, const Edit& e) { l.setDescription(n, e.text); },
    [](Library& l, int n, const Edit& e) { l.renameMaterial(n, e.text); },
    [](Library& l, int n, const Edit& e) { l.moveMaterialToEnd(n, e.text); },
    [](Library& l, int n, const Edit&) { l.removeMaterial(n); },
    [](Library& l, int, const Edit& e) {
        l.setOriginalValue(l.addMaterial(e.text, "", e.name, ""), EX, e.si);
    },
};

std::array<std::vector<Edit>, 2> DrawEdits(Library& base, unsigned seed, int count) {
    std::mt19937 random(seed);
    std::vector<int> order(static_cast<std::size_t>(base.materialCount()));
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), random);
    std::array<std::vector<Edit>, 2> edits;
    std::set<std::pair<int, int>> slotsTaken;
    std::uniform_int_distribution<int> side(0, 1), kind(0, 6), slot(0, kVisitedSlots - 1);
    int removed[2] = {0, 0}, next = 0;
    const char* categories[] = {"Steels", "Foams", "Brand New"};
    for (int i = 0; i < count; ++i) {
        const int s = side(random);
        Edit e{kind(random), "", categories[i % 3]};
        // No more additions than removals: the largest library is full.
        if (e.kind == 6 && removed[s] == 0) e.kind = 5;
        removed[s] += e.kind == 5 ? 1 : e.kind == 6 ? -1 : 0;
        const int n = e.kind <= 1 ? order[order.size() - 1 - static_cast<std::size_t>(i / 2)]
                                  : order[static_cast<std::size_t>(next++)];
        e.name = e.kind == 6 ? "Added " + std::to_string(i)
                             : std::string(trimBlanks(base.entry(n).Name));
        if (e.kind == 3) e.text = "Renamed " + std::to_string(i);
        e.si = e.kind == 6 ? 1000.0 + i : 1.5 + i;
        while (e.kind <= 1 && (PropertyCatalogue::instance().PropCode(e.slot).empty() ||
                               !slotsTaken.insert({n, e.slot}).second))
            e.slot = slot(random);
        edits[static_cast<std::size_t>(s)].push_back(e);
    }
    return edits;
}

// Values first, while every material still has its old name.
void Apply(Library& library, const std::vector<Edit>& edits, bool values) {
    for (const Edit& e : edits) {
        if ((e.kind <= 1) != values) continue;
        int n = -1;
        for (int i = 0; i < library.materialCount() && n < 0; ++i)
            if (trimBlanks(library.entry(i).Name) == e.name) n = i;
        kChanges[e.kind](library, n, e);
    }
}

// As a file would give it back.
Library Reread(Library& library) {
    Library back;
    readLibraryText(libraryText(library, groupByCategory(library)), back, ".");
    return back;
}

TEST(LibraryMerge, DisjointRandomEditsOfTheLargestLibraryAllLand) {
    Library largest;
    bench::fillLargestLibrary(largest);
    Library base = Reread(largest);
    for (unsigned seed = 1; seed <= 8; ++seed) {
        const auto edits = DrawEdits(base, seed, 40);
        Library ours = Reread(base), theirs = Reread(base), both = Reread(base);
        for (const bool values : {true, false}) {
            Apply(ours, edits[0], values);
            Apply(theirs, edits[1], values);
            Apply(both, edits[0], values);
            Apply(both, edits[1], values);
        }
        ours = Reread(ours);
        theirs = Reread(theirs);
        MergeResult r = mergeLibraries(base, ours, theirs);
        EXPECT_EQ(Lines(r), "") << "seed " << seed;
        Library merged = Reread(r.merged);
        both = Reread(both);
        const LibraryComparison c = compareLibraries(both, merged);
        EXPECT_EQ(merged.materialCount(), both.materialCount()) << "seed " << seed;
        EXPECT_TRUE(c.differences.empty())
            << "seed " << seed << ": " << c.differences.front().line();
    }
}

} // namespace
} // namespace mb
