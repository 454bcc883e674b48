// Runs the built `matlib` and checks what a user of the command line sees: standard
// output, standard error and the exit status.
#include "RunProgram.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace mb::test {
namespace {

const std::string kNotALibrary = "This file is not a VELTRA/M material library file!\n";

std::string Data(const std::string& name) { return std::string(kDataDir) + "/tools/" + name; }

struct Invocation {
    std::vector<std::string> args;
    int exitCode;
    std::string out, err;
    RunOptions options = {};
};

void ExpectRuns(const Invocation& run) {
    const ProgramResult r = RunProgram(MB_MATLIB_PATH, run.args, run.options);
    std::string command;
    for (const std::string& a : run.args) command += " '" + a + "'";
    SCOPED_TRACE("matlib" + command);
    EXPECT_EQ(r.exitCode, run.exitCode);
    EXPECT_EQ(r.out, run.out);
    EXPECT_EQ(r.err, run.err);
}

// A library with `count` materials of one category, each only a material line.
std::string LibraryOf(int count) {
    std::string text = "MATTYPE:Bulk\r\n";
    for (int i = 0; i < count; ++i) text += "MATL:B            : Bulk " + std::to_string(i) + "\r\nENDMATL\r\n";
    return text + "ENDTYPE\r\n";
}

std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
    return names;
}

TEST(Matlib, ReadsALibraryAsASaveGroupsAndShowsIt) {
    const std::string mixed = Data("mixed.lib"), empty = Data("empty-category.lib");
    const Invocation runs[] = {
        // "Steels" and "STEELS" are one category when written; an empty category is none.
        {{"check", mixed}, 0, "4 materials in 2 categories\n", ""},
        {{"check", empty}, 0, "0 materials in 0 categories\n", ""},
        {{"list", empty}, 0, "", ""},
        {{"list", mixed}, 0,
         "0\tSteels\tStructural Steel S235\tS235\tHot rolled\n"
         "1\tPolymers\tPolycarbonate\t\t\n"
         "2\tSTEELS\tStainless Steel 304\tSS304\tAustenitic, annealed\n"
         "3\tSTEELS\tPlaceholder\tEMPTY\tno values yet\n", ""},
        // The file lists C before ALPX and holds an unknown code: neither shows here.
        {{"show", mixed, "Structural Steel S235"}, 0,
         "EX\t21000E7\tN/m^2\nNUXY\t300000E-6\t\nALPX\t120000E-10\t/Kelvin\n"
         "DENS\t7850000E-3\tKgm/m^3\nC (Cp)\t4600000E-4\tJ/kgm.K\n", ""},
        {{"show", mixed, "Structural Steel S235", "--units", "IPS"}, 0,
         "EX\t3046314E1\tpsi\nNUXY\t300000E-6\t\nALPX\t666667E-11\t/Fahrenheit\n"
         "DENS\t283599E-6\tlb/in^3\nC (Cp)\t109890E-6\tBTU/(lb.F)\n", ""},
        {{"show", mixed, "Stainless Steel 304", "--units=MKS"}, 0,
         "EX\t1968052E0\tKgf/cm^2\nETAN\t-20394E+0\tKgf/cm^2\nSIGYLD\t2192390E-3\tKgf/cm^2\n"
         "KX\t387189E-7\tCal/(cm.s.C)\n", ""},
        {{"show", mixed, "Polycarbonate", "--units", "ips"}, 0,
         "FRCANG\t1000000E-5\tDegrees\nG1\t250000E-6\t\nREFTEMP\t2963300E-4\tFahrenheit\n", ""},
        {{"show", mixed, "  polyCARBONATE "}, 0,
         "FRCANG\t1000000E-5\tDegrees\nG1\t250000E-6\t\nREFTEMP\t4200000E-4\tKelvin\n", ""},
        {{"show", mixed, "Placeholder"}, 0, "", ""},
    };
    for (const Invocation& run : runs) ExpectRuns(run);
}

TEST(Matlib, FailuresHaveTheirExitStatusAndMessage) {
    TempDir dir;
    const std::string mixed = Data("mixed.lib"), bad = Data("not-a-library.lib");
    const std::string missing = dir.file("missing.lib"), emptyFile = dir.file("empty.lib");
    WriteBytes(emptyFile, "");
    const auto cannotRead = [](const std::string& path, const std::string& why) {
        return "matlib: cannot read " + path + ": " + why + ".\n";
    };
    const auto noMaterial = [&](const std::string& name) {
        return "matlib: no material named '" + name + "' in " + mixed + "\n";
    };
    const Invocation runs[] = {
        {{"check", bad}, 1, "", kNotALibrary},
        {{"check", emptyFile}, 1, "", kNotALibrary},
        {{"list", bad}, 1, "", kNotALibrary},
        {{"show", bad, "Structural Steel S235"}, 1, "", kNotALibrary},
        {{"write", bad, dir.file("out.lib")}, 1, "", kNotALibrary},
        {{"show", mixed, "Unobtainium"}, 1, "", noMaterial("Unobtainium")},
        {{"show", mixed, "SS304"}, 1, "", noMaterial("SS304")}, // a name code is not a name
        {{"check", missing}, 2, "", cannotRead(missing, "Path not found")},
        {{"check", dir.path()}, 2, "", cannotRead(dir.path(), "Path - File access error")},
        {{"list", missing}, 2, "", cannotRead(missing, "Path not found")},
        {{"show", dir.path(), "x"}, 2, "", cannotRead(dir.path(), "Path - File access error")},
        {{"write", missing, dir.file("out.lib")}, 2, "", cannotRead(missing, "Path not found")},
        {{"write", mixed, dir.file("no-folder/out.lib")}, 2, "",
         "matlib: Cannot save " + dir.file("no-folder/out.lib") + ": Path not found.\n"},
        {{"write", mixed, dir.path()}, 2, "",
         "matlib: Cannot save " + dir.path() + ": Path - File access error.\n"},
        {{"list", mixed}, 2, "", "matlib: cannot write to standard output\n", {-1, "/dev/full"}},
        {{"show", mixed, "Polycarbonate", "--units", "MKS(G)"}, 2, "",
         "matlib show: --units takes IPS|SI|MKS, not 'MKS(G)'; try 'matlib show --help'\n"},
        // Command lines that make no sense get a one-line hint.
        {{}, 2, "", "matlib: missing command; try 'matlib --help'\n"},
        {{"convert", "a.lib"}, 2, "", "matlib: unknown command 'convert'; try 'matlib --help'\n"},
        {{"--units", "SI"}, 2, "", "matlib: unknown command '--units'; try 'matlib --help'\n"},
        {{"check"}, 2, "", "matlib check: expected FILE; try 'matlib check --help'\n"},
        {{"check", "a.lib", "b.lib"}, 2, "",
         "matlib check: too many arguments (expected FILE); try 'matlib check --help'\n"},
        {{"list", "--all", "a.lib"}, 2, "",
         "matlib list: unknown option '--all'; try 'matlib list --help'\n"},
        {{"show", "a.lib"}, 2, "", "matlib show: expected FILE NAME; try 'matlib show --help'\n"},
        {{"show", "a.lib", "Steel", "--units"}, 2, "",
         "matlib show: --units needs a value; try 'matlib show --help'\n"},
        {{"show", "a.lib", "Steel", "--units="}, 2, "",
         "matlib show: --units takes IPS|SI|MKS, not ''; try 'matlib show --help'\n"},
        {{"write", "in.lib"}, 2, "", "matlib write: expected IN OUT; try 'matlib write --help'\n"},
        {{"write", "in.lib", "out.lib", "--units", "SI"}, 2, "",
         "matlib write: unknown option '--units'; try 'matlib write --help'\n"},
    };
    for (const Invocation& run : runs) ExpectRuns(run);
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"empty.lib"}) << "a failed write left a file";
}

TEST(Matlib, MaterialsBeyondTheLimitAreDroppedWithAWarning) {
    TempDir dir;
    const std::string full = dir.file("full.lib"), over = dir.file("overfull.lib"), out = dir.file("out.lib");
    WriteBytes(full, LibraryOf(1001));
    WriteBytes(over, LibraryOf(1003));
    const std::string dropped = "matlib: " + over + ": 2 materials beyond the limit of 1001 were dropped\n";
    ExpectRuns({{"check", full}, 0, "1001 materials in 1 categories\n", ""});
    ExpectRuns({{"check", over}, 0, "1001 materials in 1 categories\n", dropped});
    ExpectRuns({{"write", over, out}, 0, "", dropped});
    ExpectRuns({{"check", out}, 0, "1001 materials in 1 categories\n", ""});
    const ProgramResult r = RunProgram(MB_MATLIB_PATH, {"list", over});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, dropped);
    EXPECT_TRUE(r.out.ends_with("\n1000\tBulk\tBulk 1000\tB\t\n")) << r.out.substr(r.out.size() - 80);
}

TEST(Matlib, WriteReplacesItsTargetOnlyWhenTheNewFileIsComplete) {
    TempDir dir;
    const std::string target = dir.file("out.lib");
    ExpectRuns({{"write", Data("mixed.lib"), target}, 0, "", ""});
    EXPECT_EQ(ReadBytes(target), ReadBytes(Data("mixed-written.lib")));
    ExpectRuns({{"write", Data("empty-category.lib"), target}, 0, "", ""});
    EXPECT_EQ(ReadBytes(target), "");
    // The mixed library's text is over 1 KiB; the limit stops the write half way.
    WriteBytes(target, "the previous library\n");
    ExpectRuns({{"write", Data("mixed.lib"), target}, 2, "",
                "matlib: cannot write " + target + ": File too large\n", {1024, ""}});
    EXPECT_EQ(ReadBytes(target), "the previous library\n");
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"out.lib"}) << "temporary file left";
}

TEST(Matlib, HelpListsEveryCommandAndWinsOverBadArguments) {
    for (const std::string flag : {"--help", "-h"}) {
        const ProgramResult r = RunProgram(MB_MATLIB_PATH, {flag});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_TRUE(r.out.starts_with("Usage: matlib COMMAND ARGS...\n")) << r.out;
        for (const std::string line : {"\n  check FILE ", "\n  list FILE ",
                                       "\n  show FILE NAME [--units IPS|SI|MKS] ", "\n  write IN OUT "})
            EXPECT_NE(r.out.find(line), std::string::npos) << line;
    }
    const std::pair<std::string, std::string> commands[] = {
        {"check", "matlib check FILE"}, {"list", "matlib list FILE"},
        {"show", "matlib show FILE NAME [--units IPS|SI|MKS]"}, {"write", "matlib write IN OUT"}};
    for (const auto& [command, usage] : commands)
        for (const std::vector<std::string>& args : {std::vector<std::string>{command, "--help"},
                                                     {command, "a", "b", "c", "--bogus", "-h"}}) {
            const ProgramResult r = RunProgram(MB_MATLIB_PATH, args);
            EXPECT_EQ(r.exitCode, 0) << command;
            EXPECT_EQ(r.err, "") << command;
            EXPECT_TRUE(r.out.starts_with("Usage: " + usage + "\n")) << r.out;
            EXPECT_NE(r.out.find("Exit status:"), std::string::npos) << command;
        }
}

} // namespace
} // namespace mb::test
