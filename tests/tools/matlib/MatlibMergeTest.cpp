// `matlib merge` as git and a user run it: the files it leaves, what it prints, its status.

#include "MatlibRun.h"
#include "TempDir.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace mb::test {
namespace {

// base.lib, then ours.lib and theirs.lib each with edits of other materials and values,
// and expected.lib with all of them: every file as a save writes it.
std::string Fixture(const std::string& name) {
    return ReadBytes(std::string(kDataDir) + "/merge/" + name);
}

class MergeRun : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"base.lib", "ours.lib", "theirs.lib"})
            WriteBytes(dir.file(name), Fixture(name));
    }
    // Ours sets the S235's EX as theirs does not: one conflict line.
    void clashOnEx() {
        std::string text = Fixture("theirs.lib");
        const std::size_t at = text.find("21000E7");
        ASSERT_NE(at, std::string::npos);
        text.replace(at, 7, "19000E7");
        WriteBytes(dir.file("theirs.lib"), text);
    }
    ProgramResult merge(std::vector<std::string> more = {}) {
        std::vector<std::string> args{"merge", dir.file("base.lib"), dir.file("ours.lib"),
                                      dir.file("theirs.lib")};
        args.insert(args.end(), more.begin(), more.end());
        return Matlib(args);
    }
    TempDir dir;
};

TEST_F(MergeRun, DisjointEditsGiveTheExpectedLibraryInOursAndNoConflictList) {
    WriteBytes(dir.file("ours.lib.conflicts"), "left from an earlier merge\n");
    const ProgramResult r = merge();
    EXPECT_EQ(std::tie(r.exitCode, r.out, r.err), std::make_tuple(0, "", ""));
    EXPECT_EQ(ReadBytes(dir.file("ours.lib")), Fixture("expected.lib"));
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"base.lib", "ours.lib", "theirs.lib"}));
}

// What git gives when both branches added the library: an empty base, which is no library
// file but stands for an empty one. What the merge makes of two additions is its own test.
TEST_F(MergeRun, AnEmptyBaseMergesTwoAdditionsOfTheSameLibrary) {
    WriteBytes(dir.file("base.lib"), "");
    WriteBytes(dir.file("theirs.lib"), Fixture("ours.lib"));
    const ProgramResult same = merge({"-o", dir.file("out.lib")});
    EXPECT_EQ(std::tie(same.exitCode, same.err), std::make_tuple(0, ""));
    EXPECT_EQ(ReadBytes(dir.file("out.lib")), Fixture("ours.lib"));
}

TEST_F(MergeRun, AConflictKeepsOursAndIsListedOnStderrAndBesideOut) {
    clashOnEx();
    const ProgramResult r = merge({"-o", dir.file("out.lib")});
    const std::string line = "conflict\tStructural Steel S235\tEX\t21000E7\t20500E7\t19000E7\n";
    EXPECT_EQ(std::tie(r.exitCode, r.out, r.err), std::make_tuple(1, "", line));
    EXPECT_EQ(ReadBytes(dir.file("out.lib.conflicts")), line);
    EXPECT_EQ(ReadBytes(dir.file("out.lib")), Fixture("expected.lib"));
    EXPECT_EQ(ReadBytes(dir.file("ours.lib")), Fixture("ours.lib"));
}

TEST_F(MergeRun, AnInputThatCannotBeMergedExitsTwoAndLeavesOutAlone) {
    WriteBytes(dir.file("theirs.lib"), "not a library\n");
    const ProgramResult r = merge();
    EXPECT_EQ(std::tie(r.exitCode, r.out, r.err),
              std::make_tuple(2, "",
                              "matlib: " + dir.file("theirs.lib") +
                                  ": This file is not a VELTRA/M material library file!\n"));
    EXPECT_EQ(ReadBytes(dir.file("ours.lib")), Fixture("ours.lib"));
    std::filesystem::remove(dir.file("base.lib"));
    EXPECT_EQ(merge().err,
              "matlib: cannot read " + dir.file("base.lib") + ": it does not exist.\n");
    EXPECT_EQ(Matlib({"merge", "a", "b"}).err,
              "matlib: merge: expected BASE OURS THEIRS; try 'matlib merge --help'\n");
}

TEST_F(MergeRun, AnOutThatCannotBeWrittenLeavesNoConflictList) {
    clashOnEx();
    const std::string out = dir.file("no-such-folder/out.lib");
    const ProgramResult r = merge({"-o", out, "--conflicts", dir.file("out.lib.conflicts")});
    EXPECT_EQ(std::tie(r.exitCode, r.err),
              std::make_tuple(2, "matlib: Cannot save " + out + ": Path not found.\n"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.lib.conflicts")));
}

// The README's two lines make git merge libraries through matlib.
class GitMerge : public MergeRun {
protected:
    int git(const std::string& args) { return Git(dir.file("repo"), args, dir.file("git.out")); }
    void branches() {
        std::filesystem::create_directory(dir.file("repo"));
        ASSERT_EQ(git("init -q -b main ."), 0);
        WriteBytes(dir.file("repo/.gitattributes"), "*.lib merge=matlib\n");
        ASSERT_EQ(git("config merge.matlib.driver '" + std::string(MB_MATLIB_PATH) +
                      " merge %O %A %B --conflicts %P.conflicts'"),
                  0);
        const auto commit = [&](const std::string& from, const std::string& message) {
            WriteBytes(dir.file("repo/steels.lib"), ReadBytes(dir.file(from)));
            ASSERT_EQ(git("add -A") + git("commit -q -m " + message), 0);
        };
        commit("base.lib", "base");
        ASSERT_EQ(git("checkout -q -b theirs"), 0);
        commit("theirs.lib", "theirs");
        ASSERT_EQ(git("checkout -q main"), 0);
        commit("ours.lib", "ours");
    }
};

TEST_F(GitMerge, DisjointEditsMergeCleanlyIntoTheExpectedLibrary) {
    branches();
    EXPECT_EQ(git("merge -q --no-edit theirs"), 0) << ReadBytes(dir.file("git.out"));
    EXPECT_EQ(ReadBytes(dir.file("repo/steels.lib")), Fixture("expected.lib"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("repo/steels.lib.conflicts")));
}

TEST_F(GitMerge, AConflictStopsTheMergeAndLeavesALibraryThatOpens) {
    clashOnEx();
    branches();
    EXPECT_NE(git("merge --no-edit theirs"), 0);
    EXPECT_NE(
        ReadBytes(dir.file("git.out")).find("CONFLICT (content): Merge conflict in steels.lib"),
        std::string::npos)
        << ReadBytes(dir.file("git.out"));
    EXPECT_EQ(ReadBytes(dir.file("repo/steels.lib.conflicts")),
              "conflict\tStructural Steel S235\tEX\t21000E7\t20500E7\t19000E7\n");
    const ProgramResult check = Matlib({"check", dir.file("repo/steels.lib")});
    EXPECT_EQ(std::tie(check.exitCode, check.out),
              std::make_tuple(0, "6 materials in 4 categories\n"));
}

} // namespace
} // namespace mb::test
