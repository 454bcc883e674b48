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

ImportResult ImportCsv(const std::string& text, Library& library) {
    CsvSheet sheet;
    if (const std::string error = ParseCsv(text, sheet); !error.empty()) {
        ImportResult r;
        r.status = ImportResult::Status::Refused;
        r.reason = error;
        return r;
    }
    return ImportAnyLayout(sheet, library);
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
        {"\xEF\xBB\xBF\x43\x61\x66\xC3\xA9,\"\"", {{"Caf\xE9", ""}}},
        {"Caf\xE9", {{"Caf\xE9"}}}, // not UTF-8: taken byte for byte
    };
    for (const Case& c : cases) {
        CsvSheet sheet;
        ASSERT_EQ(ParseCsv(c.text, sheet), "") << c.text;
        EXPECT_EQ(sheet.rowCount(), static_cast<int>(c.cells.size())) << c.text;
        for (std::size_t r = 0; r < c.cells.size(); ++r)
            for (std::size_t k = 0; k < c.cells[r].size(); ++k)
                EXPECT_EQ(CellText(sheet.cell(int(r) + 1, int(k) + 1)), c.cells[r][k])
                    << c.text << " row " << r + 1 << " column " << k + 1;
    }
}

TEST(CsvImport, ReadsTheTableInTheSystemItsUnitRowNamesKeepingCodesAndDescriptions) {
    Library library;
    const ImportResult r =
        ImportCsv("category,NAME,Name Code,description,EX,C,REFTEMP,NUXY\n"
                  ",,,,psi,BTU/(lb.F),Fahrenheit,\n"
                  "Steels,S235,S235JR,\"Hot rolled, plain\",30000000,0.11,32,\" 0.3 \"\n"
                  "Steels,Empty,,,,,,\n"
                  ",,,,,,,\n"
                  "Ignored,after,the,end,1,,,\n",
                  library);
    EXPECT_EQ(r.message(), "");
    ASSERT_EQ(library.MaterialCount(), 2);
    EXPECT_EQ(library.Entry(0).NameCode, "S235JR");
    EXPECT_EQ(library.Entry(0).Description, "Hot rolled, plain");
    const clsMaterial& steel = library.Material(0);
    EXPECT_EQ(steel.SlotValue(Slot::EX),
              clsUnitConversion().ChangeUnits("IPS", "SI", Slot::EX, 30e6));
    EXPECT_NEAR(steel.SlotValue(Slot::REFTEMP), 273.15, 1e-9);
    EXPECT_EQ(steel.SlotValue(Slot::NUXY), 0.3);
    EXPECT_TRUE(steel.HasValue(Slot::SpecificHeat));
    EXPECT_FALSE(library.Material(1).HasValue(Slot::EX));
}

TEST(CsvImport, ReadsTheBlockLayoutOfTheWorkbooks) {
    Library library;
    const ImportResult r =
        ImportCsv("Name;Steel\nType;Steels\nEX;\"2,1E11\"\nEX;210E9\nEnd\n", library);
    // "2,1E11" is not a number the reader takes whole: the block import names its row.
    EXPECT_EQ(r.message(), "Row 3: column B of a value row is not a number.");
    EXPECT_EQ(ImportCsv("Name;Steel\nType;Steels\nEX;210E9\nEnd\n", library).message(), "");
    EXPECT_EQ(library.Material(0).SlotValue(Slot::EX), 210e9);
    EXPECT_EQ(library.Entry(0).Category, "Steels");
}

TEST(CsvImport, RefusesBrokenTextAndTablesNamingTheRowOrCell) {
    const std::string head = "Category,Name,Name code,Description,EX,DENS\n,,,,N/m^2,Kgm/m^3\n";
    struct Case {
        std::string text;
        std::string message;
        int kept;
    };
    const Case cases[] = {
        {"a,b\nc,\"open\nd,e\n", "Row 2: a quoted field is never closed.", 0},
        {"a,\"b\"c\n", "Row 1: text follows the closing quote of a field.", 0},
        {"Category,Name,Name code,Description,EX,FOO\n", "Cell F1: \"FOO\" is not a property code.",
         0},
        {"Category,Name,Name code,Description,EX,C (Cp),C\n",
         "Cell G1: a second column for C (Cp).", 0},
        {"Category,Name,Name code,Description,EX\n,,,,psf\n",
         "Cell E2: \"psf\" is not a unit of EX in IPS, SI or MKS.", 0},
        {"Category,Name,Name code,Description,EX,DENS\n,,,,psi,Kgm/m^3\n",
         "Row 2: the units are not all of one system (IPS, SI or MKS).", 0},
        {head + "S,A,,,1,2\nS,B,,,1,x2\n", "Cell F4: \"x2\" is not a number.", 1},
        {head + "S,A,,,1,nan\n", "Cell F3: \"nan\" is not a number.", 0},
        // A megabyte cell is quoted by its first 40 characters.
        {head + "S,A,,,1," + std::string(1 << 20, '7') + "x\n",
         "Cell F3: \"" + std::string(40, '7') + "...\" is not a number.", 0},
        {"Category,Name,Name code,Description," + std::string(1000, 'U') + "\n",
         "Cell E1: \"" + std::string(40, 'U') + "...\" is not a property code.", 0},
    };
    for (const Case& c : cases) {
        Library library;
        const ImportResult r = ImportCsv(c.text, library);
        EXPECT_EQ(r.status, ImportResult::Status::Refused) << c.text;
        EXPECT_EQ(r.message(), c.message) << c.text;
        EXPECT_EQ(library.MaterialCount(), c.kept) << c.text;
    }
}

TEST(CsvImport, StopsAtTheLibrarysLimitNamingTheRow) {
    std::string text = "Category,Name,Name code,Description\n,,,\n";
    for (int i = 0; i <= kMaxMaterials; ++i)
        text += "C,M" + std::to_string(i) + ",,\n";
    Library library;
    const ImportResult r = ImportCsv(text, library);
    EXPECT_EQ(r.message(), "Row 1004: the library already holds 1001 materials.");
    EXPECT_EQ(library.MaterialCount(), kMaxMaterials);
}

TEST(CsvExport, QuotesWhatWouldSplitAFieldAndWritesUtf8) {
    const CellRows rows = {{CellValue::Text("a,b"), CellValue::Text("say \"x\""),
                            CellValue::Text(" pad"), CellValue::Empty(), CellValue::Number(0.1),
                            CellValue::Text("Caf\xE9")}};
    EXPECT_EQ(CsvText(rows), "\"a,b\",\"say \"\"x\"\"\",\" pad\",,0.1,Caf\xC3\xA9\r\n");
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
        EXPECT_EQ(CsvText({{CellValue::Text(text)}}), field + "\r\n") << text;
    // A negative number is a number, not a text that starts like a formula.
    EXPECT_EQ(CsvText({{CellValue::Number(-2.5)}}), "-2.5\r\n");
}

// Every text of the characters that matter, up to four of them, comes back as it was.
TEST(CsvExport, EveryTextReadsBackAsItWas) {
    const std::string alphabet = "=+-@'a\t ";
    std::vector<std::string> texts = {""};
    for (std::size_t from = 0, length = 1; length <= 4; ++length) {
        const std::size_t to = texts.size();
        for (std::size_t i = from; i < to; ++i)
            for (const char c : alphabet)
                texts.push_back(texts[i] + c);
        from = to;
    }
    CellRows rows;
    for (const std::string& text : texts)
        rows.push_back({CellValue::Text(text), CellValue::Text(text + ",x")});
    CsvSheet sheet;
    ASSERT_EQ(ParseCsv(CsvText(rows), sheet), "");
    ASSERT_EQ(sheet.rowCount(), static_cast<int>(texts.size()));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        ASSERT_EQ(CellText(sheet.cell(static_cast<int>(i) + 1, 1)), texts[i]);
        ASSERT_EQ(CellText(sheet.cell(static_cast<int>(i) + 1, 2)), texts[i] + ",x");
    }
}

// A file of another program keeps the apostrophes of its texts, bar one before what the
// export guards.
TEST(CsvSheet, TakesOffOnlyTheApostropheThatGuardsAFormulasStart) {
    CsvSheet sheet;
    ASSERT_EQ(ParseCsv("'t Hooft,'=1,\"'+2\",'',''',x'", sheet), "");
    const std::vector<std::string> expected = {"'t Hooft", "=1", "+2", "'", "''", "x'"};
    for (std::size_t k = 0; k < expected.size(); ++k)
        EXPECT_EQ(CellText(sheet.cell(1, static_cast<int>(k) + 1)), expected[k]) << k;
}

} // namespace
} // namespace mb
