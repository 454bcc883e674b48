// The bash completion of `matlib`, run by bash as a shell runs it: the script sourced, the
// command line in COMP_WORDS and COMP_CWORD, and this build's matlib first on the PATH.
#include "MatlibRun.h"
#include "TestPaths.h"

#include <algorithm>
#include <sstream>

namespace mb::test {
namespace {

const std::string kLibrary = std::string(kDataDir) + "/tools/latin1.lib";

std::string Folder(const std::string& path) {
    return path.substr(0, path.rfind('/'));
}

/// Runs `script` in bash with the completion sourced; `words` are its arguments.
ProgramResult Bash(const std::string& script, std::vector<std::string> words = {}) {
    const std::string setup = "PATH='" + Folder(MB_MATLIB_PATH) + "':$PATH\nsource '" +
                              MB_COMPLETION_PATH + "' || exit 3\n";
    std::vector<std::string> args{"--norc", "--noprofile", "-c", setup + script, "bash"};
    args.insert(args.end(), words.begin(), words.end());
    return RunProgram("/bin/bash", args, {-1, "", {"LC_ALL", "LC_CTYPE", "LANG=C.UTF-8"}});
}

/// What the completion offers for the command line `words`, the last word being the one
/// under the cursor, in the order offered.
std::vector<std::string> Completions(std::vector<std::string> words) {
    const ProgramResult r = Bash("COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); COMPREPLY=()\n"
                                 "_matlib\n"
                                 "for word in \"${COMPREPLY[@]}\"; do printf '%s\\n' \"$word\"; "
                                 "done\n",
                                 std::move(words));
    EXPECT_EQ(std::tie(r.exitCode, r.err), std::make_tuple(0, std::string()));
    std::vector<std::string> offered;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);)
        offered.push_back(line);
    return offered;
}

using Words = std::vector<std::string>;

TEST(Completion, IsRegisteredForMatlib) {
    const ProgramResult r = Bash("complete -p matlib");
    EXPECT_EQ(std::tie(r.exitCode, r.out, r.err),
              std::make_tuple(0, std::string("complete -F _matlib matlib\n"), std::string()));
}

TEST(Completion, OffersTheCommandsAndOptionsMatlibHas) {
    EXPECT_EQ(Completions({"matlib", ""}),
              (Words{"check", "list", "find", "show", "lint", "curve", "diff", "merge", "dump",
                     "write", "import", "export", "cells", "--help", "--version"}));
    EXPECT_EQ(Completions({"matlib", "sh"}), Words{"show"});
    EXPECT_EQ(Completions({"matlib", "show", "-"}), (Words{"--units", "--help"}));
    EXPECT_EQ(Completions({"matlib", "export", kLibrary, "--m"}), Words{"--material"});
    EXPECT_EQ(Completions({"matlib", "merge", "-"}), (Words{"-o", "--conflicts", "--help"}));
}

// matlib takes a choice in any letter case; the completion offers it in the case begun.
TEST(Completion, CompletesChoicesInEitherLetterCase) {
    const Words shown = {"matlib", "show", kLibrary, "Steel"};
    const auto units = [&](std::vector<std::string> tail) {
        Words words = shown;
        words.insert(words.end(), tail.begin(), tail.end());
        return Completions(words);
    };
    EXPECT_EQ(units({"--units", ""}), (Words{"IPS", "SI", "MKS"}));
    EXPECT_EQ(units({"--units", "ip"}), Words{"ips"});
    EXPECT_EQ(units({"--units", "mK"}), Words{"MKS"});
    EXPECT_EQ(units({"--units", "cgs"}), Words{});
    // The shell splits "--units=ip" at "=".
    EXPECT_EQ(units({"--units", "=", "ip"}), Words{"ips"});
    EXPECT_EQ(Completions({"matlib", "lint", kLibrary, "--format", "j"}), Words{"json"});
    EXPECT_EQ(Completions({"matlib", "export", kLibrary, "--format", "CA"}), Words{"calculix"});
}

// A number has no list to offer, and "N" or "K" in the line would be a wrong value.
TEST(Completion, OffersNoPlaceholder) {
    EXPECT_EQ(Completions({"matlib", "curve", kLibrary, "PTFE", "--type", ""}), Words{});
    EXPECT_EQ(Completions({"matlib", "curve", kLibrary, "PTFE", "--type", "4", "--points", ""}),
              Words{});
    EXPECT_EQ(Completions({"matlib", "find", kLibrary, ""}), Words{}) << "a query";
    EXPECT_EQ(Completions({"matlib", "show", kLibrary, "PTFE µ-filled", ""}), Words{})
        << "one argument too many";
}

// Where a material name goes, the names of the library given before it, in the terminal's
// encoding, begun in any letter case and with the quoting a user types.
TEST(Completion, OffersTheMaterialsOfTheLibraryForAName) {
    const Words all = {"Acier inoxydable 316L é", "-196 °C Cryo steel", "PTFE µ-filled",
                       "PTFE ? filled"};
    EXPECT_EQ(Completions({"matlib", "show", kLibrary, ""}), all);
    EXPECT_EQ(Completions({"matlib", "show", kLibrary, "ptfe"}),
              (Words{"PTFE µ-filled", "PTFE ? filled"}));
    EXPECT_EQ(Completions({"matlib", "show", kLibrary, "\"PTFE µ"}), Words{"PTFE µ-filled"});
    EXPECT_EQ(Completions({"matlib", "show", kLibrary, "PTFE\\ µ"}), Words{"PTFE µ-filled"});
    EXPECT_EQ(Completions({"matlib", "curve", "--type", "4", "--", kLibrary, "-1"}),
              Words{"-196 °C Cryo steel"});
    EXPECT_EQ(Completions({"matlib", "export", kLibrary, "--format", "json", "--material", "ac"}),
              Words{"Acier inoxydable 316L é"});
    EXPECT_EQ(Completions(
                  {"matlib", "export", kLibrary, "--material", "PTFE ? filled", "--material", ""}),
              all);
    EXPECT_EQ(Completions({"matlib", "show", kLibrary + ".missing", ""}), Words{});
}

TEST(Completion, OffersFilesWhereAFileGoes) {
    TempDir dir;
    for (const char* name : {"steels.lib", "steels-old.lib", "polymers.lib"})
        WriteBytes(dir.file(name), "");
    const auto sorted = [](Words words) {
        std::sort(words.begin(), words.end());
        return words;
    };
    const Words steels = {dir.file("steels-old.lib"), dir.file("steels.lib")};
    EXPECT_EQ(sorted(Completions({"matlib", "check", dir.file("st")})), steels);
    EXPECT_EQ(sorted(Completions({"matlib", "diff", kLibrary, dir.file("st")})), steels);
    EXPECT_EQ(Completions({"matlib", "write", kLibrary, dir.file("po")}),
              Words{dir.file("polymers.lib")});
    EXPECT_EQ(Completions({"matlib", "show", "--units", "SI", "--", dir.file("po")}),
              Words{dir.file("polymers.lib")});
    // "-o OUT" is passed over as an option and its value, and takes a file itself.
    EXPECT_EQ(Completions({"matlib", "merge", "-o", "x", "a", "b", dir.file("po")}),
              Words{dir.file("polymers.lib")});
    EXPECT_EQ(Completions({"matlib", "merge", "a", "b", "c", "-o", dir.file("po")}),
              Words{dir.file("polymers.lib")});
    EXPECT_EQ(Completions({"matlib", "check", dir.file("steels.lib"), dir.file("po")}), Words{})
        << "check takes one file";
}

} // namespace
} // namespace mb::test
