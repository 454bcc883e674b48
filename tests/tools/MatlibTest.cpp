// Runs the built `matlib` and checks what a user of the command line sees: standard
// output, standard error and the exit status.
#include "RunProgram.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

namespace mb::test {
namespace {

std::string Data(const std::string& name) { return std::string(kDataDir) + "/tools/" + name; }

struct Invocation {
    std::vector<std::string> args;
    int exitCode;
    std::string out, err;
    RunOptions options = {};
};

void ExpectRuns(const Invocation& run) {
    const ProgramResult r = RunProgram(MB_MATLIB_PATH, run.args, run.options);
    std::string command = "matlib";
    for (const std::string& a : run.args) command += " '" + a + "'";
    EXPECT_EQ(std::tie(r.exitCode, r.out, r.err), std::tie(run.exitCode, run.out, run.err)) << command;
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
        {{"list", mixed}, 0,
         "0\tSteels\tStructural Steel S235\tS235\tHot rolled\n1\tPolymers\tPolycarbonate\t\t\n"
         "2\tSTEELS\tStainless Steel 304\tSS304\tAustenitic, annealed\n3\tSTEELS\tPlaceholder\tEMPTY\tno values yet\n", ""},
        // The file lists C before ALPX and holds an unknown code: neither shows here.
        {{"show", mixed, "Structural Steel S235"}, 0,
         "EX\t21000E7\tN/m^2\nNUXY\t300000E-6\t\nALPX\t120000E-10\t/Kelvin\n"
         "DENS\t7850000E-3\tKgm/m^3\nC (Cp)\t4600000E-4\tJ/kgm.K\n", ""},
        {{"show", mixed, "Stainless Steel 304", "--units=MKS"}, 0,
         "EX\t1968052E0\tKgf/cm^2\nETAN\t-20394E+0\tKgf/cm^2\nSIGYLD\t2192390E-3\tKgf/cm^2\n"
         "KX\t387189E-7\tCal/(cm.s.C)\n", ""},
        {{"show", mixed, "  polyCARBONATE ", "--units", "ips"}, 0,
         "FRCANG\t1000000E-5\tDegrees\nG1\t250000E-6\t\nREFTEMP\t2963300E-4\tFahrenheit\n", ""},
        {{"write", Data("not-a-library.lib"), dir.file("out.lib")}, 1, "",
         "This file is not a VELTRA/M material library file!\n"},
        // A name code is not a name.
        {{"show", mixed, "SS304"}, 1, "", "matlib: no material named 'SS304' in " + mixed + "\n"},
        {{"list", missing}, 2, "", "matlib: cannot read " + missing + ": it does not exist.\n"},
        {{"show", dir.path(), "x"}, 2, "", "matlib: cannot read " + dir.path() + ": it is a folder.\n"},
        {{"write", mixed, dir.path()}, 2, "", "matlib: Cannot save " + dir.path() + ": Path - File access error.\n"},
        {{"list", mixed}, 2, "", "matlib: cannot write to standard output\n", {-1, "/dev/full"}},
        {{}, 2, "", "matlib: missing command; try 'matlib --help'\n"},
        {{"check", "a.lib", "b.lib"}, 2, "", "matlib check: too many arguments (expected FILE); try 'matlib check --help'\n"},
        {{"list", "--all", "a.lib"}, 2, "", "matlib list: unknown option '--all'; try 'matlib list --help'\n"},
        {{"show", "a.lib"}, 2, "", "matlib show: expected FILE NAME; try 'matlib show --help'\n"},
        {{"show", "a.lib", "Steel", "--units"}, 2, "", "matlib show: --units needs a value; try 'matlib show --help'\n"},
        {{"show", "a.lib", "Steel", "--units", "MKS(G)"}, 2, "",
         "matlib show: --units takes IPS|SI|MKS, not 'MKS(G)'; try 'matlib show --help'\n"},
    };
    for (const Invocation& run : runs) ExpectRuns(run);
    EXPECT_EQ(FileCount(dir), 0) << "a failed write left a file";
}

TEST(Matlib, WriteSavesAsTheApplicationWouldAndReplacesItsTargetOnlyWhenComplete) {
    TempDir dir;
    const std::string target = dir.file("out.lib"), over = dir.file("overfull.lib");
    ExpectRuns({{"write", Data("mixed.lib"), target}, 0, "", ""});
    EXPECT_EQ(ReadBytes(target), ReadBytes(Data("mixed-written.lib")));
    // The mixed library's text is over 1 KiB; the limit stops the write half way.
    WriteBytes(target, "the previous library\n");
    ExpectRuns({{"write", Data("mixed.lib"), target}, 2, "", "matlib: cannot write " + target + ": File too large\n",
                {1024, ""}});
    EXPECT_EQ(ReadBytes(target), "the previous library\n");
    EXPECT_EQ(FileCount(dir), 1) << "temporary file left";
    std::string text = "MATTYPE:Bulk\r\n";
    for (int i = 0; i < 1003; ++i) text += "MATL:B            : Bulk " + std::to_string(i) + "\r\nENDMATL\r\n";
    WriteBytes(over, text);
    ExpectRuns({{"check", over}, 0, "1001 materials in 1 categories\n",
                "matlib: " + over + ": 2 materials beyond the limit of 1001 were dropped\n"});
}

TEST(Matlib, ImportWritesAWorkbookAsALibraryOnlyWhenEveryRowWasImported) {
    TempDir dir;
    const auto sheet = [](const char* name) { return std::string(kDataDir) + "/xls/" + name; };
    const std::string out = dir.file("imported.lib"), good = sheet("two_materials.xls");
    ExpectRuns({{"import", good, out}, 0, "", ""});
    ExpectRuns({{"list", out}, 0,
                "0\tSteel\tStructural Steel\tStructural St\t\n"
                "1\tAluminum Alloys\tAluminium 6061\tAluminium 606\t\n", ""});
    ExpectRuns({{"show", out, "Structural Steel"}, 0, "EX\t20000E7\tN/m^2\nNUXY\t300000E-6\t\n", ""});

    // A refused row, a sheet without materials or a workbook that cannot be read leave
    // OUT as it was.
    WriteBytes(out, "the previous library\n");
    const std::string badRow = sheet("import_bad_row.xls"), noMaterial = sheet("import_no_material.xls"),
                      damaged = sheet("damaged_truncated.xls"), crashes = sheet("crashes/record_length.xls");
    ExpectRuns({{"import", badRow, out}, 1, "",
                "matlib: " + badRow + ": Row 4: column B of a value row is not a number.\n"});
    ExpectRuns({{"import", noMaterial, out}, 1, "", "matlib: " + noMaterial + ": the sheet holds no material\n"});
    ExpectRuns({{"import", damaged, out}, 2, "",
                "matlib: The file \"" + damaged + "\" is damaged and cannot be read.\n"});
    ExpectRuns({{"import", crashes, out}, 2, "",
                "matlib: The file \"" + crashes + "\" could not be read: the spreadsheet reader crashed (signal 11).\n"});
    ExpectRuns({{"import", good}, 2, "", "matlib import: expected IN OUT; try 'matlib import --help'\n"});
    EXPECT_EQ(ReadBytes(out), "the previous library\n");
    EXPECT_EQ(FileCount(dir), 1) << "temporary file left";
}

TEST(Matlib, HelpListsEveryCommandAndWinsOverBadArguments) {
    const ProgramResult help = RunProgram(MB_MATLIB_PATH, {"-h"});
    for (const char* line : {"Usage: matlib COMMAND ARGS...\n", "\n  check FILE ", "\n  list FILE ",
                             "\n  show FILE NAME [--units IPS|SI|MKS] ", "\n  write IN OUT ",
                             "\n  import IN OUT ", "\n  cells FILE "})
        EXPECT_NE(help.out.find(line), std::string::npos) << line;
    const ProgramResult show = RunProgram(MB_MATLIB_PATH, {"show", "a", "b", "c", "--bogus", "--help"});
    EXPECT_TRUE(show.out.starts_with("Usage: matlib show FILE NAME [--units IPS|SI|MKS]\n")) << show.out;
    EXPECT_EQ(help.exitCode + show.exitCode, 0);
    EXPECT_EQ(help.err + show.err, "");
}

} // namespace
} // namespace mb::test
