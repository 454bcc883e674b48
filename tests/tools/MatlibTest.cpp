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

const std::string kMatlib = MB_MATLIB_PATH;
const std::string kNotALibrary = "This file is not a VELTRA/M material library file!\n";

std::string Data(const std::string& name) { return std::string(kDataDir) + "/tools/" + name; }

ProgramResult Matlib(const std::vector<std::string>& args, const RunOptions& options = {}) {
    return RunProgram(kMatlib, args, options);
}

void ExpectResult(const ProgramResult& r, int exitCode, const std::string& out,
                  const std::string& err) {
    EXPECT_EQ(r.exitCode, exitCode);
    EXPECT_EQ(r.out, out);
    EXPECT_EQ(r.err, err);
}

// A library with `count` materials of one category, each only a material line.
std::string LibraryOf(int count) {
    std::string text = "MATTYPE:Bulk\r\n";
    for (int i = 0; i < count; ++i) text += "MATL:B            : Bulk " + std::to_string(i) + "\r\nENDMATL\r\n";
    return text + "ENDTYPE\r\n";
}

std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    return names;
}

// ---------------------------------------------------------------- check

TEST(MatlibCheck, CountsMaterialsAndCategoriesAsASaveGroupsThem) {
    // "Steels" and "STEELS" are one category when written.
    ExpectResult(Matlib({"check", Data("mixed.lib")}), 0, "4 materials in 2 categories\n", "");
}

TEST(MatlibCheck, ACategoryWithoutMaterialsCountsForNothing) {
    ExpectResult(Matlib({"check", Data("empty-category.lib")}), 0, "0 materials in 0 categories\n", "");
}

TEST(MatlibCheck, RejectsAFileThatDoesNotStartWithACategoryLine) {
    ExpectResult(Matlib({"check", Data("not-a-library.lib")}), 1, "", kNotALibrary);
}

TEST(MatlibCheck, RejectsAnEmptyFile) {
    TempDir dir;
    WriteWholeFile(dir.file("empty.lib"), "");
    ExpectResult(Matlib({"check", dir.file("empty.lib")}), 1, "", kNotALibrary);
}

TEST(MatlibCheck, NamesTheFileAndTheReasonWhenItCannotBeRead) {
    TempDir dir;
    ExpectResult(Matlib({"check", dir.file("missing.lib")}), 2, "",
                 "matlib: cannot read " + dir.file("missing.lib") + ": Path not found.\n");
    ExpectResult(Matlib({"check", dir.path()}), 2, "",
                 "matlib: cannot read " + dir.path() + ": Path - File access error.\n");
    ExpectResult(Matlib({"check", dir.file("no-folder/x.lib")}), 2, "",
                 "matlib: cannot read " + dir.file("no-folder/x.lib") + ": Path not found.\n");
}

TEST(MatlibCheck, ReportsMaterialsBeyondTheLimitAsDropped) {
    TempDir dir;
    const std::string path = dir.file("overfull.lib");
    WriteWholeFile(path, LibraryOf(1004));
    ExpectResult(Matlib({"check", path}), 0, "1001 materials in 1 categories\n",
                 "matlib: " + path + ": 3 materials beyond the limit of 1001 were dropped\n");
}

TEST(MatlibCheck, AFullLibraryDropsNothing) {
    TempDir dir;
    WriteWholeFile(dir.file("full.lib"), LibraryOf(1001));
    ExpectResult(Matlib({"check", dir.file("full.lib")}), 0, "1001 materials in 1 categories\n", "");
}

// ---------------------------------------------------------------- list

TEST(MatlibList, PrintsEveryMaterialInNumberOrderWithTrimmedFields) {
    ExpectResult(Matlib({"list", Data("mixed.lib")}), 0,
                 "0\tSteels\tStructural Steel S235\tS235\tHot rolled\n"
                 "1\tPolymers\tPolycarbonate\t\t\n"
                 "2\tSTEELS\tStainless Steel 304\tSS304\tAustenitic, annealed\n"
                 "3\tSTEELS\tPlaceholder\tEMPTY\tno values yet\n",
                 "");
}

TEST(MatlibList, PrintsNothingForALibraryWithoutMaterials) {
    ExpectResult(Matlib({"list", Data("empty-category.lib")}), 0, "", "");
}

TEST(MatlibList, FailsLikeCheckOnBadInput) {
    ExpectResult(Matlib({"list", Data("not-a-library.lib")}), 1, "", kNotALibrary);
    TempDir dir;
    ExpectResult(Matlib({"list", dir.file("missing.lib")}), 2, "",
                 "matlib: cannot read " + dir.file("missing.lib") + ": Path not found.\n");
}

TEST(MatlibList, ListsTheKeptMaterialsOfAnOverfullLibraryAndWarns) {
    TempDir dir;
    WriteWholeFile(dir.file("overfull.lib"), LibraryOf(1002));
    const ProgramResult r = Matlib({"list", dir.file("overfull.lib")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "matlib: " + dir.file("overfull.lib") +
                         ": 1 materials beyond the limit of 1001 were dropped\n");
    EXPECT_TRUE(r.out.ends_with("\n1000\tBulk\tBulk 1000\tB\t\n")) << r.out.substr(r.out.size() - 80);
}

TEST(MatlibList, ReportsStandardOutputThatCannotBeWritten) {
    ExpectResult(Matlib({"list", Data("mixed.lib")}, {.maxFileSize = -1, .stdoutPath = "/dev/full"}), 2, "",
                 "matlib: cannot write to standard output\n");
}

// ---------------------------------------------------------------- show

TEST(MatlibShow, PrintsValuesInSIByDefaultInSlotOrder) {
    // The file lists C before ALPX and holds an unknown code: neither shows here.
    ExpectResult(Matlib({"show", Data("mixed.lib"), "Structural Steel S235"}), 0,
                 "EX\t21000E7\tN/m^2\n"
                 "NUXY\t300000E-6\t\n"
                 "ALPX\t120000E-10\t/Kelvin\n"
                 "DENS\t7850000E-3\tKgm/m^3\n"
                 "C (Cp)\t4600000E-4\tJ/kgm.K\n",
                 "");
}

TEST(MatlibShow, ConvertsToIPSWithIPSLabels) {
    ExpectResult(Matlib({"show", Data("mixed.lib"), "Structural Steel S235", "--units", "IPS"}), 0,
                 "EX\t3046314E1\tpsi\n"
                 "NUXY\t300000E-6\t\n"
                 "ALPX\t666667E-11\t/Fahrenheit\n"
                 "DENS\t283599E-6\tlb/in^3\n"
                 "C (Cp)\t109890E-6\tBTU/(lb.F)\n",
                 "");
}

TEST(MatlibShow, ConvertsToMKSWithMKSLabels) {
    ExpectResult(Matlib({"show", Data("mixed.lib"), "Stainless Steel 304", "--units=MKS"}), 0,
                 "EX\t1968052E0\tKgf/cm^2\n"
                 "ETAN\t-20394E+0\tKgf/cm^2\n"
                 "SIGYLD\t2192390E-3\tKgf/cm^2\n"
                 "KX\t387189E-7\tCal/(cm.s.C)\n",
                 "");
}

TEST(MatlibShow, TakesTheUnitSystemWithoutRegardToCase) {
    const ProgramResult lower = Matlib({"show", Data("mixed.lib"), "Polycarbonate", "--units", "ips"});
    ExpectResult(lower, 0,
                 "FRCANG\t1000000E-5\tDegrees\n"
                 "G1\t250000E-6\t\n"
                 "REFTEMP\t2963300E-4\tFahrenheit\n",
                 "");
}

TEST(MatlibShow, FindsTheNameTrimmedAndWithoutRegardToCase) {
    ExpectResult(Matlib({"show", Data("mixed.lib"), "  polyCARBONATE "}), 0,
                 "FRCANG\t1000000E-5\tDegrees\n"
                 "G1\t250000E-6\t\n"
                 "REFTEMP\t4200000E-4\tKelvin\n",
                 "");
}

TEST(MatlibShow, AMaterialWithoutValuesShowsNothing) {
    ExpectResult(Matlib({"show", Data("mixed.lib"), "Placeholder"}), 0, "", "");
}

TEST(MatlibShow, AnUnknownNameIsAnError) {
    ExpectResult(Matlib({"show", Data("mixed.lib"), "Unobtainium"}), 1, "",
                 "matlib: no material named 'Unobtainium' in " + Data("mixed.lib") + "\n");
    // A name code is not a name.
    ExpectResult(Matlib({"show", Data("mixed.lib"), "SS304"}), 1, "",
                 "matlib: no material named 'SS304' in " + Data("mixed.lib") + "\n");
}

TEST(MatlibShow, FailsLikeCheckOnBadInput) {
    ExpectResult(Matlib({"show", Data("not-a-library.lib"), "Structural Steel S235"}), 1, "",
                 kNotALibrary);
    TempDir dir;
    ExpectResult(Matlib({"show", dir.path(), "x"}), 2, "",
                 "matlib: cannot read " + dir.path() + ": Path - File access error.\n");
}

TEST(MatlibShow, RejectsAnUnknownUnitSystem) {
    ExpectResult(Matlib({"show", Data("mixed.lib"), "Polycarbonate", "--units", "MKS(G)"}), 2, "",
                 "matlib show: --units takes IPS|SI|MKS, not 'MKS(G)'; try 'matlib show --help'\n");
}

// ---------------------------------------------------------------- write

TEST(MatlibWrite, WritesWhatASaveWrites) {
    TempDir dir;
    ExpectResult(Matlib({"write", Data("mixed.lib"), dir.file("out.lib")}), 0, "", "");
    EXPECT_EQ(ReadWholeFile(dir.file("out.lib")), ReadWholeFile(Data("mixed-written.lib")));
}

TEST(MatlibWrite, AWrittenLibraryWritesBackByteForByte) {
    TempDir dir;
    ExpectResult(Matlib({"write", Data("mixed-written.lib"), dir.file("again.lib")}), 0, "", "");
    EXPECT_EQ(ReadWholeFile(dir.file("again.lib")), ReadWholeFile(Data("mixed-written.lib")));
}

TEST(MatlibWrite, ReplacesAnExistingFile) {
    TempDir dir;
    WriteWholeFile(dir.file("out.lib"), "old contents that are longer than nothing\n");
    ExpectResult(Matlib({"write", Data("empty-category.lib"), dir.file("out.lib")}), 0, "", "");
    EXPECT_EQ(ReadWholeFile(dir.file("out.lib")), "");
}

TEST(MatlibWrite, WritesNothingForInputThatIsNotALibrary) {
    TempDir dir;
    ExpectResult(Matlib({"write", Data("not-a-library.lib"), dir.file("out.lib")}), 1, "",
                 kNotALibrary);
    ExpectResult(Matlib({"write", dir.file("missing.lib"), dir.file("out.lib")}), 2, "",
                 "matlib: cannot read " + dir.file("missing.lib") + ": Path not found.\n");
    EXPECT_TRUE(FilesIn(dir.path()).empty());
}

TEST(MatlibWrite, NamesTheTargetWhenItCannotBeCreated) {
    TempDir dir;
    ExpectResult(Matlib({"write", Data("mixed.lib"), dir.file("no-folder/out.lib")}), 2, "",
                 "matlib: Cannot save " + dir.file("no-folder/out.lib") + ": Path not found.\n");
    ExpectResult(Matlib({"write", Data("mixed.lib"), dir.path()}), 2, "",
                 "matlib: Cannot save " + dir.path() + ": Path - File access error.\n");
}

TEST(MatlibWrite, AnswersAWriteErrorWithCancelAndKeepsTheOldFile) {
    TempDir dir;
    const std::string target = dir.file("out.lib");
    WriteWholeFile(target, "the previous library\n");
    // The mixed library's text is over 1 KiB; the limit stops the write half way.
    ExpectResult(Matlib({"write", Data("mixed.lib"), target}, {.maxFileSize = 1024, .stdoutPath = {}}), 2, "",
                 "matlib: cannot write " + target + ": File too large\n");
    EXPECT_EQ(ReadWholeFile(target), "the previous library\n");
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"out.lib"}) << "temporary file left";
}

TEST(MatlibWrite, WritesTheKeptMaterialsOfAnOverfullLibrary) {
    TempDir dir;
    WriteWholeFile(dir.file("overfull.lib"), LibraryOf(1003));
    ExpectResult(Matlib({"write", dir.file("overfull.lib"), dir.file("out.lib")}), 0, "",
                 "matlib: " + dir.file("overfull.lib") +
                     ": 2 materials beyond the limit of 1001 were dropped\n");
    ExpectResult(Matlib({"check", dir.file("out.lib")}), 0, "1001 materials in 1 categories\n", "");
}

// ---------------------------------------------------------------- usage and help

struct UsageCase {
    std::vector<std::string> args;
    std::string err;
};

class MatlibUsage : public testing::TestWithParam<UsageCase> {};

TEST_P(MatlibUsage, ExitsWithAOneLineHint) {
    ExpectResult(Matlib(GetParam().args), 2, "", GetParam().err);
}

INSTANTIATE_TEST_SUITE_P(
    BadCommandLines, MatlibUsage,
    testing::Values(
        UsageCase{{}, "matlib: missing command; try 'matlib --help'\n"},
        UsageCase{{"convert", "a.lib"}, "matlib: unknown command 'convert'; try 'matlib --help'\n"},
        UsageCase{{"--units", "SI"}, "matlib: unknown command '--units'; try 'matlib --help'\n"},
        UsageCase{{"check"}, "matlib check: expected FILE; try 'matlib check --help'\n"},
        UsageCase{{"check", "a.lib", "b.lib"},
                  "matlib check: too many arguments (expected FILE); try 'matlib check --help'\n"},
        UsageCase{{"list", "--all", "a.lib"},
                  "matlib list: unknown option '--all'; try 'matlib list --help'\n"},
        UsageCase{{"show", "a.lib"}, "matlib show: expected FILE NAME; try 'matlib show --help'\n"},
        UsageCase{{"show", "a.lib", "Steel", "--units"},
                  "matlib show: --units needs a value; try 'matlib show --help'\n"},
        UsageCase{{"show", "a.lib", "Steel", "--units="},
                  "matlib show: --units takes IPS|SI|MKS, not ''; try 'matlib show --help'\n"},
        UsageCase{{"write", "in.lib"}, "matlib write: expected IN OUT; try 'matlib write --help'\n"},
        UsageCase{{"write", "in.lib", "out.lib", "--units", "SI"},
                  "matlib write: unknown option '--units'; try 'matlib write --help'\n"}));

TEST(MatlibHelp, ListsEveryCommand) {
    for (const std::string flag : {"--help", "-h"}) {
        const ProgramResult r = Matlib({flag});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_TRUE(r.out.starts_with("Usage: matlib COMMAND ARGS...\n")) << r.out;
        for (const std::string line :
             {"\n  check FILE ", "\n  list FILE ", "\n  show FILE NAME [--units IPS|SI|MKS] ",
              "\n  write IN OUT "})
            EXPECT_NE(r.out.find(line), std::string::npos) << line;
    }
}

struct CommandHelpCase {
    std::string command;
    std::string usage;
};

class MatlibCommandHelp : public testing::TestWithParam<CommandHelpCase> {};

TEST_P(MatlibCommandHelp, StartsWithTheUsageLineAndWinsOverBadArguments) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{GetParam().command, "--help"},
          std::vector<std::string>{GetParam().command, "a", "b", "c", "--bogus", "-h"}}) {
        const ProgramResult r = Matlib(args);
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_TRUE(r.out.starts_with("Usage: " + GetParam().usage + "\n")) << r.out;
        EXPECT_NE(r.out.find("Exit status:"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryCommand, MatlibCommandHelp,
    testing::Values(CommandHelpCase{"check", "matlib check FILE"},
                    CommandHelpCase{"list", "matlib list FILE"},
                    CommandHelpCase{"show", "matlib show FILE NAME [--units IPS|SI|MKS]"},
                    CommandHelpCase{"write", "matlib write IN OUT"}),
    [](const auto& p) { return p.param.command; });

} // namespace
} // namespace mb::test
