// Runs the built `matlib` and checks what a user of the command line sees: standard
// output, standard error and the exit status.
#include "FilesThatDoNotEnd.h"
#include "MatlibRun.h"
#include "TestPaths.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace mb::test {
namespace {

std::string Data(const std::string& name) {
    return std::string(kDataDir) + "/tools/" + name;
}

// The argument errors are the same for every command; each kind is shown once, here or
// beside the command that meets it.
TEST(Matlib, EachCommandPrintsItsResultOrOneMessageWithItsExitStatus) {
    TempDir dir;
    const std::string mixed = Data("mixed.lib");
    ExpectRuns({
        // "Steels" and "STEELS" are one category when written; an empty category is none.
        Prints({"check", mixed}, "4 materials in 2 categories\n"),
        Prints({"list", Data("empty-category.lib")}, ""),
        Prints(
            {"list", mixed},
            "0\tSteels\tStructural Steel S235\tS235\tHot rolled\n1\tPolymers\tPolycarbonate\t\t\n"
            "2\tSTEELS\tStainless Steel 304\tSS304\tAustenitic, "
            "annealed\n3\tSTEELS\tPlaceholder\tEMPTY\tno values yet\n"),
        // The file lists C before ALPX and holds an unknown code: neither shows here.
        Prints({"show", mixed, "Structural Steel S235"},
               "EX\t21000E7\tN/m^2\nNUXY\t300000E-6\t\nALPX\t120000E-10\t/Kelvin\n"
               "DENS\t7850000E-3\tKgm/m^3\nC (Cp)\t4600000E-4\tJ/kgm.K\n"),
        Prints({"show", mixed, "Stainless Steel 304", "--units=MKS"},
               "EX\t1968052E0\tKgf/cm^2\nETAN\t-20394E+0\tKgf/cm^2\nSIGYLD\t2192390E-3\tKgf/cm^2\n"
               "KX\t387189E-7\tCal/(cm.s.C)\n"),
        Prints({"show", mixed, "  polyCARBONATE ", "--units", "ips"},
               "FRCANG\t1000000E-5\tDegrees\nG1\t250000E-6\t\nREFTEMP\t2963300E-4\tFahrenheit\n"),
        // A name code is not a name.
        Fails(1, {"show", mixed, "SS304"}, "matlib: no material named 'SS304' in " + mixed + "\n"),
        Fails(2, {"write", mixed, dir.path()},
              "matlib: Cannot save " + dir.path() + ": Path - File access error.\n"),
        {{"list", mixed}, 2, "", "matlib: cannot write to standard output\n", {-1, "/dev/full"}},
        Fails(2, {}, "matlib: missing command; try 'matlib --help'\n"),
        Fails(2, {"show", "a.lib", "Steel", "--units"},
              "matlib: show: --units needs a value; try 'matlib show --help'\n"),
        Fails(2, {"show", "a.lib", "Steel", "--units", "MKS(G)"},
              "matlib: show: --units takes IPS|SI|MKS, not 'MKS(G)'; try 'matlib show --help'\n"),
    });
    EXPECT_EQ(Names(dir.path()).size(), 0u) << "a failed write left a file";
}

// Every command that reads a library, FILE standing for the file it is given.
const std::vector<std::vector<std::string>> kReadingCommands = {
    {"check", "FILE"},
    {"list", "FILE"},
    {"find", "FILE", "steel"},
    {"show", "FILE", "Structural Steel S235"},
    {"lint", "FILE"},
    {"curve", "FILE", "Structural Steel S235", "--type", "4"},
    {"diff", "FILE", Data("mixed.lib")},
    {"diff", Data("mixed.lib"), "FILE"},
    {"dump", "FILE"},
    {"write", "FILE", "OUT"},
    {"export", "FILE", "--format", "json"},
};

// One status means one thing, whichever command meets the file, and the message names it:
// a file that is no library is the wrong input (1), one that cannot be read is a file
// problem (2). What is no file is refused before a byte is read, so none of them waits or
// reads for ever. A file with more materials than a library holds is the wrong input as
// well: nothing is printed or written from part of it, but for the count of "check".
TEST(Matlib, EveryCommandThatReadsALibraryExitsAlikeOnAFileThatIsNoWholeLibrary) {
    TempDir dir, unreadable;
    const std::string notALibrary = Data("not-a-library.lib"), out = dir.file("out.lib"),
                      overfull = dir.file("overfull.lib");
    std::string text = "MATTYPE:Bulk\r\n";
    for (int i = 0; i < 1003; ++i)
        text += "MATL:B            : Bulk " + std::to_string(i) + "\r\nENDMATL\r\n";
    WriteBytes(overfull, text);
    std::vector<RefusedPath> refused = FilesThatDoNotEnd(unreadable, ".lib");
    refused.push_back({dir.file("missing.lib"), "it does not exist."});
    RunOptions limited;
    limited.timeLimit = 60;
    for (const std::vector<std::string>& command : kReadingCommands) {
        const auto with = [&command, &out](const std::string& file) {
            std::vector<std::string> args = command;
            for (std::string& a : args)
                a = a == "FILE" ? file : a == "OUT" ? out : a;
            return args;
        };
        ExpectRuns({
            Fails(1, with(notALibrary),
                  "matlib: " + notALibrary +
                      ": This file is not a VELTRA/M material library file!\n"),
            {with(overfull), 1, command[0] == "check" ? "1001 materials in 1 categories\n" : "",
             "matlib: " + overfull +
                 ": the file holds 1003 materials, more than the 1001 a library can hold\n"},
        });
        for (const auto& [path, reason] : refused)
            ExpectRuns(
                {with(path), 2, "", "matlib: cannot read " + path + ": " + reason + "\n", limited});
    }
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"overfull.lib"}) << "OUT was written";

    // The reader program checks what a file is before it looks at its name, whoever started
    // it; how the import refuses such files is the import's own test.
    TempDir inputs;
    for (const auto& [path, reason] : FilesThatDoNotEnd(inputs, ".xlsx")) {
        const std::string why = "The file \"" + path + "\" could not be read: " + reason;
        ExpectRuns({{"cells", path},
                    0,
                    "MBSHEET 3\nF open " + std::to_string(why.size()) + "\n" + why + "\nE 0\n",
                    "",
                    limited});
    }
}

TEST(Matlib, WriteSavesAsTheApplicationWouldAndReplacesItsTargetOnlyWhenComplete) {
    TempDir dir;
    const std::string target = dir.file("out.lib");
    ExpectRuns(Prints({"write", Data("mixed.lib"), target}, ""));
    EXPECT_EQ(ReadBytes(target), ReadBytes(Data("mixed-written.lib")));
    // The mixed library's text is over 1 KiB; the limit stops the write half way.
    WriteBytes(target, "the previous library\n");
    ExpectRuns({{"write", Data("mixed.lib"), target},
                2,
                "",
                "matlib: cannot write " + target + ": File too large\n",
                {1024, ""}});
    EXPECT_EQ(ReadBytes(target), "the previous library\n");
    EXPECT_EQ(Names(dir.path()).size(), 1u) << "temporary file left";
}

// A library of over a megabyte in two categories, each in one piece.
std::string LargeLibrary() {
    std::string text;
    for (int i = 0; i < 1000; ++i) {
        text += i == 0 ? "MATTYPE:Steels\r\n" : i == 500 ? "MATTYPE:Polymers\r\n" : "";
        text += "MATL:M" + std::to_string(i) + "\r\n";
        for (const std::string code : {"EX", "EY", "EZ", "NUXY", "DENS", "ALPX", "KX"})
            text += code + std::string(70 - code.size(), ' ') + std::to_string(i) + "E3 Pa" +
                    std::string(80, ' ') + "\r\n";
        text += "ENDMATL\r\n";
    }
    return text;
}

// A large library goes out while it is still being read, unless its target has a second
// name: either way the file is the same, and a write that fails says so once.
TEST(Matlib, WriteOfALargeLibraryGivesOneFileWhicheverWayItGoesOut) {
    TempDir dir;
    const std::string in = dir.file("in.lib"), alone = dir.file("alone.lib"),
                      linked = dir.file("linked.lib");
    WriteBytes(in, LargeLibrary());
    ASSERT_GE(ReadBytes(in).size(), 1024u * 1024u);
    WriteBytes(linked, "the previous library\n");
    std::filesystem::create_hard_link(linked, dir.file("link.lib"));
    ExpectRuns({Prints({"write", in, alone}, ""), Prints({"write", in, linked}, "")});
    EXPECT_TRUE(ReadBytes(alone) == ReadBytes(linked) &&
                ReadBytes(linked) == ReadBytes(dir.file("link.lib")));
    WriteBytes(alone, "the previous library\n");
    Invocation tooLarge =
        Fails(2, {"write", in, alone}, "matlib: cannot write " + alone + ": File too large\n");
    tooLarge.options = {512 * 1024, ""};
    ExpectRuns(tooLarge);
    EXPECT_EQ(ReadBytes(alone), "the previous library\n");
    EXPECT_EQ(Names(dir.path()).size(), 4u) << "temporary file left";
}

// A save that died while it rewrote a hard-linked library in place left it half written
// and a copy of its old content beside it: whatever command reads it next puts the copy
// back first, and says so.
TEST(Matlib, ALibraryASaveLeftHalfWrittenIsPutBackBeforeItIsRead) {
    TempDir dir;
    const std::string file = dir.file("lib.lib"), whole = ReadBytes(Data("mixed.lib"));
    WriteBytes(file, whole.substr(0, whole.size() / 2));
    std::filesystem::create_hard_link(file, dir.file("link.lib"));
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    WriteBytes(dir.file(".lib.lib." + std::to_string(st.st_ino) + ".Ab12Cd.old"), whole);
    ExpectRuns({{"check", file},
                0,
                "4 materials in 2 categories\n",
                "matlib: " + file +
                    ": the last save did not finish; the library was restored as it was before "
                    "that save\n"});
    EXPECT_EQ(ReadBytes(dir.file("link.lib")), whole);
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"lib.lib", "link.lib"}));
    ExpectRuns(Prints({"check", file}, "4 materials in 2 categories\n"));
}

// What a query matches is the query's own tests' concern, and how find prints matches, none
// or a bad query is shown under each locale; here it is the units a query is read in.
TEST(Matlib, FindReadsTheQueryInTheChosenUnitsBeforeTheFile) {
    TempDir dir;
    const std::string mixed = Data("mixed.lib"), missing = dir.file("missing.lib");
    const std::string s235 = "0\tSteels\tStructural Steel S235\tS235\tHot rolled\n",
                      ss304 = "2\tSTEELS\tStainless Steel 304\tSS304\tAustenitic, annealed\n";
    ExpectRuns({
        // 29E6 psi lies just under 200E9 N/m^2.
        Prints({"find", mixed, "EX>29E6", "--units", "IPS"}, s235),
        // SI unless told: 2.1E6 Kgf/cm^2 would be above the stainless steel's EX.
        Prints({"find", mixed, "EX>2.1E6"}, s235 + ss304),
        // The query is checked before the file is read.
        Fails(2, {"find", missing, "EX>"}, "matlib: \"EX>\": a number must follow \">\".\n"),
    });
}

TEST(Matlib, DiffPrintsTheDifferencesOfEachFixturePairWithItsExitStatus) {
    const auto pair = [](const std::string& name) {
        const std::string folder = std::string(kDataDir) + "/diff/" + name;
        return std::make_tuple(folder + "/old.lib", folder + "/new.lib",
                               ReadBytes(folder + "/expected.out"));
    };
    // Regrouped, reordered, recased and respelt, the same materials and values.
    const auto [sameOld, sameNew, sameOut] = pair("same");
    ExpectRuns(
        {Prints({"diff", sameOld, sameNew}, sameOut), Prints({"diff", sameNew, sameOld}, sameOut)});
    EXPECT_EQ(sameOut, "");
    const auto [changedOld, changedNew, changedOut] = pair("changes");
    ExpectRuns({{"diff", changedOld, changedNew},
                1,
                changedOut,
                "matlib: " + changedNew +
                    ": more than one material is named 'Stainless Steel 304'; the first of them is "
                    "compared\n"});
    const auto [emptyOld, emptyNew, emptyOut] = pair("from-empty");
    ExpectRuns({{"diff", emptyOld, emptyNew}, 1, emptyOut, ""});
}

// "--" ends the options, so that a name, query or file may start with "-"; help stands
// among the options only.
TEST(Matlib, DoubleDashEndsTheOptions) {
    TempDir dir;
    const std::string mixed = Data("mixed.lib");
    WriteBytes(dir.file("-dashed.lib"), ReadBytes(mixed));
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const std::string s235 = "EX\t21000E7\tN/m^2\nNUXY\t300000E-6\t\nALPX\t120000E-10\t/Kelvin\n"
                             "DENS\t7850000E-3\tKgm/m^3\nC (Cp)\t4600000E-4\tJ/kgm.K\n";
    ExpectRuns({
        Prints({"show", "--", mixed, "Structural Steel S235"}, s235),
        Prints({"show", "--units", "SI", "--", mixed, "Structural Steel S235"}, s235),
        Prints({"check", "--", "-dashed.lib"}, "4 materials in 2 categories\n"),
        Fails(2, {"check", "-dashed.lib"},
              "matlib: check: unknown option '-dashed.lib'; try 'matlib check --help'\n"),
        Fails(1, {"show", mixed, "--", "--units"},
              "matlib: no material named '--units' in " + mixed + "\n"),
        Fails(2, {"list", "--", "--help"}, "matlib: cannot read --help: it does not exist.\n"),
        Fails(2, {"show", mixed, "--", "Structural Steel S235", "--units", "MKS"},
              "matlib: show: too many arguments (expected FILE NAME); try 'matlib show --help'\n"),
    });
    std::filesystem::current_path(before);
}

// Values in SI as the file writes them, each with its SI unit where it has one; the unknown
// code of the file is not a property.
TEST(Matlib, DumpPrintsALinePerFact) {
    ExpectRuns(Prints({"dump", Data("mixed.lib")}, ReadBytes(Data("mixed.dump"))));
}

// The two lines the README gives make "git diff" of a library show its values.
TEST(Matlib, DumpServesGitAsTheTextFilterOfLibraries) {
    if (std::system("git --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "git is not installed";
    TempDir dir;
    const std::string repo = dir.path(), log = dir.file(".out");
    const auto git = [&](const std::string& args) { return Git(repo, args, log); };
    ASSERT_EQ(git("init -q ."), 0);
    WriteBytes(repo + "/.gitattributes", "*.lib diff=matlib\n");
    ASSERT_EQ(git("config diff.matlib.textconv '" + std::string(MB_MATLIB_PATH) + " dump'"), 0);
    WriteBytes(repo + "/steels.lib", ReadBytes(std::string(kDataDir) + "/diff/changes/old.lib"));
    ASSERT_EQ(git("add steels.lib .gitattributes") + git("commit -q -m old"), 0);
    std::string text = ReadBytes(repo + "/steels.lib");
    const std::size_t at = text.find("4200000E-4");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 10, "4300000E-4");
    WriteBytes(repo + "/steels.lib", text);
    ASSERT_EQ(git("diff --no-color -U0"), 0);
    const std::string diff = ReadBytes(log);
    EXPECT_NE(diff.find("\n-Polymers\tPolycarbonate\tREFTEMP\t4200000E-4\tKelvin\n"
                        "+Polymers\tPolycarbonate\tREFTEMP\t4300000E-4\tKelvin\n"),
              std::string::npos)
        << diff;
}

TEST(Matlib, HelpListsEveryCommandAndWinsOverBadArguments) {
    const ProgramResult help = Matlib({"-h"});
    for (const char* line :
         {"Usage: matlib COMMAND ARGS...\n", "\n  check FILE ", "\n  list FILE ",
          "\n  show FILE NAME [--units IPS|SI|MKS] ", "\n  write IN OUT ", "\n  import IN OUT ",
          "\n  cells FILE ", "\n  find FILE QUERY [--units IPS|SI|MKS] ", "\n  diff OLD NEW ",
          "\n  dump FILE ",
          // Required options stand without brackets, a repeatable one is marked so.
          "\n  export FILE --format json|csv|xlsx|calculix [--units IPS|SI|MKS] [--material "
          "NAME]...\n",
          "\n  curve FILE NAME --type N [--units IPS|SI|MKS] [--points K]\n"})
        EXPECT_NE(help.out.find(line), std::string::npos) << line;
    const ProgramResult show = Matlib({"show", "a", "b", "c", "--bogus", "--help"});
    EXPECT_TRUE(show.out.starts_with("Usage: matlib show FILE NAME [--units IPS|SI|MKS]\n"))
        << show.out;
    EXPECT_EQ(help.exitCode + show.exitCode, 0);
    EXPECT_EQ(help.err + show.err, "");
}

} // namespace
} // namespace mb::test
