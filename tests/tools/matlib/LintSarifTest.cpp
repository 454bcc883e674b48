// `matlib lint --format sarif` as a CI job runs it: the built binary, its log checked
// against the SARIF 2.1.0 schema by a JSON-schema validator that is not ours.
#include "Library.h"
#include "LibraryFile.h"
#include "MatlibRun.h"
#include "PropertyCatalogue.h"

#include <nlohmann/json.hpp>

namespace mb::test {
namespace {

// Validates `log` against the schema; "" when valid, else the validator's complaint.
std::string SchemaErrors(const TempDir& dir, const std::string& log) {
    const std::string path = dir.file("log.sarif");
    WriteBytes(path, log);
    const ProgramResult r = RunProgram(
        "/usr/bin/python3",
        {"-c",
         "import json, sys, jsonschema\n"
         "schema = json.load(open(sys.argv[1]))\n"
         "errors = "
         "list(jsonschema.Draft202012Validator(schema).iter_errors(json.load(open(sys.argv[2]))))\n"
         "print('\\n'.join(e.message for e in errors))\n"
         "sys.exit(1 if errors else 0)\n",
         MB_SARIF_SCHEMA, path});
    return r.exitCode == 0 ? "" : r.out + r.err;
}

TEST(LintSarif, LocatesEachFindingAtItsMaterialAndMeetsTheSchema) {
    TempDir dir;
    Library library;
    library.setOriginalValue(library.addMaterial("Steels", "", "Light Steel", ""),
                             PropertyCatalogue::instance().findExact("DENS"), 0.785);
    library.setOriginalValue(library.addMaterial("Steels", "", "Bad \xe9 Steel", ""),
                             PropertyCatalogue::instance().findExact("DENS"), -7850);
    WriteBytes(dir.file("my steels.lib"), libraryText(library, groupByCategory(library)));

    RunOptions inDir;
    inDir.workingDirectory = dir.path();
    const ProgramResult r = Matlib({"lint", "my steels.lib", "--format", "sarif"}, inDir);
    ASSERT_EQ(r.exitCode, 1) << r.err;
    const nlohmann::json log = nlohmann::json::parse(r.out);
    EXPECT_EQ(log["version"], "2.1.0");
    const nlohmann::json& run = log["runs"][0];
    EXPECT_EQ(run["tool"]["driver"]["name"], "matlib");
    EXPECT_EQ(run["tool"]["driver"]["rules"],
              nlohmann::json::parse(R"([{"id": "range"}, {"id": "positive"}])"));
    // MATTYPE on line 1; Light Steel's MATL, its DENS line and ENDMATL on 2 to 4.
    const struct {
        const char *rule, *level, *message, *name;
        int ruleIndex, line;
    } expected[] = {
        {"range", "warning",
         "Steels / Light Steel: DENS = 0.785 Kgm/m^3 is outside 1 to 25000: no engineering "
         "material has that, a unit slip?",
         "Light Steel", 0, 2},
        {"positive", "error", "Steels / Bad \xc3\xa9 Steel: DENS = -7850 is not positive.",
         "Bad \xc3\xa9 Steel", 1, 5},
    };
    ASSERT_EQ(run["results"].size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const nlohmann::json& result = run["results"][i];
        EXPECT_EQ(result["ruleId"], expected[i].rule);
        EXPECT_EQ(result["ruleIndex"], expected[i].ruleIndex);
        EXPECT_EQ(result["level"], expected[i].level);
        EXPECT_EQ(result["message"]["text"], expected[i].message);
        const nlohmann::json& where = result["locations"][0];
        EXPECT_EQ(where["physicalLocation"]["artifactLocation"]["uri"], "my%20steels.lib");
        EXPECT_EQ(where["physicalLocation"]["region"]["startLine"], expected[i].line);
        EXPECT_EQ(where["logicalLocations"][0]["fullyQualifiedName"],
                  std::string("Steels/") + expected[i].name);
    }
    EXPECT_EQ(SchemaErrors(dir, r.out), "");

    // The validator is no rubber stamp: a level SARIF does not know is refused.
    nlohmann::json wrong = log;
    wrong["runs"][0]["results"][0]["level"] = "fatal";
    EXPECT_NE(SchemaErrors(dir, wrong.dump()), "");
}

} // namespace
} // namespace mb::test
