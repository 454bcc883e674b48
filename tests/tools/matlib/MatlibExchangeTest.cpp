// `matlib export` and `matlib import` as a user runs them: the formats out and back, and
// every broken file refused with a message naming the row, cell or key and no OUT written.
#include "MatlibRun.h"
#include "TestPaths.h"

namespace mb::test {
namespace {

std::string Data(const std::string& name) {
    return std::string(kDataDir) + "/exchange/" + name;
}

// What each format writes is its own tests' concern; here it is what the options choose.
TEST(MatlibExchange, ExportWritesTheChosenMaterialsInTheChosenFormatAndUnits) {
    const ProgramResult csv = Matlib({"export", MB_SAMPLE_LIBRARY, "--format=csv", "--units", "mks",
                                      "--material", " structural steel s235 "});
    EXPECT_EQ(std::tie(csv.exitCode, csv.err), std::make_tuple(0, std::string()));
    EXPECT_NE(csv.out.find("\r\n,,,,Kgf/cm^2,"), std::string::npos) << csv.out;
    EXPECT_NE(csv.out.find("\r\nSteels,Structural Steel S235,S235JR,"), std::string::npos);
    EXPECT_EQ(csv.out.find("S355"), std::string::npos) << "a material not chosen";
    ExpectRuns({
        Fails(2, {"export", MB_SAMPLE_LIBRARY, "--format", "xml"},
              "matlib: export: --format takes json|csv|xlsx|calculix, not 'xml'; try 'matlib "
              "export --help'\n"),
        Fails(1,
              {"export", MB_SAMPLE_LIBRARY, "--format", "json", "--material",
               "Structural Steel S235", "--material", "Unobtainium"},
              std::string("matlib: no material named 'Unobtainium' in ") + MB_SAMPLE_LIBRARY +
                  "\n"),
    });
}

// What a card cannot carry is a warning naming the material, and the status says so; the
// cards are written all the same, with the same sentences as comments.
TEST(MatlibExchange, CardsThatLeaveSomethingOutAreWrittenAndNamedWithStatusOne) {
    const ProgramResult r =
        Matlib({"export", MB_SAMPLE_LIBRARY, "--format", "calculix", "--material",
                "Silicone Rubber 40 ShA", "--material", "Structural Steel S235"});
    const std::string at = std::string("matlib: ") + MB_SAMPLE_LIBRARY + ": ";
    const std::string ogden = "*HYPERELASTIC is not written: the Ogden fit has 4 terms, CalculiX "
                              "takes at most 3, and fewer would be another material. The "
                              "material has no elasticity in this file.";
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, at +
                         "Steels / Structural Steel S235: SIGXT and SIGXC are not written: "
                         "CalculiX material cards hold no strengths.\n" +
                         at + "Rubbers / Silicone Rubber 40 ShA: " + ogden + "\n" + at +
                         "Rubbers / Silicone Rubber 40 ShA: NUXY is not written: no card of "
                         "this material takes it.\n");
    EXPECT_NE(r.out.find("*MATERIAL, NAME=SILICONE_RUBBER_40_SHA\n** " + ogden + "\n"),
              std::string::npos)
        << r.out;
}

TEST(MatlibExchange, ImportRefusesBrokenFilesNamingWhereAndLeavesOutUnwritten) {
    TempDir dir;
    const std::string out = dir.file("out.lib"),
                      sheet = std::string(kDataDir) + "/xls/import_no_material.xls";
    const auto stopped = [&out](const std::string& name, const std::string& at,
                                const std::string& what, const std::string& kept) {
        return "matlib: The import stopped at " + at + " of \"" + Data(name) + "\": " + what +
               ". " + kept + "\nmatlib: " + out + " was not written\n";
    };
    // What each format's reader refuses is its own tests' concern; here it is how the
    // command reports it.
    ExpectRuns({
        Fails(1, {"import", Data("unbalanced-quote.csv"), out},
              stopped("unbalanced-quote.csv", "row 3", "a quoted field is never closed",
                      "No material came before it.")),
        Fails(1, {"import", Data("no-material.json"), out},
              "matlib: " + Data("no-material.json") +
                  ": the file holds no material\nmatlib: " + out + " was not written\n"),
        // A sheet with no material is no JSON file, and the message says which it is.
        Fails(1, {"import", sheet, out},
              "matlib: " + sheet + ": the sheet holds no material\nmatlib: " + out +
                  " was not written\n"),
        Fails(2, {"import", Data("missing.json"), out},
              "matlib: The file \"" + Data("missing.json") +
                  "\" could not be read: it does not exist.\n"),
    });
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "a refused import wrote OUT";
    const ProgramResult block = Matlib({"import", Data("block.csv"), out});
    EXPECT_EQ(std::tie(block.exitCode, block.err), std::make_tuple(0, std::string()));
    const ProgramResult shown = Matlib({"show", out, "Steel \"S235\""});
    EXPECT_EQ(shown.out, "EX\t21000E7\tN/m^2\nC (Cp)\t4600000E-4\tJ/kgm.K\n");
}

// Notes do not stop an import, unless --strict says so; OUT is never IN, by any name.
TEST(MatlibExchange, ImportWritesWithNotesRefusesThemWhenStrictAndNeverWritesOverIn) {
    TempDir dir;
    const std::string in = dir.file("notes.csv"), out = dir.file("out.lib");
    WriteBytes(in, "Name,Stahl \xE2\x80\x93 warm\nex,2.1E11\nYoung,1\n,\nDENS,\nEnd\n");
    const std::string notes =
        "matlib: " + in +
        ": Row 1: the name holds characters beyond Latin-1, which a library cannot hold: "
        "U+2013 became \"-\".\nmatlib: " +
        in + ": Row 3: \"Young\" is not a property code; its value 1 was left out.\n";
    ExpectRuns({
        Fails(1, {"import", in, out, "--strict"},
              notes + "matlib: " + in +
                  ": 2 cells or rows were not taken as they stood (--strict)\nmatlib: " + out +
                  " was not written\n"),
        Fails(2, {"import", in, out, "--strict=yes"},
              "matlib: import: --strict takes no value; try 'matlib import --help'\n"),
    });
    EXPECT_FALSE(std::filesystem::exists(out));
    ExpectRuns({{{"import", in, out}, 0, "", notes}});
    ExpectRuns({Prints({"show", out, "Stahl - warm"}, "EX\t21000E7\tN/m^2\n")});

    // The same file by another name, a hard link or a symbolic link is refused untouched.
    const std::string hard = dir.file("hard.csv"), soft = dir.file("soft.lib");
    std::filesystem::create_hard_link(in, hard);
    std::filesystem::create_symlink(in, soft);
    for (const std::string& same : {in, dir.path() + "/./notes.csv", hard, soft})
        ExpectRuns({Fails(2, {"import", in, same},
                          "matlib: " + same + " is " + in +
                              " itself: the import would write over what it reads\n")});
    EXPECT_EQ(ReadBytes(in), "Name,Stahl \xE2\x80\x93 warm\nex,2.1E11\nYoung,1\n,\nDENS,\nEnd\n");
}

} // namespace
} // namespace mb::test
