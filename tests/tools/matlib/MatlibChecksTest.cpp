// `matlib lint` and `matlib curve` as a user runs them: the built binary on a library
// written by the project's own writer.
#include "Library.h"
#include "LibraryFile.h"
#include "MatlibRun.h"
#include "PropertyCatalogue.h"

#include <algorithm>

namespace mb::test {
namespace {

using Values = std::vector<std::pair<const char*, double>>;

/// Writes a library of (category, name, values) materials as a save would.
std::string
WriteLibrary(const TempDir& dir, const std::string& name,
             const std::vector<std::tuple<const char*, const char*, Values>>& materials) {
    Library library;
    for (const auto& [category, material, values] : materials) {
        const int n = library.addMaterial(category, "", material, "");
        for (const auto& [code, v] : values)
            library.setOriginalValue(n, PropertyCatalogue::instance().findExact(code), v);
    }
    const std::string path = dir.file(name);
    WriteBytes(path, libraryText(library, groupByCategory(library)));
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
                      {"Polymers", "Bad Polymer", {{"DENS", 0}}},
                      {"Rubbers", "Caoutchouc \xe9", {{"MOONEY_A", 1e6}, {"DENS", 2e5}}}});
    const std::string clean =
        WriteLibrary(dir, "clean.lib", {{"Steels", "Good Steel", kGoodSteel}});

    const std::string positive = "DENS = 0 is not positive.";
    const std::string rubberRange =
        "DENS = 2e+05 Kgm/m^3 is outside 1 to 25000: no engineering material has that, a unit "
        "slip?";
    // One finding as JSON, the fields in the order of the text line.
    const auto json = [](const char* severity, const char* category, const std::string& name,
                         const char* rule, const std::string& message) {
        return std::string("  {\n    \"severity\": \"") + severity + "\",\n    \"category\": \"" +
               category + "\",\n    \"name\": \"" + name + "\",\n    \"rule\": \"" + rule +
               "\",\n    \"message\": \"" + message + "\"\n  }";
    };
    ExpectRuns({
        // Errors end the run with 1.
        {{"lint", mixed},
         1,
         "error\tPolymers\tBad Polymer\tpositive\t" + positive + "\n" +
             "warning\tRubbers\tCaoutchouc \xe9\trange\t" + rubberRange + "\n",
         ""},
        {{"lint", mixed, "--format", "JSON"},
         1,
         "[\n" + json("error", "Polymers", "Bad Polymer", "positive", positive) + ",\n" +
             json("warning", "Rubbers", "Caoutchouc \xc3\xa9", "range", rubberRange) + "\n]\n",
         ""},
        Prints({"lint", clean}, ""),
        Prints({"lint", clean, "--format=json"}, "[]\n"),
        Fails(
            2, {"lint", clean, "--format", "xml"},
            "matlib: lint: --format takes text|json|sarif, not 'xml'; try 'matlib lint --help'\n"),
    });
}

TEST(MatlibChecks, CurvePrintsThePointsOfTheChartOrWhatIsMissing) {
    TempDir dir;
    const std::string lib = WriteLibrary(
        dir, "curves.lib",
        {{"Steels", "Good Steel", kGoodSteel}, {"Steels", "Bare Steel", {{"EX", 2.1e11}}}});
    ExpectRuns({
        // Yield strain 2.35e8 / 2.1e11, drawn to five times that; stresses in psi.
        Prints({"curve", lib, " good STEEL ", "--type", "4", "--units", "ips", "--points", "3"},
               "0\t0\n0.00279761904762\t34576.6983504\n0.00559523809524\t35388.3579361\n"),
        // Which curve a material has is the curve engine's test; its note is shown so.
        Fails(1, {"curve", lib, "Bare Steel", "--type", "5"},
              "matlib: " + lib +
                  ": 'Bare Steel': No plasticity curve: SIGYLD and ETAN are missing.\n"),
        Fails(2, {"curve", lib, "Good Steel"},
              "matlib: curve: --type is needed; try 'matlib curve --help'\n"),
        Fails(2, {"curve", lib, "Good Steel", "--type", "13"},
              "matlib: curve: --type takes a model type 0 to 12, not '13'; try 'matlib curve "
              "--help'\n"),
        Fails(2, {"curve", lib, "Good Steel", "--type", "4", "--points", "1"},
              "matlib: curve: --points takes a whole number from 2 to 1000000, not '1'; try "
              "'matlib curve --help'\n"),
    });

    // The default is 50 points; where they lie is the curve engine's test.
    const std::string ortho = WriteLibrary(
        dir, "ortho.lib",
        {{"Composites", "Ply", {{"EX", 2e9}, {"EY", 1e9}, {"NUXY", 0.25}, {"GXY", 5e8}}}});
    const ProgramResult r = Matlib({"curve", ortho, "Ply", "--type", "1"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 50);
}

} // namespace
} // namespace mb::test
