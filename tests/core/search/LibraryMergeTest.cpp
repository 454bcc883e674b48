#include "LibraryMerge.h"

#include "LargestLibrary.h"
#include "LibraryDiff.h"
#include "LibraryFile.h"
#include "PropertyCatalogue.h"
#include "TextUtil.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <numeric>
#include <random>
#include <set>

namespace mb {
namespace {

constexpr int EX = 0, NUXY = 4, DENS = 13;

struct M {
    std::string category, name, code, description;
    std::vector<std::pair<int, double>> values; // slot, SI value
};
using Lib = std::vector<M>;

// Padded as a read library holds its texts, so that only trimmed texts can match.
Library Make(const Lib& materials) {
    Library library;
    library.Clear();
    for (const M& m : materials) {
        const LibraryEntry e{m.category + "    ", m.code, m.name + "  ", m.description};
        clsMaterial record = RecordWithTexts(clsMaterial("SI"), e);
        for (const auto& [slot, si] : m.values)
            record.SetSlotValue(slot, si);
        library.AddMaterial(e, record, record);
    }
    return library;
}

// Material by material, in number order: what a user would see differ.
std::vector<std::string> Shown(Library& library) {
    std::vector<std::string> lines;
    for (int i = 0; i < library.MaterialCount(); ++i) {
        const LibraryEntry& e = library.Entry(i);
        std::string s;
        for (const std::string* t : {&e.Category, &e.Name, &e.NameCode, &e.Description})
            s.append(TrimBlanks(*t)).append("|");
        const clsMaterial& r = library.Material(i);
        for (int slot = 0; slot < kVisitedSlots; ++slot)
            if (r.HasValue(slot))
                s += PropertyCatalogue::instance().PropCode(slot) + "=" +
                     ExactNumberText(r.SlotValue(slot)) + " ";
        lines.push_back(s);
    }
    return lines;
}

std::vector<std::string> Lines(const MergeResult& r) {
    std::vector<std::string> lines;
    for (const MergeConflict& c : r.conflicts)
        lines.push_back(c.line());
    return lines;
}

const M kSteel{"Steels", "Steel", "S235", "Hot rolled", {{EX, 2.1E11}, {DENS, 7850}}};
const M kAlu{"Metals", "Alu", "AL", "Plate", {{EX, 7E10}}};
const M kPc{"Polymers", "PC", "PC", "clear", {{DENS, 1200}}};

M With(M m, std::function<void(M&)> edit) {
    edit(m);
    return m;
}
M Value(M m, int slot, double si) {
    return With(std::move(m), [&](M& x) {
        std::erase_if(x.values, [&](auto& v) { return v.first == slot; });
        if (si == si) x.values.emplace_back(slot, si);
    });
}
constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

struct Case {
    const char* what;
    Lib base, ours, theirs, merged;
    std::vector<std::string> conflicts;
};

class Merges : public testing::TestWithParam<Case> {};

TEST_P(Merges, TakeEveryEditAndReportWhatClashes) {
    const Case& c = GetParam();
    Library base = Make(c.base), ours = Make(c.ours), theirs = Make(c.theirs),
            expected = Make(c.merged);
    MergeResult r = MergeLibraries(base, ours, theirs);
    EXPECT_EQ(Shown(r.merged), Shown(expected));
    EXPECT_EQ(Lines(r), c.conflicts);
    // The other way round every clean edit lands the same; only the conflicts' choice turns.
    if (c.conflicts.empty()) {
        MergeResult mirrored = MergeLibraries(base, theirs, ours);
        EXPECT_TRUE(CompareLibraries(mirrored.merged, expected).differences.empty());
    }
}

const M kSteelEx = Value(kSteel, EX, 2.0E11);
const M kSteelNu = Value(kSteel, NUXY, 0.3);
const M kRenamed = With(kSteel, [](M& m) { m.name = "Steel S235"; });
const M kMoved = With(kSteel, [](M& m) { m.category = "Structural"; });
const M kNew{"Metals", "Brass", "", "", {{EX, 1E11}}};

INSTANTIATE_TEST_SUITE_P(
    Cases, Merges,
    testing::Values(
        Case{"one side's value, text and removal",
             {kSteel, kAlu, kPc},
             {kSteel, kAlu, kPc},
             {Value(With(kSteel, [](M& m) { m.description = "Cold"; }), DENS, kNoValue),
              With(kAlu, [](M& m) { m.code = "AL2"; })},
             {Value(With(kSteel, [](M& m) { m.description = "Cold"; }), DENS, kNoValue),
              With(kAlu, [](M& m) { m.code = "AL2"; })},
             {}},
        Case{"edits of other properties both land, the same edit once",
             {kSteel, kAlu},
             {kSteelEx, Value(kAlu, DENS, 2700)},
             {Value(kSteelEx, NUXY, 0.3), Value(kAlu, DENS, 2700)},
             {Value(kSteelEx, NUXY, 0.3), Value(kAlu, DENS, 2700)},
             {}},
        Case{"an addition goes after what precedes it in theirs",
             {kSteel, kAlu, kPc},
             {kSteel, kAlu, kPc, With(kNew, [](M& m) { m.name = "Zinc"; })},
             {kSteel, kAlu, kNew, kPc},
             {kSteel, kAlu, kNew, kPc, With(kNew, [](M& m) { m.name = "Zinc"; })},
             {}},
        Case{"renamed on one side, edited on the other",
             {kSteel, kAlu},
             {kSteelNu, kAlu},
             {kAlu, kRenamed},
             {With(kSteelNu, [](M& m) { m.name = "Steel S235"; }), kAlu},
             {}},
        Case{"moved on one side, edited on the other: after its predecessor in theirs",
             {kSteel, kAlu, kPc},
             {kSteelNu, kAlu, kPc},
             {kAlu, kPc, kMoved},
             {kAlu, kPc, With(kSteelNu, [](M& m) { m.category = "Structural"; })},
             {}},
        Case{"names differing in case and blanks are one material; added on both alike once",
             {kSteel},
             {With(kSteel, [](M& m) { m.name = " STEEL"; }), kNew},
             {kSteelNu, kNew},
             {With(kSteelNu, [](M& m) { m.name = "STEEL"; }), kNew},
             {}},
        Case{"one value set differently",
             {kSteel},
             {kSteelEx},
             {Value(kSteel, EX, kNoValue)},
             {kSteelEx},
             {"conflict\tSteel\tEX\t21000E7\t20000E7\t-"}},
        Case{"texts, category and name set differently, in their order",
             {kSteel},
             {With(kSteel,
                   [](M& m) {
                       m = {"A", "Steel 1", "X1", "d1", m.values};
                   })},
             {With(kSteel,
                   [](M& m) {
                       m = {"B", "Steel 2", "X2", "d2", m.values};
                   })},
             {With(kSteel,
                   [](M& m) {
                       m = {"A", "Steel 1", "X1", "d1", m.values};
                   })},
             {"conflict\tSteel 1\tNAME\tSteel\tSteel 1\tSteel 2",
              "conflict\tSteel 1\tCATEGORY\tSteels\tA\tB",
              "conflict\tSteel 1\tNAMECODE\tS235\tX1\tX2",
              "conflict\tSteel 1\tDESCRIPTION\tHot rolled\td1\td2"}},
        Case{"removed on one side, edited on the other: ours's choice stands",
             {kSteel, kAlu},
             {kSteelEx},
             {kSteel, Value(kAlu, EX, 7.1E10)},
             {kSteelEx},
             {"conflict\tAlu\tMATERIAL\tMetals\t-\tMetals"}},
        Case{"edited on ours, removed on theirs: kept",
             {kSteel, kAlu},
             {kSteelEx, kAlu},
             {kAlu},
             {kSteelEx, kAlu},
             {"conflict\tSteel\tMATERIAL\tSteels\tSteels\t-"}},
        Case{"added on both with other contents",
             {kSteel},
             {kSteel, kNew},
             {kSteel, With(kNew, [](M& m) { m.category = "Alloys"; })},
             {kSteel, kNew},
             {"conflict\tBrass\tMATERIAL\t-\tMetals\tAlloys"}},
        Case{"a name theirs gives that ours gave another material",
             {kSteel, kAlu},
             {kSteel, With(kAlu, [](M& m) { m.name = "Brass"; })},
             {With(kSteel, [](M& m) { m.name = "brass"; }), kAlu, kPc},
             {kSteel, With(kAlu, [](M& m) { m.name = "Brass"; }), kPc},
             {"conflict\tSteel\tNAME\tSteel\tSteel\tbrass"}},
        Case{"an addition by a name ours gave by a rename",
             {kSteel},
             {With(kSteel, [](M& m) { m.name = "Brass"; })},
             {kSteel, kNew},
             {With(kSteel, [](M& m) { m.name = "Brass"; })},
             {"conflict\tBrass\tMATERIAL\t-\tSteels\tMetals"}}),
    [](const testing::TestParamInfo<Case>& param) { return "case" + std::to_string(param.index); });

TEST(LibraryMerge, AMergePastTheLimitLeavesOutTheLastOfTheirAdditions) {
    Lib base;
    for (int i = 0; i < kMaxMaterials - 2; ++i)
        base.push_back({"C", "M" + std::to_string(i), "", "", {{EX, i + 1.0}}});
    Lib ours = base, theirs = base;
    ours.push_back({"C", "Ours 1", "", "", {}});
    ours.push_back({"C", "Ours", "", "", {}});
    theirs.push_back({"C", "Theirs 1", "", "", {}});
    theirs.push_back({"D", "Theirs 2", "", "", {}});
    Library b = Make(base), o = Make(ours), t = Make(theirs);
    MergeResult r = MergeLibraries(b, o, t);
    EXPECT_EQ(r.merged.MaterialCount(), kMaxMaterials);
    EXPECT_EQ(TrimBlanks(r.merged.Entry(kMaxMaterials - 1).Name), "Ours");
    EXPECT_EQ(Lines(r), (std::vector<std::string>{"conflict\tTheirs 1\tLIMIT\t-\t-\tC",
                                                  "conflict\tTheirs 2\tLIMIT\t-\t-\tD"}));
}

TEST(LibraryMerge, AConflictLineEscapesWhatWouldBreakItsFields) {
    const MergeConflict c{"A\tB\\C", "DESCRIPTION", "x\ny", "-", "\r"};
    EXPECT_EQ(c.line(), "conflict\tA\\tB\\\\C\tDESCRIPTION\tx\\ny\t-\t\\r");
}

// Two branches edit the largest library, never the same thing; the merge must equal both
// edit lists applied one after the other, whatever they were.
class DisjointEdits {
public:
    explicit DisjointEdits(unsigned seed) : random_(seed) {}

    struct Edit {
        int kind = 0; // 0 value, 1 no value, 2 description, 3 rename, 4 move, 5 remove, 6 add
        std::string name;
        int slot = 0;
        double si = 0;
        std::string text;
    };

    // Structural edits take materials no one else touches; value edits other slots than
    // the other side's, on materials neither side renames or removes.
    void draw(Library& base, int count) {
        std::vector<int> order(static_cast<std::size_t>(base.MaterialCount()));
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), random_);
        std::size_t next = 0;
        std::set<std::pair<int, int>> slotsTaken;
        std::uniform_int_distribution<int> side(0, 1), kind(0, 6), slot(0, kVisitedSlots - 1);
        int removed[2] = {0, 0};
        const char* categories[] = {"Steels", "Foams", "Brand New"};
        for (int i = 0; i < count; ++i) {
            const int s = side(random_);
            Edit e;
            e.kind = kind(random_);
            if (e.kind == 6 && removed[s] == 0) e.kind = 5;
            if (e.kind == 6) {
                --removed[s];
                e.name = "Added " + std::to_string(i);
                e.text = categories[i % 3];
                e.si = 1000.0 + i;
            } else if (e.kind >= 2) {
                const int n = order[next++];
                e.name = std::string(TrimBlanks(base.Entry(n).Name));
                e.text = e.kind == 3 ? "Renamed " + std::to_string(i) : categories[i % 3];
                if (e.kind == 5) ++removed[s];
            } else {
                // Pairs of edits meet in one material, on other properties.
                const int n = order[order.size() - 1 - static_cast<std::size_t>(i / 2)];
                e.name = std::string(TrimBlanks(base.Entry(n).Name));
                do
                    e.slot = slot(random_);
                while (PropertyCatalogue::instance().PropCode(e.slot).empty() ||
                       !slotsTaken.insert({n, e.slot}).second);
                e.si = 1.5 + i;
            }
            edits_[s].push_back(e);
        }
    }

    // Values first, while every material still has its old name; the rest touch materials
    // no other edit touches.
    static void apply(Library& library, const std::vector<Edit>& edits, bool values) {
        for (const Edit& e : edits) {
            if ((e.kind <= 1) != values) continue;
            int n = -1;
            for (int i = 0; i < library.MaterialCount() && n < 0; ++i)
                if (TrimBlanks(library.Entry(i).Name) == e.name) n = i;
            switch (e.kind) {
            case 0:
                library.SetOriginalValue(n, e.slot, e.si);
                break;
            case 1:
                library.Material(n).HasValue(e.slot, false);
                break;
            case 2:
                library.SetDescription(n, e.text);
                break;
            case 3:
                library.RenameMaterial(n, e.text);
                break;
            case 4:
                library.MoveMaterialToEnd(n, e.text);
                break;
            case 5:
                library.RemoveMaterial(n);
                break;
            case 6:
                library.AddMaterial(e.text, "", e.name, "");
                library.SetOriginalValue(library.MaterialCount() - 1, EX, e.si);
                break;
            }
        }
    }

    std::vector<Edit> edits_[2];

private:
    std::mt19937 random_;
};

// As a file would give it back.
Library Reread(Library& library) {
    Library back;
    ReadLibraryText(LibraryText(library, GroupByCategory(library)), back, ".");
    return back;
}

TEST(LibraryMerge, DisjointRandomEditsOfTheLargestLibraryAllLand) {
    Library largest;
    bench::FillLargestLibrary(largest);
    Library base = Reread(largest);
    for (unsigned seed = 1; seed <= 8; ++seed) {
        DisjointEdits edits(seed);
        edits.draw(base, 40);
        Library ours = Reread(base), theirs = Reread(base), both = Reread(base);
        for (const bool values : {true, false}) {
            DisjointEdits::apply(ours, edits.edits_[0], values);
            DisjointEdits::apply(theirs, edits.edits_[1], values);
            DisjointEdits::apply(both, edits.edits_[0], values);
            DisjointEdits::apply(both, edits.edits_[1], values);
        }
        ours = Reread(ours);
        theirs = Reread(theirs);
        MergeResult r = MergeLibraries(base, ours, theirs);
        EXPECT_EQ(Lines(r), std::vector<std::string>()) << "seed " << seed;
        Library merged = Reread(r.merged);
        both = Reread(both);
        const LibraryComparison c = CompareLibraries(both, merged);
        EXPECT_EQ(merged.MaterialCount(), both.MaterialCount()) << "seed " << seed;
        EXPECT_TRUE(c.differences.empty())
            << "seed " << seed << ": " << c.differences.front().line();
    }
}

} // namespace
} // namespace mb
