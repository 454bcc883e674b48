// Library text is Latin-1; `matlib` prints it, and takes names and queries, in the encoding
// of the locale it runs in. Run as a user runs it, on a library whose names, categories and
// descriptions hold é, µ, °, ½ and ±.
#include "MatlibRun.h"
#include "TestPaths.h"

namespace mb::test {
namespace {

const std::string kLibrary = std::string(kDataDir) + "/tools/latin1.lib";

/// The locale a user with LANG set gets: nothing overrides it.
RunOptions Lang(const std::string& lang) {
    return {-1, "", {"LC_ALL", "LC_CTYPE", "LANG=" + lang}};
}

Invocation In(const RunOptions& options, Invocation run) {
    run.options = options;
    return run;
}

// The same lines in either encoding: `utf8` as written here, Latin-1 as the file holds it.
std::string Latin1(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c == 0xC2 || c == 0xC3)
            out += static_cast<char>(((c & 0x03) << 6) | (utf8[++i] & 0x3F));
        else
            out += static_cast<char>(c);
    }
    return out;
}

const std::string kList = "0\tAciers spéciaux\tAcier inoxydable 316L é\t316L\tRésistant à 870 °C\n"
                          "1\tAciers spéciaux\t-196 °C Cryo steel\tCRYO\t\n"
                          "2\tPolymères\tPTFE µ-filled\tPTFE-µ\t½ glass ± 5 %\n"
                          "3\tPolymères\tPTFE ? filled\tPTFE-?\timported: an en dash became ?\n";
const std::string kAcier = "EX\t19300E7\tN/m^2\nETAN\t2000000E3\tN/m^2\nNUXY\t300000E-6\t\n"
                           "SIGYLD\t2900000E2\tN/m^2\n";

TEST(TerminalText, UnderUtf8NamesArePrintedAndTypedInUtf8) {
    const RunOptions utf8 = Lang("C.UTF-8");
    ExpectRuns({
        In(utf8, Prints({"list", kLibrary}, kList)),
        In(utf8, Prints({"show", kLibrary, "Acier inoxydable 316L é"}, kAcier)),
        // The two steels, é being in their category.
        In(utf8, Prints({"find", kLibrary, "é"}, kList.substr(0, kList.find("\n2\t") + 1))),
        // The name printed in a message is converted as well.
        In(utf8, Fails(1, {"curve", kLibrary, "--type", "4", "--", "-196 °c cryo STEEL"},
                       "matlib: " + kLibrary +
                           ": '-196 °C Cryo steel': No plasticity curve: SIGYLD and ETAN are "
                           "missing.\n")),
        In(utf8, Prints({"lint", kLibrary},
                        "warning\tPolymères\tPTFE µ-filled\trange\tDENS = 220000 Kgm/m^3 is "
                        "outside 1 to 25000: no engineering material has that, a unit slip?\n")),
        In(utf8, {{"diff", std::string(kDataDir) + "/tools/empty-category.lib", kLibrary},
                  1,
                  "added\tAciers spéciaux\tAcier inoxydable 316L é\n"
                  "added\tAciers spéciaux\t-196 °C Cryo steel\n"
                  "added\tPolymères\tPTFE µ-filled\nadded\tPolymères\tPTFE ? filled\n",
                  ""}),
    });
    const ProgramResult dump = Matlib({"dump", kLibrary}, utf8);
    EXPECT_NE(dump.out.find("\nPolymères\tPTFE µ-filled\tdescription\t½ glass ± 5 %\n"),
              std::string::npos)
        << dump.out;
}

// "€" has no Latin-1 byte, so no library text holds it: not even the "?" an import leaves
// where it met one. Bytes that are no UTF-8 match nothing either.
TEST(TerminalText, UnderUtf8ACharacterLatin1LacksMatchesNothing) {
    const RunOptions utf8 = Lang("C.UTF-8");
    ExpectRuns({
        In(utf8, Fails(1, {"show", kLibrary, "PTFE € filled"},
                       "matlib: no material named 'PTFE € filled' in " + kLibrary + "\n")),
        In(utf8, Fails(1, {"find", kLibrary, "PTFE €"}, "")),
        In(utf8,
           Fails(1, {"show", kLibrary, "Acier inoxydable 316L \xe9"},
                 "matlib: no material named 'Acier inoxydable 316L \xe9' in " + kLibrary + "\n")),
        // A query is still checked, and quoted, as typed.
        In(utf8,
           Fails(2, {"find", kLibrary, "PTFE EX>€"}, "matlib: \"EX>€\": \"€\" is not a number.\n")),
        In(utf8,
           Fails(2, {"find", kLibrary, "PTFE EX>é"}, "matlib: \"EX>é\": \"é\" is not a number.\n")),
    });
}

// The C locale says ASCII; the file's bytes pass through both ways, as they always have, so a
// script reads the names as the file holds them and can hand them back.
TEST(TerminalText, UnderCTheLibrarysBytesPassThrough) {
    const RunOptions c = Lang("C");
    ExpectRuns({
        In(c, Prints({"list", kLibrary}, Latin1(kList))),
        In(c, Prints({"show", kLibrary, Latin1("Acier inoxydable 316L é")}, kAcier)),
        In(c, Fails(1, {"show", kLibrary, "Acier inoxydable 316L é"},
                    "matlib: no material named 'Acier inoxydable 316L é' in " + kLibrary + "\n")),
    });
    EXPECT_EQ(Latin1(kList).find("\xc3"), std::string::npos) << "the fixture text is Latin-1";
}

// A locale the system has not installed still names the terminal's encoding.
TEST(TerminalText, ALocaleNotInstalledIsTakenAtItsCodeset) {
    ExpectRuns({
        In(Lang("xx_XX.UTF-8"),
           Prints({"show", kLibrary, "PTFE µ-filled"}, "DENS\t2200000E-1\tKgm/m^3\n")),
        In(Lang("xx_XX.UTF-8"),
           Prints({"find", kLibrary, "µ"}, "2\tPolymères\tPTFE µ-filled\tPTFE-µ\t½ glass ± 5 %\n")),
        // ISO-8859-15 has µ at Latin-1's place, but its € (0xA4) is Latin-1's ¤ and it has
        // no ½.
        In(Lang("xx_XX.ISO-8859-15"),
           Prints({"find", kLibrary, "\xb5"}, "2\tPolym\xe8res\tPTFE \xb5-filled\tPTFE-\xb5\t 1/2  "
                                              "glass \xb1 5 %\n")),
        In(Lang("xx_XX.ISO-8859-15"),
           Fails(1, {"show", kLibrary, "PTFE \xa4 filled"},
                 "matlib: no material named 'PTFE \xa4 filled' in " + kLibrary + "\n")),
        // No codeset named: bytes pass through as in the C locale.
        In(Lang("xx_XX"),
           Prints({"find", kLibrary, "\xb5"},
                  Latin1(kList.substr(kList.find("2\t"), kList.find("3\t") - kList.find("2\t"))))),
    });
}

// Only what is shown on the terminal changes: files and formats are the same whatever the
// locale.
TEST(TerminalText, WhatIsWrittenDoesNotDependOnTheLocale) {
    TempDir dir;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"export", kLibrary, "--format", "json"},
             {"lint", kLibrary, "--format", "json"},
             {"cells", std::string(kDataDir) + "/xls/two_materials.xls"}}) {
        const ProgramResult c = Matlib(args, Lang("C")), utf8 = Matlib(args, Lang("C.UTF-8"));
        EXPECT_EQ(std::tie(c.exitCode, c.err), std::make_tuple(0, "")) << args[0];
        EXPECT_EQ(utf8.exitCode, 0) << args[0];
        EXPECT_EQ(utf8.out, c.out) << args[0];
    }
    const ProgramResult json = Matlib({"export", kLibrary, "--format", "json"}, Lang("C"));
    EXPECT_NE(json.out.find("\"name\": \"Acier inoxydable 316L é\""), std::string::npos)
        << "JSON is UTF-8 in every locale";
    ExpectRuns(In(Lang("C.UTF-8"), Prints({"write", kLibrary, dir.file("out.lib")}, "")));
    EXPECT_EQ(ReadBytes(dir.file("out.lib")), ReadBytes(kLibrary));
}

} // namespace
} // namespace mb::test
