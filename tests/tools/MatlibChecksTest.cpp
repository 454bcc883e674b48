// `matlib lint` and `matlib curve` as a user runs them: the built binary on a library
// written by the project's own writer.
#include "Library.h"
#include "LibraryFile.h"
#include "PropertyCatalogue.h"
#include "RunProgram.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace mb::test {
namespace {

struct Invocation {
    std::vector<std::string> args;
    int exitCode;
    std::string out, err;
};

void ExpectRuns(const Invocation& run) {
    const ProgramResult r = RunProgram(MB_MATLIB_PATH, run.args);
    std::string command = "matlib";
    for (const std::string& a : run.args)
        command += " '" + a + "'";
    EXPECT_EQ(std::tie(r.exitCode, r.out, r.err), std::tie(run.exitCode, run.out, run.err))
        << command;
}

using Values = std::vector<std::pair<const char*, double>>;

/// Writes a library of (category, name, values) materials as a save would.
std::string
WriteLibrary(const TempDir& dir, const std::string& name,
             const std::vector<std::tuple<const char*, const char*, Values>>& materials) {
    Library library;
    for (const auto& [category, material, values] : materials) {
        const int n = library.AddMaterial(category, "", material, "");
        for (const auto& [code, v] : values)
            library.SetOriginalValue(n, PropertyCatalogue::instance().FindExact(code), v);
    }
    const std::string path = dir.file(name);
    WriteBytes(path, LibraryText(library, GroupByCategory(library)));
    return path;
}

const Values kGoodSteel = {{"EX", 2.1e11}, {"NUXY", 0.3},      {"GXY", 8.1e10},
                           {"DENS", 7850}, {"SIGYLD", 2.35e8}, {"ETAN", 2e9}};

TEST(MatlibChecks, LintPrintsEachFindingAndExitsOneOnlyForAnError) {
    TempDir dir;
    // The third name holds a Latin-1 byte, which JSON carries as UTF-8.
    const std::string mixed =
        WriteLibrary(dir, "mixed.lib",
                     {{"Steels", "Good Steel", kGoodSteel},
                      {"Polymers", "Bad Polymer", {{"DENS", 0}, {"NUXY", 0.5}, {"KX", 1e4}}},
                      {"Rubbers", "Caoutchouc \xe9", {{"MOONEY_A", 1e6}, {"DENS", 2e5}}}});
    const std::string warned = WriteLibrary(
        dir, "warned.lib",
        {{"Steels", "Good Steel", kGoodSteel}, {"Steels", "Light Steel", {{"DENS", 0.785}}}});
    const std::string clean =
        WriteLibrary(dir, "clean.lib", {{"Steels", "Good Steel", kGoodSteel}});
    const std::string missing = dir.file("missing.lib"), notALibrary = dir.file("text.lib");
    WriteBytes(notALibrary, "just some text\n");

    const std::string positive = "DENS = 0 is not positive.";
    const std::string poisson = "NUXY = 0.5 is outside -1 < NUXY < 0.5 for an isotropic material.";
    const std::string range =
        "KX = 10000 W/(m.K) is outside 0.005 to 5000: no engineering material has that, a unit "
        "slip?";
    const std::string rubberRange =
        "DENS = 2e+05 Kgm/m^3 is outside 1 to 25000: no engineering material has that, a unit "
        "slip?";
    const Invocation runs[] = {
        {{"lint", mixed},
         1,
         "error\tPolymers\tBad Polymer\tpositive\t" + positive + "\n" +
             "error\tPolymers\tBad Polymer\tpoisson-range\t" + poisson + "\n" +
             "warning\tPolymers\tBad Polymer\trange\t" + range + "\n" +
             "warning\tRubbers\tCaoutchouc \xe9\trange\t" + rubberRange + "\n",
         ""},
        {{"lint", mixed, "--format", "JSON"},
         1,
         "[\n"
         "  {\n"
         "    \"severity\": \"error\",\n"
         "    \"category\": \"Polymers\",\n"
         "    \"name\": \"Bad Polymer\",\n"
         "    \"rule\": \"positive\",\n"
         "    \"message\": \"" +
             positive +
             "\"\n"
             "  },\n"
             "  {\n"
             "    \"severity\": \"error\",\n"
             "    \"category\": \"Polymers\",\n"
             "    \"name\": \"Bad Polymer\",\n"
             "    \"rule\": \"poisson-range\",\n"
             "    \"message\": \"" +
             poisson +
             "\"\n"
             "  },\n"
             "  {\n"
             "    \"severity\": \"warning\",\n"
             "    \"category\": \"Polymers\",\n"
             "    \"name\": \"Bad Polymer\",\n"
             "    \"rule\": \"range\",\n"
             "    \"message\": \"" +
             range +
             "\"\n"
             "  },\n"
             "  {\n"
             "    \"severity\": \"warning\",\n"
             "    \"category\": \"Rubbers\",\n"
             "    \"name\": \"Caoutchouc \xc3\xa9\",\n"
             "    \"rule\": \"range\",\n"
             "    \"message\": \"" +
             rubberRange +
             "\"\n"
             "  }\n"
             "]\n",
         ""},
        {{"lint", warned},
         0,
         "warning\tSteels\tLight Steel\trange\tDENS = 0.785 Kgm/m^3 is outside 1 to 25000: no "
         "engineering material has that, a unit slip?\n",
         ""},
        {{"lint", clean}, 0, "", ""},
        {{"lint", clean, "--format=json"}, 0, "[]\n", ""},
        {{"lint", missing}, 2, "", "matlib: cannot read " + missing + ": it does not exist.\n"},
        {{"lint", notALibrary},
         2,
         "",
         "matlib: " + notALibrary + ": This file is not a VELTRA/M material library file!\n"},
        {{"lint", clean, "--format", "xml"},
         2,
         "",
         "matlib lint: --format takes text|json, not 'xml'; try 'matlib lint --help'\n"},
    };
    for (const Invocation& run : runs)
        ExpectRuns(run);
}

TEST(MatlibChecks, CurvePrintsThePointsOfTheChartOrWhatIsMissing) {
    TempDir dir;
    const std::string lib =
        WriteLibrary(dir, "curves.lib",
                     {{"Steels", "Good Steel", kGoodSteel},
                      {"Polymers",
                       "Relaxing Polymer",
                       {{"EX", 2.6e9}, {"NUXY", 0.3}, {"G1", 0.5}, {"TAUG1", 1}, {"K2", 0.1}}},
                      {"Steels", "Bare Steel", {{"EX", 2.1e11}}}});
    const Invocation runs[] = {
        // Yield strain 2.35e8 / 2.1e11, drawn to five times that; stresses in psi.
        {{"curve", lib, " good STEEL ", "--type", "4", "--units", "ips", "--points", "3"},
         0,
         "0\t0\n0.00279761904762\t34576.6983504\n0.00559523809524\t35388.3579361\n",
         ""},
        // The bulk term has no time: it neither relaxes nor sets the time range.
        {{"curve", lib, "Relaxing Polymer", "--type=12", "--points=2"},
         0,
         "0.01\t995024916.875\t2166666666.67\n100\t500000000\t2166666666.67\n",
         ""},
        {{"curve", lib, "Bare Steel", "--type", "5"},
         1,
         "",
         "matlib: No plasticity curve: SIGYLD and ETAN are missing.\n"},
        {{"curve", lib, "Good Steel", "--type", "0"},
         1,
         "",
         "matlib: No curve is drawn for Linear Elastic Isotropic materials.\n"},
        {{"curve", lib, "Copper", "--type", "4"},
         1,
         "",
         "matlib: no material named 'Copper' in " + lib + "\n"},
        {{"curve", lib, "Good Steel"},
         2,
         "",
         "matlib curve: --type is needed; try 'matlib curve --help'\n"},
        {{"curve", lib, "Good Steel", "--type", "13"},
         2,
         "",
         "matlib curve: --type takes a model type 0 to 12, not '13'; try 'matlib curve --help'\n"},
        {{"curve", lib, "Good Steel", "--type", "4", "--points", "1"},
         2,
         "",
         "matlib curve: --points takes a whole number from 2 to 1000000, not '1'; try 'matlib "
         "curve --help'\n"},
        {{"curve", dir.file("none.lib"), "Good Steel", "--type", "4"},
         2,
         "",
         "matlib: cannot read " + dir.file("none.lib") + ": it does not exist.\n"},
    };
    for (const Invocation& run : runs)
        ExpectRuns(run);

    // The default is 50 points, evenly from 0 to 360 degrees for a directional modulus.
    const std::string ortho = WriteLibrary(
        dir, "ortho.lib",
        {{"Composites", "Ply", {{"EX", 2e9}, {"EY", 1e9}, {"NUXY", 0.25}, {"GXY", 5e8}}}});
    const ProgramResult r = RunProgram(MB_MATLIB_PATH, {"curve", ortho, "Ply", "--type", "1"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 50);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "0\t2000000000");
    EXPECT_EQ(r.out.substr(r.out.rfind('\n', r.out.size() - 2) + 1), "360\t2000000000\n");
}

} // namespace
} // namespace mb::test
