// Runs the built `matlib` and checks what a user of the command line sees: standard
// output, standard error and the exit status.
#include "RunProgram.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <regex>

#include <cstdlib>
#include <tuple>

namespace mb::test {
namespace {

std::string Data(const std::string& name) {
    return std::string(kDataDir) + "/tools/" + name;
}

struct Invocation {
    std::vector<std::string> args;
    int exitCode;
    std::string out, err;
    RunOptions options = {};
};

// A heap overrun ends in SIGSEGV or in the C library's SIGABRT depending on how the
// program happens to be laid out; the message's signal number is "#" here.
std::string AnySignal(std::string text) {
    static const std::regex signal(R"(crashed \(signal [0-9]+\))");
    return std::regex_replace(text, signal, "crashed (signal #)");
}

void ExpectRuns(const Invocation& run) {
    ProgramResult r = RunProgram(MB_MATLIB_PATH, run.args, run.options);
    r.err = AnySignal(r.err);
    std::string command = "matlib";
    for (const std::string& a : run.args)
        command += " '" + a + "'";
    EXPECT_EQ(std::tie(r.exitCode, r.out, r.err), std::tie(run.exitCode, run.out, run.err))
        << command;
}

long FileCount(const TempDir& dir) {
    return std::distance(std::filesystem::directory_iterator(dir.path()), {});
}

TEST(Matlib, EachCommandPrintsItsResultOrOneMessageWithItsExitStatus) {
    TempDir dir;
    const std::string mixed = Data("mixed.lib"), missing = dir.file("missing.lib");
    const Invocation runs[] = {
        // "Steels" and "STEELS" are one category when written; an empty category is none.
        {{"check", mixed}, 0, "4 materials in 2 categories\n", ""},
        {{"list", Data("empty-category.lib")}, 0, "", ""},
        {{"list", mixed},
         0,
         "0\tSteels\tStructural Steel S235\tS235\tHot rolled\n1\tPolymers\tPolycarbonate\t\t\n"
         "2\tSTEELS\tStainless Steel 304\tSS304\tAustenitic, "
         "annealed\n3\tSTEELS\tPlaceholder\tEMPTY\tno values yet\n",
         ""},
        // The file lists C before ALPX and holds an unknown code: neither shows here.
        {{"show", mixed, "Structural Steel S235"},
         0,
         "EX\t21000E7\tN/m^2\nNUXY\t300000E-6\t\nALPX\t120000E-10\t/Kelvin\n"
         "DENS\t7850000E-3\tKgm/m^3\nC (Cp)\t4600000E-4\tJ/kgm.K\n",
         ""},
        {{"show", mixed, "Stainless Steel 304", "--units=MKS"},
         0,
         "EX\t1968052E0\tKgf/cm^2\nETAN\t-20394E+0\tKgf/cm^2\nSIGYLD\t2192390E-3\tKgf/cm^2\n"
         "KX\t387189E-7\tCal/(cm.s.C)\n",
         ""},
        {{"show", mixed, "  polyCARBONATE ", "--units", "ips"},
         0,
         "FRCANG\t1000000E-5\tDegrees\nG1\t250000E-6\t\nREFTEMP\t2963300E-4\tFahrenheit\n",
         ""},
        {{"write", Data("not-a-library.lib"), dir.file("out.lib")},
         1,
         "",
         "This file is not a VELTRA/M material library file!\n"},
        // A name code is not a name.
        {{"show", mixed, "SS304"}, 1, "", "matlib: no material named 'SS304' in " + mixed + "\n"},
        {{"list", missing}, 2, "", "matlib: cannot read " + missing + ": it does not exist.\n"},
        {{"show", dir.path(), "x"},
         2,
         "",
         "matlib: cannot read " + dir.path() + ": it is a folder.\n"},
        {{"write", mixed, dir.path()},
         2,
         "",
         "matlib: Cannot save " + dir.path() + ": Path - File access error.\n"},
        {{"list", mixed}, 2, "", "matlib: cannot write to standard output\n", {-1, "/dev/full"}},
        {{}, 2, "", "matlib: missing command; try 'matlib --help'\n"},
        {{"check", "a.lib", "b.lib"},
         2,
         "",
         "matlib check: too many arguments (expected FILE); try 'matlib check --help'\n"},
        {{"list", "--all", "a.lib"},
         2,
         "",
         "matlib list: unknown option '--all'; try 'matlib list --help'\n"},
        {{"show", "a.lib"}, 2, "", "matlib show: expected FILE NAME; try 'matlib show --help'\n"},
        {{"show", "a.lib", "Steel", "--units"},
         2,
         "",
         "matlib show: --units needs a value; try 'matlib show --help'\n"},
        {{"show", "a.lib", "Steel", "--units", "MKS(G)"},
         2,
         "",
         "matlib show: --units takes IPS|SI|MKS, not 'MKS(G)'; try 'matlib show --help'\n"},
    };
    for (const Invocation& run : runs)
        ExpectRuns(run);
    EXPECT_EQ(FileCount(dir), 0) << "a failed write left a file";
}

TEST(Matlib, WriteSavesAsTheApplicationWouldAndReplacesItsTargetOnlyWhenComplete) {
    TempDir dir;
    const std::string target = dir.file("out.lib"), over = dir.file("overfull.lib");
    ExpectRuns({{"write", Data("mixed.lib"), target}, 0, "", ""});
    EXPECT_EQ(ReadBytes(target), ReadBytes(Data("mixed-written.lib")));
    // The mixed library's text is over 1 KiB; the limit stops the write half way.
    WriteBytes(target, "the previous library\n");
    ExpectRuns({{"write", Data("mixed.lib"), target},
                2,
                "",
                "matlib: cannot write " + target + ": File too large\n",
                {1024, ""}});
    EXPECT_EQ(ReadBytes(target), "the previous library\n");
    EXPECT_EQ(FileCount(dir), 1) << "temporary file left";
    std::string text = "MATTYPE:Bulk\r\n";
    for (int i = 0; i < 1003; ++i)
        text += "MATL:B            : Bulk " + std::to_string(i) + "\r\nENDMATL\r\n";
    WriteBytes(over, text);
    ExpectRuns({{"check", over},
                0,
                "1001 materials in 1 categories\n",
                "matlib: " + over + ": 2 materials beyond the limit of 1001 were dropped\n"});
}

TEST(Matlib, ImportWritesAWorkbookAsALibraryOnlyWhenEveryRowWasImported) {
    TempDir dir;
    const auto sheet = [](const char* name) { return std::string(kDataDir) + "/xls/" + name; };
    const std::string out = dir.file("imported.lib"), good = sheet("two_materials.xls");
    ExpectRuns({{"import", good, out}, 0, "", ""});
    ExpectRuns({{"list", out},
                0,
                "0\tSteel\tStructural Steel\tStructural St\t\n"
                "1\tAluminum Alloys\tAluminium 6061\tAluminium 606\t\n",
                ""});
    ExpectRuns(
        {{"show", out, "Structural Steel"}, 0, "EX\t20000E7\tN/m^2\nNUXY\t300000E-6\t\n", ""});

    // A refused row, a sheet without materials or a workbook that cannot be read leave
    // OUT as it was.
    WriteBytes(out, "the previous library\n");
    const std::string badRow = sheet("import_bad_row.xls"),
                      noMaterial = sheet("import_no_material.xls"),
                      damaged = sheet("damaged_truncated.xls"),
                      crashes = sheet("crashes/record_length.xls");
    ExpectRuns({{"import", badRow, out},
                1,
                "",
                "matlib: " + badRow + ": Row 4: column B of a value row is not a number.\n"});
    ExpectRuns({{"import", noMaterial, out},
                1,
                "",
                "matlib: " + noMaterial + ": the sheet holds no material\n"});
    ExpectRuns({{"import", damaged, out},
                2,
                "",
                "matlib: The file \"" + damaged + "\" is damaged and cannot be read.\n"});
    ExpectRuns({{"import", crashes, out},
                2,
                "",
                "matlib: The file \"" + crashes +
                    "\" could not be read: the spreadsheet reader crashed (signal #).\n"});
    ExpectRuns(
        {{"import", good}, 2, "", "matlib import: expected IN OUT; try 'matlib import --help'\n"});
    EXPECT_EQ(ReadBytes(out), "the previous library\n");
    EXPECT_EQ(FileCount(dir), 1) << "temporary file left";
}

TEST(Matlib, FindListsTheMatchesAsListDoesAndTellsNoneFromABadQuery) {
    TempDir dir;
    const std::string mixed = Data("mixed.lib"), notALibrary = Data("not-a-library.lib"),
                      missing = dir.file("missing.lib");
    const std::string s235 = "0\tSteels\tStructural Steel S235\tS235\tHot rolled\n",
                      pc = "1\tPolymers\tPolycarbonate\t\t\n",
                      ss304 = "2\tSTEELS\tStainless Steel 304\tSS304\tAustenitic, annealed\n",
                      empty = "3\tSTEELS\tPlaceholder\tEMPTY\tno values yet\n";
    const Invocation runs[] = {
        {{"find", mixed, "steel"}, 0, s235 + ss304 + empty, ""},
        {{"find", mixed, "STAINLESS"}, 0, ss304, ""},
        {{"find", mixed, ""}, 0, s235 + pc + ss304 + empty, ""},
        {{"find", mixed, "EX>200E9"}, 0, s235, ""},
        {{"find", mixed, "steel EX"}, 0, s235 + ss304, ""},
        {{"find", mixed, "C"}, 0, s235, ""},
        {{"find", mixed, "\"structural steel\" NUXY=0.3"}, 0, s235, ""},
        // 29E6 psi and 2.1E6 Kgf/cm^2 lie just under 200E9 N/m^2.
        {{"find", mixed, "EX>29E6", "--units", "IPS"}, 0, s235, ""},
        {{"find", mixed, "EX>2.1E6", "--units=mks"}, 0, s235, ""},
        {{"find", mixed, "EX>2.1E6"}, 0, s235 + ss304, ""},
        {{"find", mixed, "REFTEMP<297", "--units", "IPS"}, 0, pc, ""},
        {{"find", mixed, "copper"}, 1, "", ""},
        {{"find", mixed, "EX>300E9"}, 1, "", ""},
        {{"find", mixed, "EX>>"}, 2, "", "matlib: \"EX>>\": \">\" is not a number.\n"},
        {{"find", mixed, "EX>abc"}, 2, "", "matlib: \"EX>abc\": \"abc\" is not a number.\n"},
        {{"find", mixed, "EX>2,1E11"},
         2,
         "",
         "matlib: \"EX>2,1E11\": \"2,1E11\" is not a number.\n"},
        {{"find", mixed, "steel FOO<3"},
         2,
         "",
         "matlib: \"FOO<3\": \"FOO\" is not a property code.\n"},
        {{"find", mixed, "\"two words"},
         2,
         "",
         "matlib: The phrase \"two words has no closing quote.\n"},
        // The query is checked before the file is read.
        {{"find", missing, "EX>"}, 2, "", "matlib: \"EX>\": a number must follow \">\".\n"},
        {{"find", missing, "steel"},
         2,
         "",
         "matlib: cannot read " + missing + ": it does not exist.\n"},
        {{"find", notALibrary, "steel"},
         2,
         "",
         "matlib: " + notALibrary + ": This file is not a VELTRA/M material library file!\n"},
        {{"find", mixed}, 2, "", "matlib find: expected FILE QUERY; try 'matlib find --help'\n"},
        {{"find", mixed, "steel", "EX"},
         2,
         "",
         "matlib find: too many arguments (expected FILE QUERY); try 'matlib find --help'\n"},
        {{"find", mixed, "steel", "--units", "CGS"},
         2,
         "",
         "matlib find: --units takes IPS|SI|MKS, not 'CGS'; try 'matlib find --help'\n"},
    };
    for (const Invocation& run : runs)
        ExpectRuns(run);
}

TEST(Matlib, DiffPrintsTheDifferencesOfEachFixturePairWithItsExitStatus) {
    const auto pair = [](const std::string& name) {
        const std::string folder = std::string(kDataDir) + "/diff/" + name;
        return std::make_tuple(folder + "/old.lib", folder + "/new.lib",
                               ReadBytes(folder + "/expected.out"));
    };
    // Regrouped, reordered, recased and respelt, the same materials and values.
    const auto [sameOld, sameNew, sameOut] = pair("same");
    ExpectRuns({{"diff", sameOld, sameNew}, 0, sameOut, ""});
    ExpectRuns({{"diff", sameNew, sameOld}, 0, sameOut, ""});
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
    ExpectRuns({{"diff", emptyNew, emptyOld},
                1,
                "removed\tSteels\tStructural Steel S235\nremoved\tPolymers\tPolycarbonate\n",
                ""});
    ExpectRuns({{"diff", changedOld, changedOld}, 0, "", ""});
}

TEST(Matlib, DiffAndDumpTreatAFileThatIsNoLibraryAsAFileProblem) {
    TempDir dir;
    const std::string mixed = Data("mixed.lib"), notALibrary = Data("not-a-library.lib"),
                      missing = dir.file("missing.lib");
    const std::string rejected =
        "matlib: " + notALibrary + ": This file is not a VELTRA/M material library file!\n";
    const Invocation runs[] = {
        {{"diff", notALibrary, mixed}, 2, "", rejected},
        {{"diff", mixed, notALibrary}, 2, "", rejected},
        {{"diff", mixed, missing},
         2,
         "",
         "matlib: cannot read " + missing + ": it does not exist.\n"},
        {{"diff", dir.path(), mixed},
         2,
         "",
         "matlib: cannot read " + dir.path() + ": it is a folder.\n"},
        {{"dump", notALibrary}, 2, "", rejected},
        {{"dump", missing}, 2, "", "matlib: cannot read " + missing + ": it does not exist.\n"},
        {{"diff", mixed}, 2, "", "matlib diff: expected OLD NEW; try 'matlib diff --help'\n"},
        {{"dump", mixed, "--units", "IPS"},
         2,
         "",
         "matlib dump: unknown option '--units'; try 'matlib dump --help'\n"},
    };
    for (const Invocation& run : runs)
        ExpectRuns(run);
}

TEST(Matlib, DumpPrintsALinePerFactThatASaveDoesNotChange) {
    TempDir dir;
    const std::string head = "Steels\tStructural Steel S235\t", pc = "Polymers\tPolycarbonate\t",
                      ss = "STEELS\tStainless Steel 304\t", empty = "STEELS\tPlaceholder\t";
    // Values in SI as the file writes them, each with its SI unit where it has one; the
    // unknown code of the file is not a property.
    ExpectRuns({{"dump", Data("mixed.lib")},
                0,
                head + "namecode\tS235\n" + head + "description\tHot rolled\n" + head +
                    "EX\t21000E7\tN/m^2\n" + head + "NUXY\t300000E-6\n" + head +
                    "ALPX\t120000E-10\t/Kelvin\n" + head + "DENS\t7850000E-3\tKgm/m^3\n" + head +
                    "C (Cp)\t4600000E-4\tJ/kgm.K\n" + pc + "namecode\n" + pc + "description\n" +
                    pc + "FRCANG\t1000000E-5\tDegrees\n" + pc + "G1\t250000E-6\n" + pc +
                    "REFTEMP\t4200000E-4\tKelvin\n" + ss + "namecode\tSS304\n" + ss +
                    "description\tAustenitic, annealed\n" + ss + "EX\t19300E7\tN/m^2\n" + ss +
                    "ETAN\t-20000E+5\tN/m^2\n" + ss + "SIGYLD\t2150000E2\tN/m^2\n" + ss +
                    "KX\t1620000E-5\tW/(m.K)\n" + empty + "namecode\tEMPTY\n" + empty +
                    "description\tno values yet\n",
                ""});
    // Reading a saved library and saving it again changes no line of its dump.
    const std::string saved = dir.file("saved.lib");
    ExpectRuns({{"write", Data("mixed-written.lib"), saved}, 0, "", ""});
    const ProgramResult before = RunProgram(MB_MATLIB_PATH, {"dump", Data("mixed-written.lib")});
    const ProgramResult after = RunProgram(MB_MATLIB_PATH, {"dump", saved});
    EXPECT_EQ(after.out, before.out);
    EXPECT_EQ(std::tie(before.exitCode, after.exitCode), std::make_tuple(0, 0));
}

// The two lines the README gives make "git diff" of a library show its values.
TEST(Matlib, DumpServesGitAsTheTextFilterOfLibraries) {
    if (std::system("git --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "git is not installed";
    TempDir dir;
    const std::string repo = dir.path();
    const auto git = [&](const std::string& args) {
        const std::string command = "cd '" + repo + "' && git -c user.name=t -c user.email=t@t " +
                                    args + " >'" + repo + "/.out' 2>&1";
        return std::system(command.c_str());
    };
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
    const std::string diff = ReadBytes(repo + "/.out");
    EXPECT_NE(diff.find("\n-Polymers\tPolycarbonate\tREFTEMP\t4200000E-4\tKelvin\n"
                        "+Polymers\tPolycarbonate\tREFTEMP\t4300000E-4\tKelvin\n"),
              std::string::npos)
        << diff;
}

TEST(Matlib, HelpListsEveryCommandAndWinsOverBadArguments) {
    const ProgramResult help = RunProgram(MB_MATLIB_PATH, {"-h"});
    for (const char* line :
         {"Usage: matlib COMMAND ARGS...\n", "\n  check FILE ", "\n  list FILE ",
          "\n  show FILE NAME [--units IPS|SI|MKS] ", "\n  write IN OUT ", "\n  import IN OUT ",
          "\n  cells FILE ", "\n  find FILE QUERY [--units IPS|SI|MKS] ", "\n  diff OLD NEW ",
          "\n  dump FILE "})
        EXPECT_NE(help.out.find(line), std::string::npos) << line;
    const ProgramResult show =
        RunProgram(MB_MATLIB_PATH, {"show", "a", "b", "c", "--bogus", "--help"});
    EXPECT_TRUE(show.out.starts_with("Usage: matlib show FILE NAME [--units IPS|SI|MKS]\n"))
        << show.out;
    EXPECT_EQ(help.exitCode + show.exitCode, 0);
    EXPECT_EQ(help.err + show.err, "");
}

} // namespace
} // namespace mb::test
