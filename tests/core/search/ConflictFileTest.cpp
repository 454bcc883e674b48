#include "ConflictFile.h"

#include "PropertyCatalogue.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <tuple>

namespace mb {
namespace {

using Kind = ConflictEntry::Kind;

// Every kind of line the merge writes, escapes and an absent side among them.
constexpr std::string_view kLines =
    "conflict\tStructural Steel S235\tEX\t2.1E11\t2.05E11\t2.12E11\n"
    "conflict\tStructural Steel S235\tC\t-\t434\t460\n"
    "conflict\tCopper\tDESCRIPTION\tpure\tpure, annealed\\tsoft\tC\\\\101\n"
    "conflict\tBrass\tMATERIAL\tMetals\t-\tMetals\n"
    "conflict\tNew 1002\tLIMIT\t-\t-\tPolymers\n";

TEST(ConflictFile, ReadsEveryKindOfLine) {
    const ConflictFileContent read = parseConflictText(kLines, "steels.lib.conflicts");
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.conflicts.size(), 5u);
    const auto slot = [](const char* code) {
        return PropertyCatalogue::instance().findExact(code);
    };
    const ConflictEntry &ex = read.conflicts[0], &c = read.conflicts[1], &d = read.conflicts[2];
    EXPECT_EQ(std::tie(ex.kind, ex.name, ex.slot),
              std::make_tuple(Kind::Value, "Structural Steel S235", slot("EX")));
    EXPECT_EQ(std::tie(ex.si[ConflictEntry::Ours], ex.si[ConflictEntry::Theirs]),
              std::make_tuple(2.05e11, 2.12e11));
    EXPECT_EQ(c.slot, slot("C (Cp)"));
    EXPECT_FALSE(c.si[ConflictEntry::Base] || c.sides[ConflictEntry::Base]);
    EXPECT_EQ(std::tie(d.kind, *d.sides[ConflictEntry::Ours], *d.sides[ConflictEntry::Theirs]),
              std::make_tuple(Kind::Description, "pure, annealed\tsoft", "C\\101"));
    EXPECT_EQ(std::tie(read.conflicts[3].kind, read.conflicts[4].kind),
              std::make_tuple(Kind::Material, Kind::Limit));
    // Written again, the lines are the ones read.
    EXPECT_EQ(conflictFileText(read.conflicts), kLines);
}

TEST(ConflictFile, RejectsBrokenLinesNamingFileAndLine) {
    const struct {
        std::string_view text, error;
    } cases[] = {
        {"\nclash\tA\tEX\t1\t2\t3\n",
         "x.conflicts: line 2: the line does not start with \"conflict\""},
        {"conflict\tA\tEXX\t1\t2\t3",
         "x.conflicts: line 1: \"EXX\" is neither a property code nor a conflict kind"},
        {"conflict\tA\tEX\t1\t2,5\t3", "x.conflicts: line 1: \"2,5\" is not a number"},
        {"conflict\tA\tDESCRIPTION\ta\\x\tb\tc",
         "x.conflicts: line 1: a backslash starts no escape in \"a\\x\""},
        {"conflict\t\tEX\t1\t2\t3", "x.conflicts: line 1: the material name is missing or broken"},
    };
    for (const auto& c : cases) {
        const ConflictFileContent read = parseConflictText(c.text, "x.conflicts");
        EXPECT_EQ(read.error, c.error) << c.text;
        EXPECT_TRUE(read.conflicts.empty());
    }
}

TEST(ConflictFile, WritesWholeAndSaysWhyNot) {
    test::TempDir dir;
    const std::string path = conflictFilePath(dir.file("steels.lib"));
    EXPECT_EQ(path, dir.file("steels.lib.conflicts"));
    EXPECT_EQ(readConflictFile(path).error, "Cannot read " + path + ": it does not exist.");

    const std::vector<ConflictEntry> conflicts = parseConflictText(kLines, "x").conflicts;
    ASSERT_EQ(writeConflictFile(path, conflicts), "");
    EXPECT_EQ(conflictFileText(readConflictFile(path).conflicts), kLines);
    EXPECT_EQ(test::Names(dir.path()), std::vector<std::string>{"steels.lib.conflicts"});

    const std::string nowhere = dir.file("gone/steels.lib.conflicts");
    EXPECT_EQ(writeConflictFile(nowhere, conflicts),
              "Cannot write " + nowhere + ": Path not found.");
}

} // namespace
} // namespace mb
