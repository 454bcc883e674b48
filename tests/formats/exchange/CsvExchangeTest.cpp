// CSV text read into cells, and the table layout read from cells: the separators and
// quotes spreadsheets write, both layouts, and every refusal with the row or cell it names.
#include "CsvExchange.h"
#include "ExchangeText.h"
#include "Library.h"
#include "PropertyCatalogue.h"
#include "TableLayout.h"
#include "UnitConversion.h"

#include <gtest/gtest.h>

namespace mb {
namespace {

// The sheet of CSV text that must parse.
CsvSheet Parsed(std::string_view text) {
    Result<CsvSheet> sheet = parseCsv(text);
    EXPECT_TRUE(sheet.ok()) << text << ": " << (sheet ? "" : sheet.failure().sentence());
    return sheet ? std::move(sheet.value()) : CsvSheet();
}

ImportResult ImportCsv(const std::string& text, Library& library) {
    return importAnyLayout(Parsed(text), library);
}

TEST(CsvSheet, ReadsQuotedFieldsEitherSeparatorAndEveryLineEnd) {
    struct Case {
        std::string text;
        std::vector<std::vector<std::string>> cells; // "" for an empty cell
    };
    const Case cases[] = {
        {"a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}},
        {"a;\"b;c\"\nd;\"say \"\"hi\"\"\"", {{"a", "b;c"}, {"d", "say \"hi\""}}},
        {"\"two\nlines\",x\rnext,", {{"two\nlines", "x"}, {"next", ""}}},
        {"a,b;c", {{"a", "b;c"}}},
        {"\xEF\xBB\xBF\x43\x61\x66\xC3\xA9,\"\"", {{"Caf\xC3\xA9", ""}}},
        // Not UTF-8: Windows-1252, whose 0x96 is an en dash.
        {"Caf\xE9 \x96 bar", {{"Caf\xC3\xA9 \xE2\x80\x93 bar"}}},
    };
    for (const Case& c : cases) {
        const CsvSheet sheet = Parsed(c.text);
        EXPECT_EQ(sheet.rowCount(), static_cast<int>(c.cells.size())) << c.text;
        for (std::size_t r = 0; r < c.cells.size(); ++r)
            for (std::size_t k = 0; k < c.cells[r].size(); ++k)
                EXPECT_EQ(cellText(sheet.cell(int(r) + 1, int(k) + 1)), c.cells[r][k])
                    << c.text << " row " << r + 1 << " column " << k + 1;
    }
}

TEST(CsvImport, ReadsTheTableInTheSystemItsUnitRowNamesKeepingCodesAndDescriptions) {
    Library library;
    const ImportResult r =
        ImportCsv("category,NAME,Name Code,description,EX,C,REFTEMP,NUXY\n"
                  ",,,,psi,BTU/(lb.F),Fahrenheit,\n"
                  "Steels,S235,S235JR,\"Hot rolled, plain\",30000000,0.11,32,\" 0.3 \"\n"
                  "Steels,Empty,,,,,,\n",
                  library);
    EXPECT_EQ(r.message(), "");
    ASSERT_EQ(library.materialCount(), 2);
    EXPECT_EQ(library.entry(0).NameCode, "S235JR");
    EXPECT_EQ(library.entry(0).Description, "Hot rolled, plain");
    const clsMaterial& steel = library.material(0);
    EXPECT_EQ(steel.slotValue(Slot::EX),
              clsUnitConversion().ChangeUnits("IPS", "SI", Slot::EX, 30e6));
    EXPECT_NEAR(steel.slotValue(Slot::REFTEMP), 273.15, 1e-9);
    EXPECT_EQ(steel.slotValue(Slot::NUXY), 0.3);
    EXPECT_TRUE(steel.HasValue(Slot::SpecificHeat));
    EXPECT_FALSE(library.material(1).HasValue(Slot::EX));
}

TEST(CsvImport, RefusesBrokenTextAndTablesNamingTheRowOrCell) {
    const std::string head = "Category,Name,Name code,Description,EX,DENS\n,,,,N/m^2,Kgm/m^3\n";
    struct Case {
        std::string text;
        std::string message;
        int kept;
    };
    // A quote never closed is refused, with its row, through the reader program and by
    // matlib import; text after a closing quote is refused here.
    const Result<CsvSheet> sheet = parseCsv("a,\"b\"c\n");
    ASSERT_FALSE(sheet.ok());
    EXPECT_EQ(std::tie(sheet.failure().place, sheet.failure().what, sheet.failure().file),
              std::make_tuple("row 1", "text follows the closing quote of a field", ""));
    const std::string at = "The import stopped at ";
    const std::string none = " No material came before it.";
    const Case cases[] = {
        {"Category,Name,Name code,Description,EX,FOO\n",
         at + "cell F1: \"FOO\" is not a property code." + none, 0},
        {"Category,Name,Name code,Description,EX,C (Cp),c\n",
         at + "cell G1: a second column for C (Cp)." + none, 0},
        {"Category,Name,Name code,Description,EX\n,,,,psf\n",
         at + "cell E2: \"psf\" is not a unit of EX in IPS, SI or MKS." + none, 0},
        {"Category,Name,Name code,Description,EX,DENS\n,,,,psi,Kgm/m^3\n",
         at + "row 2: the units are not all of one system (IPS, SI or MKS)." + none, 0},
        {head + "S,A,,,1,2\nS,B,,,1,x2\n",
         at + "cell F4: \"x2\" is not a number. The 1 material before it was imported.", 1},
        {head + "S,A,,,1,nan\n", at + "cell F3: \"nan\" is not a number." + none, 0},
        // A long cell is quoted by its first characters.
        {"Category,Name,Name code,Description," + std::string(1000, 'U') + "\n",
         at + "cell E1: \"" + std::string(40, 'U') + "...\" is not a property code." + none, 0},
    };
    for (const Case& c : cases) {
        Library library;
        const ImportResult r = ImportCsv(c.text, library);
        EXPECT_EQ(r.status, ImportResult::Status::Refused) << c.text;
        EXPECT_EQ(r.message(), c.message) << c.text;
        EXPECT_EQ(library.materialCount(), c.kept) << c.text;
    }
}

TEST(CsvImport, StopsAtTheLibrarysLimitNamingTheRow) {
    std::string text = "Category,Name,Name code,Description\n,,,\n";
    for (int i = 0; i <= kMaxMaterials; ++i)
        text += "C,M" + std::to_string(i) + ",,\n";
    Library library;
    const ImportResult r = ImportCsv(text, library);
    EXPECT_EQ(r.message(), "The import stopped at row 1004: the library already holds 1001 "
                           "materials. The 1001 materials before it were imported.");
    EXPECT_EQ(library.materialCount(), kMaxMaterials);
}

TEST(CsvExport, QuotesWhatWouldSplitAFieldAndWritesUtf8) {
    const CellRows rows = {{CellValue::ofText("a,b"), CellValue::ofText("say \"x\""),
                            CellValue::ofText(" pad"), CellValue::empty(), CellValue::ofNumber(0.1),
                            CellValue::ofText("Caf\xC3\xA9")}};
    EXPECT_EQ(csvText(rows), "\"a,b\",\"say \"\"x\"\"\",\" pad\",,0.1,Caf\xC3\xA9\r\n");
}

// A merged category, a blank row between groups and a formula without a value in a table
// are the workbook writers' test; here, codes in lower case and a headless column's count.
TEST(CsvImport, TakesCodesInAnyCaseAndNotesAColumnWithoutAHeading) {
    Library library;
    const ImportResult r = ImportCsv("Category,Name,Name code,Description,ex,,dens\n"
                                     ",,,,N/m^2,,Kgm/m^3\n"
                                     "Steels,S235,,,2.1E11,5,7850\n"
                                     "Steels,S355,,,2.1E11,6,\n",
                                     library);
    EXPECT_TRUE(r.imported());
    EXPECT_EQ(r.notes, std::vector<std::string>{"Cell F1: the column has no property code; its 2 "
                                                "values were left out."});
    ASSERT_EQ(library.materialCount(), 2);
    EXPECT_EQ(library.material(0).slotValue(Slot::EX), 2.1e11);
    EXPECT_EQ(library.material(0).slotValue(Slot::DENS), 7850);
    EXPECT_FALSE(library.material(1).HasValue(Slot::DENS));
}

TEST(ExchangeText, CharactersBeyondLatin1GetTheirClosestSpellingOrAQuestionMark) {
    struct Case {
        std::string utf8, library, replaced;
    };
    const Case cases[] = {
        {"plain \xC3\xA9\xC2\xB5", "plain \xE9\xB5", ""},
        {"a\xE2\x80\x93"
         "b\xE2\x80\x94"
         "c\xE2\x88\x92"
         "d",
         "a-b-c-d", "U+2013>-|U+2014>-|U+2212>-|"},
        {"\xE2\x80\x98x\xE2\x80\x99 \xE2\x80\x9Cy\xE2\x80\x9D", "'x' \"y\"",
         "U+2018>'|U+2019>'|U+201C>\"|U+201D>\"|"},
        {"\xE2\x89\xA4\xE2\x89\xA5\xCE\xBCm m\xE2\x81\xB4", "<=>=\xB5m m^4",
         "U+2264><=|U+2265>>=|U+03BC>\xB5|U+2074>^4|"},
        {"\xC5\x81\xC3\xB3"
         "d\xC5\xBA \xC5\x92uvre",
         "L\xF3"
         "dz OEuvre",
         "U+0141>L|U+017A>z|U+0152>OE|"},
        {"\xEF\xBC\xA1\xE2\x80\x83\xE2\x80\x8B!", "A !", "U+FF21>A|U+2003> |U+200B>|"},
        {"A\xCC\x8A \xCC\x81 n\xCC\x84", "\xC5  n", "A U+030A>\xC5|U+0301>|U+0304>|"},
        {"\xE4\xB8\xAD\xF0\x9F\x98\x80", "??", "U+4E2D>?|U+1F600>?|"},
        {"bad \x96 \xC3", "bad ? ?", "the byte 0x96>?|the byte 0xC3>?|"},
    };
    for (const Case& c : cases) {
        std::vector<TextReplacement> replaced;
        EXPECT_EQ(utf8ToLibraryText(c.utf8, &replaced), c.library) << c.utf8;
        std::string said;
        for (const TextReplacement& r : replaced)
            said += r.from + ">" + r.to + "|";
        EXPECT_EQ(said, c.replaced) << c.utf8;
    }
    EXPECT_EQ(windows1252ToUtf8("\x93q\x94 \x80 \x81\xE9"),
              "\xE2\x80\x9Cq\xE2\x80\x9D \xE2\x82\xAC \xC2\x81\xC3\xA9");
}

// What a spreadsheet would run gets the apostrophe that keeps it a text; an apostrophe of
// the text's own is written as it is unless the import would take it for that one.
TEST(CsvExport, PutsAnApostropheBeforeWhatASpreadsheetWouldRun) {
    const std::pair<std::string, std::string> cases[] = {
        {"=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"},
        {"=HYPERLINK(\"http://x\")", "\"'=HYPERLINK(\"\"http://x\"\")\""},
        {"+1+2", "'+1+2"},
        {"-40 to 80 C", "'-40 to 80 C"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\t=1", "'\t=1"},
        {"\r=1", "\"'\r=1\""},
        {"'=1", "''=1"},
        {"''", "'''"},
        {"'t Hooft", "'t Hooft"},
        {"'", "'"},
        {"a=b", "a=b"},
        {" =1", "\" =1\""}, // quoted for its blank; a spreadsheet keeps it a text
    };
    for (const auto& [text, field] : cases)
        EXPECT_EQ(csvText({{CellValue::ofText(text)}}), field + "\r\n") << text;
    // A negative number is a number, not a text that starts like a formula.
    EXPECT_EQ(csvText({{CellValue::ofNumber(-2.5)}}), "-2.5\r\n");
}

// A file of another program keeps the apostrophes of its texts, bar one before what the
// export guards.
TEST(CsvSheet, TakesOffOnlyTheApostropheThatGuardsAFormulasStart) {
    const CsvSheet sheet = Parsed("'t Hooft,'=1,\"'+2\",'',''',x'");
    const std::vector<std::string> expected = {"'t Hooft", "=1", "+2", "'", "''", "x'"};
    for (std::size_t k = 0; k < expected.size(); ++k)
        EXPECT_EQ(cellText(sheet.cell(1, static_cast<int>(k) + 1)), expected[k]) << k;
}

} // namespace
} // namespace mb
