// xlsx and ods workbooks read as the editor and matlib read them, through the reader program in
// a process of its own: what hand-made workbooks hold, what broken ones say, and the xlsx
// export read back to the same library.
#include "ZipSpreadsheetReader.h"

#include "ChildProcess.h"
#include "CsvExchange.h"
#include "ExportSelection.h"
#include "IsolatedSpreadsheetReader.h"
#include "LargestLibrary.h"
#include "Library.h"
#include "LibraryFile.h"
#include "LibraryImport.h"
#include "PropertyCatalogue.h"
#include "TableLayout.h"
#include "UnitConversion.h"
#include "WorkbookRoundTrip.h"
#include "XlsxExport.h"

#include "SheetCells.h"
#include "SheetDates.h"
#include "TempDir.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace mb {
namespace {

using test::Describe;
using test::FirstSheet;

namespace fs = std::filesystem;

std::string Fixture(const std::string& name) {
    return std::string(test::kDataDir) + "/zipsheet/" + name;
}

std::string Saved(Library& library) {
    return libraryText(library, groupByCategory(library));
}

struct Material {
    std::string category, name;
    std::vector<std::pair<int, double>> values;
};

const std::string kEuroNote = "Row 6: the name holds characters beyond Latin-1, which a library "
                              "cannot hold: U+20AC became \"EUR\".";

TEST(ZipSpreadsheetReader, HandMadeWorkbooksReadToTheirMaterialsAndCells) {
    const std::vector<Material> materials = {
        {"Steels", "Structural Steel", {{Slot::EX, 2.1e11}, {Slot::NUXY, 0.3}, {Slot::DENS, 7850}}},
        {"Copper Alloys", "Laiton \xE9tir\xE9 EUR", {{Slot::EX, 1.1e11}}},
    };
    const struct {
        const char* file;
        std::vector<std::string> notes;
        // Cells beside the block, which the import does not read.
        std::vector<std::tuple<int, int, CellValue>> cells;
    } cases[] = {
        {"block.xlsx",
         {kEuroNote},
         {{3, 3, CellValue::ofText("TRUE")},
          {3, 4, CellValue::ofText("#N/A")},
          {4, 3, CellValue::ofNumber(42)},
          {9, 28, CellValue::ofNumber(5)},
          {2, 4, CellValue::empty()}}},
        {"block.ods",
         // Its two paragraphs are two lines, and a line break has no place in a category.
         {kEuroNote, "Row 7: line breaks, tabs and other control characters in the category were "
                     "replaced by blanks."},
         {{3, 3, CellValue::ofText("TRUE")},
          {4, 3, CellValue::ofNumber(42)},
          {9, 5, CellValue::ofNumber(5)},
          {1, 16384, CellValue::empty()}}},
    };
    IsolatedSpreadsheetReader reader(MB_SHEETREADER_PATH);
    for (const auto& c : cases) {
        Library library;
        const ImportResult r = importFile(Fixture(c.file), reader, library);
        ASSERT_TRUE(r.imported()) << c.file << ": " << r.message();
        EXPECT_EQ(r.row, 9) << c.file;
        EXPECT_EQ(r.notes, c.notes) << c.file;
        ASSERT_EQ(library.materialCount(), static_cast<int>(materials.size())) << c.file;
        for (int i = 0; i < library.materialCount(); ++i) {
            const Material& m = materials[static_cast<std::size_t>(i)];
            EXPECT_EQ(library.entry(i).Category, m.category) << c.file;
            EXPECT_EQ(library.entry(i).Name, m.name) << c.file;
            for (const auto& [slot, value] : m.values)
                EXPECT_DOUBLE_EQ(library.material(i).slotValue(slot), value)
                    << c.file << " " << m.name;
        }

        std::string reason;
        const auto sheet = FirstSheet(reader.open(Fixture(c.file)), reason);
        ASSERT_TRUE(sheet) << reason;
        for (const auto& [row, column, expected] : c.cells) {
            const CellValue got = sheet->cell(row, column);
            EXPECT_TRUE(test::SameCell(got, expected))
                << c.file << " row " << row << " column " << column << ": " << Describe(got);
        }
    }
}

TEST(ZipSpreadsheetReader, BrokenWorkbooksAreRefusedWithTheirReasonAndLeaveTheLibrary) {
    const std::string cannot = "\" cannot be read: ";
    const std::pair<const char*, std::string> cases[] = {
        {"missing-workbook.xlsx", cannot + "the workbook has no part xl/workbook.xml."},
        {"missing-sheet.xlsx", cannot + "the workbook has no part xl/worksheets/materials.xml."},
        {"no-relationship.xlsx",
         cannot + "the part xl/_rels/workbook.xml.rels has no relationship \"rId7\"."},
        {"dtd.xlsx", cannot + "the part xl/worksheets/materials.xml has a document type "
                              "declaration, which a workbook never needs (line 2)."},
        {"entity.xlsx", cannot + "the part xl/worksheets/materials.xml refers to the entity "
                                 "\"steel\", which a workbook never needs (line 2)."},
        {"bomb.xlsx", cannot + "it unpacks to more than 64 MiB (reached in the part "
                               "xl/worksheets/materials.xml)."},
        {"bad-reference.xlsx", cannot + "the part xl/worksheets/materials.xml has the cell "
                                        "reference \"8B\", which names no cell (line 2)."},
        {"malformed.ods", cannot + "the part content.xml is not well-formed XML at line 2: "
                                   "Opening and ending tag mismatch."},
        {"text-document.ods",
         cannot + "its part mimetype says \"application/vnd.oasis.opendocument.text\", which is "
                  "no spreadsheet."},
        {"not-a-zip.xlsx", "\" is not an xlsx or ods workbook (it is no zip archive)."},
        {"truncated.xlsx", "\" is damaged and cannot be read (its zip archive is incomplete)."},
    };
    IsolatedSpreadsheetReader isolated(MB_SHEETREADER_PATH);
    for (const auto& [file, why] : cases) {
        const std::string path = Fixture(file);
        Library library;
        library.addMaterial("", "", "kept", "");
        const ImportResult r = importFile(path, isolated, library);
        EXPECT_EQ(r.status, ImportResult::Status::CannotOpen) << file;
        EXPECT_EQ(r.message(), "The file \"" + path + why) << file;
        ASSERT_EQ(library.materialCount(), 1) << file;
        EXPECT_EQ(library.entry(0).Name, "kept") << file;
    }
    // A file that is not there never reaches the reader process: the import says why in
    // the words of every other read. The reader, asked directly, still answers for itself.
    const std::string missing = Fixture("no-such-file.ods");
    Library library;
    EXPECT_EQ(importFile(missing, isolated, library).message(),
              "The file \"" + missing + "\" could not be read: it does not exist.");
    const Result<std::unique_ptr<Workbook>> none = ZipSpreadsheetReader().open(missing);
    ASSERT_FALSE(none);
    EXPECT_EQ(none.failure().what,
              "The file \"" + missing + "\" does not exist or cannot be read.");
}

// Under the reader process's memory limit the bomb runs out of memory before its budget:
// the reader, loaded into matlib at run time, must end that as a reason, not a crash.
TEST(ZipSpreadsheetReader, AWorkbookThatExhaustsTheReadersMemoryIsTooLarge) {
    ChildLimits limits;
    limits.addressSpaceBytes = std::size_t{96} << 20;
    IsolatedSpreadsheetReader reader(MB_SHEETREADER_PATH, limits);
    const std::string path = Fixture("bomb.xlsx");
    const Result<std::unique_ptr<Workbook>> refused = reader.open(path);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.failure().what, "The file \"" + path + "\" is too large to be read.");
}

// A deflated zip archive of `parts`, as small on disk as the workbooks that unpack without
// end are.
std::string DeflatedZip(const std::string& path,
                        const std::vector<std::pair<std::string, std::string>>& parts) {
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
    if (!zip) return "cannot create " + path;
    for (const auto& [name, bytes] : parts) {
        zip_source_t* source = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
        const zip_int64_t index =
            source ? zip_file_add(zip, name.c_str(), source, ZIP_FL_OVERWRITE) : -1;
        if (index < 0 ||
            zip_set_file_compression(zip, static_cast<zip_uint64_t>(index),
                                     name == "mimetype" ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 9) != 0) {
            zip_source_free(source);
            zip_discard(zip);
            return "cannot add " + name;
        }
    }
    return zip_close(zip) == 0 ? "" : "cannot write " + path;
}

// One shared string of 30 MiB used by 4,000 cells: 46 KB on disk.
std::string SharedStringBomb(const std::string& path) {
    const std::string ns = R"( xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main")";
    std::string sheet = "<worksheet" + ns + "><sheetData>";
    for (int row = 1; row <= 400; ++row) {
        sheet += "<row r=\"" + std::to_string(row) + "\">";
        for (int column = 0; column < 10; ++column)
            sheet += R"(<c t="s"><v>0</v></c>)";
        sheet += "</row>";
    }
    sheet += "</sheetData></worksheet>";
    return DeflatedZip(
        path,
        {{"xl/workbook.xml",
          "<workbook" + ns +
              R"( xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
              R"(<sheets><sheet name="S" sheetId="1" r:id="rId1"/></sheets></workbook>)"},
         {"xl/_rels/workbook.xml.rels",
          R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
          R"(<Relationship Id="rId1" Target="worksheets/sheet1.xml" Type="http://schemas.)"
          R"(openxmlformats.org/officeDocument/2006/relationships/worksheet"/></Relationships>)"},
         {"xl/sharedStrings.xml",
          "<sst" + ns + "><si><t>" + std::string(30 << 20, 'A') + "</t></si></sst>"},
         {"xl/worksheets/sheet1.xml", sheet}});
}

// A cell of 1 MiB of text repeated over 256 columns and 32,000 rows: 1.9 KB on disk.
std::string RepeatedCellBomb(const std::string& path) {
    return DeflatedZip(
        path,
        {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
         {"content.xml",
          R"(<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" )"
          R"(xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" )"
          R"(xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body>)"
          R"(<office:spreadsheet><table:table table:name="S">)"
          R"(<table:table-row table:number-rows-repeated="32000">)"
          R"(<table:table-cell table:number-columns-repeated="256" office:value-type="string">)"
          "<text:p>" +
              std::string(1 << 20, 'B') +
              "</text:p></table:table-cell></table:table-row></table:table></office:spreadsheet>"
              "</office:body></office:document-content>"}});
}

// Small files that unpack within the budget and then repeat one text without end are
// refused, naming the file, before they take the memory they ask for.
TEST(ZipSpreadsheetReader, AWorkbookThatRepeatsATextWithoutEndIsRefusedNamingTheFile) {
    test::TempDir dir;
    const std::string shared = dir.file("shared.xlsx"), repeated = dir.file("repeated.ods");
    ASSERT_EQ(SharedStringBomb(shared), "");
    ASSERT_EQ(RepeatedCellBomb(repeated), "");
    EXPECT_LT(fs::file_size(shared), 64u << 10);
    EXPECT_LT(fs::file_size(repeated), 4u << 10);
    const std::pair<std::string, std::string> cases[] = {
        {shared, "The file \"" + shared +
                     "\" cannot be read: the part xl/worksheets/sheet1.xml gives its cells more "
                     "than 64 MiB of text, a shared string counted for each cell (line 1)."},
        {repeated, "The first worksheet of \"" + repeated +
                       "\" holds more than 64 MiB of text, a cell counted each time it is "
                       "repeated."},
    };
    IsolatedSpreadsheetReader isolated(MB_SHEETREADER_PATH);
    for (const auto& [path, why] : cases) {
        Library library;
        library.addMaterial("", "", "kept", "");
        const ImportResult r = importFile(path, isolated, library);
        EXPECT_EQ(r.status, ImportResult::Status::CannotOpen) << path;
        EXPECT_EQ(r.message(), why) << path;
        ASSERT_EQ(library.materialCount(), 1) << path;
    }
}

void LoadSample(Library& library) {
    ASSERT_EQ(ReadLibraryFile(MB_SAMPLE_LIBRARY, library, ".").status, ReadResult::Status::Loaded);
}

TEST(ZipSpreadsheetReader, TheXlsxExportReadsBackToTheSameFileByteForByte) {
    const std::pair<const char*, std::function<void(Library&)>> sources[] = {
        {"sample", LoadSample}, {"largest", bench::fillLargestLibrary}};
    test::TempDir dir;
    IsolatedSpreadsheetReader reader(MB_SHEETREADER_PATH);
    for (const auto& [name, fill] : sources) {
        Library original;
        fill(original);
        const Result<std::string> workbook =
            xlsxWorkbook(exportTable(exportSelection(original), UnitSystemIndex::SI));
        ASSERT_TRUE(workbook.ok()) << name;
        const std::string path = dir.file(std::string(name) + ".xlsx");
        test::WriteBytes(path, workbook.value());
        Library back;
        ASSERT_EQ(importFile(path, reader, back).message(), "") << name;
        EXPECT_EQ(Saved(back), Saved(original)) << name;
    }
}

// The editor reads a CSV in the reader process too; what it gets is what matlib reads in
// process.
TEST(ZipSpreadsheetReader, CsvThroughTheReaderProcessReadsAsInProcess) {
    test::TempDir dir;
    IsolatedSpreadsheetReader reader(MB_SHEETREADER_PATH);
    Library original;
    LoadSample(original);
    const std::string table = dir.file("sample.csv");
    test::WriteBytes(table, csvText(exportTable(exportSelection(original), UnitSystemIndex::MKS)));
    const std::string unclosed = dir.file("unclosed.csv");
    test::WriteBytes(unclosed, "Name,Steel\nType,\"Steels\nEnd\n");
    Library inProcess, isolated;
    EXPECT_EQ(importFile(table, reader, inProcess).message(), "");
    EXPECT_EQ(importFile(table, reader, isolated, CsvReading::ByWorkbookReader).message(), "");
    EXPECT_EQ(Saved(isolated), Saved(inProcess));
    EXPECT_EQ(isolated.materialCount(), original.materialCount());

    isolated.addMaterial("", "", "kept", "");
    const ImportResult r = importFile(unclosed, reader, isolated, CsvReading::ByWorkbookReader);
    EXPECT_EQ(r.status, ImportResult::Status::CannotOpen);
    EXPECT_EQ(r.message(),
              "The file \"" + unclosed + "\" is not CSV: Row 2: a quoted field is never closed.");
    EXPECT_EQ(isolated.materialCount(), original.materialCount() + 1);
}

// Every input the fuzzers keep, checked in process as the fuzzers check it.
TEST(ZipSpreadsheetReader, SurvivesEveryInputOfTheFuzzCorpora) {
    int inputs = 0;
    for (const auto& [folder, format] : {std::pair{"xlsx-corpus", fuzz::WorkbookFormat::Xlsx},
                                         std::pair{"ods-corpus", fuzz::WorkbookFormat::Ods}}) {
        std::vector<fs::path> files;
        for (const auto& e : fs::directory_iterator(std::string(MB_FUZZ_DIR) + "/" + folder))
            files.push_back(e.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) {
            ++inputs;
            const std::string input = test::ReadBytes(file.string());
            EXPECT_EQ(fuzz::RoundTripWorkbook(input, format), "") << file;
        }
    }
    EXPECT_GE(inputs, 15);
}

// What the readers hand on for dates, formulas without a value and merged ranges, and where
// rows and cells given out of order land.
TEST(ZipSpreadsheetReader, DatesFormulasAndMergedRangesAsTheFileKeepsThem) {
    const std::string ods =
        R"(<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" )"
        R"(xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" )"
        R"(xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body><office:spreadsheet>)"
        R"(<table:calculation-settings><table:null-date table:date-value="1904-01-01"/></table:calculation-settings>)"
        R"(<table:table><table:table-row>)"
        R"(<table:table-cell office:value-type="date" office:date-value="2024-03-15"/>)"
        R"(<table:table-cell office:value-type="date" office:date-value="2024-03-15T14:30:00"/>)"
        R"(<table:table-cell office:value-type="time" office:time-value="PT26H00M00S"/>)"
        R"(<table:table-cell table:formula="of:=[.A1]*2"/>)"
        R"(<table:table-cell table:number-columns-spanned="2" table:number-rows-spanned="3" )"
        R"(office:value-type="string"><text:p>Merged</text:p></table:table-cell><table:covered-table-cell/>)"
        R"(</table:table-row></table:table></office:spreadsheet></office:body></office:document-content>)";
    ZipSpreadsheetReader reader;
    std::string reason;
    const auto sheet = FirstSheet(
        reader.open(fuzz::WorkbookBytes(ods, fuzz::WorkbookFormat::Ods), "dates.ods"), reason);
    ASSERT_TRUE(sheet) << reason;
    const double day = static_cast<double>(daysFromCivil(2024, 3, 15) - daysFromCivil(1904, 1, 1));
    const struct {
        int column;
        CellValue::Kind kind;
        double number;
        std::string text;
    } expected[] = {
        {1, CellValue::Kind::Number, day, "2024-03-15"},
        {2, CellValue::Kind::Number, day + 14.5 / 24, "2024-03-15 14:30:00"},
        {3, CellValue::Kind::Number, 26.0 / 24, "26:00:00"},
        {4, CellValue::Kind::Formula, 0, "=[.A1]*2"},
        {5, CellValue::Kind::Text, 0, "Merged"},
    };
    for (const auto& e : expected) {
        const CellValue cell = sheet->cell(1, e.column);
        EXPECT_EQ(cell.kind, e.kind) << e.column;
        EXPECT_DOUBLE_EQ(cell.number, e.number) << e.column;
        EXPECT_EQ(cell.text, e.text) << e.column;
    }
    const std::vector<CellRange> merged = sheet->mergedRanges();
    ASSERT_EQ(merged.size(), 1u);
    EXPECT_EQ(std::tuple(merged[0].top, merged[0].left, merged[0].bottom, merged[0].right),
              std::tuple(1, 5, 3, 6));

    const std::string xlsx =
        R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)"
        R"(<row r="5"><c r="B5"><v>2.1E11</v></c><c r="A5" t="inlineStr"><is><t>EX</t></is></c></row><row r="1">)"
        R"(<c r="A1"><f>B1*2</f><v></v></c><c r="B1" t="d"><v>2024-03-15</v></c>)"
        R"(<c r="C1"><f t="shared" si="0"/></c><c r="D1"><f>1+1</f><v>2</v></c></row></sheetData>)"
        R"(<mergeCells count="2"><mergeCell ref="A2:B3"/><mergeCell ref="C2:C2"/></mergeCells></worksheet>)";
    const auto formulas = FirstSheet(
        reader.open(fuzz::WorkbookBytes(xlsx, fuzz::WorkbookFormat::Xlsx), "f.xlsx"), reason);
    ASSERT_TRUE(formulas) << reason;
    EXPECT_EQ(formulas->cell(1, 1).kind, CellValue::Kind::Formula);
    EXPECT_EQ(formulas->cell(1, 1).text, "=B1*2");
    EXPECT_EQ(formulas->cell(1, 2).text, "2024-03-15");
    EXPECT_DOUBLE_EQ(formulas->cell(1, 2).number, 45366);
    EXPECT_EQ(formulas->cell(1, 3).kind, CellValue::Kind::Formula);
    EXPECT_EQ(formulas->cell(1, 4).kind, CellValue::Kind::Number);
    // Rows and cells given backwards are read where their references put them.
    EXPECT_EQ(formulas->cell(5, 1).text, "EX");
    EXPECT_DOUBLE_EQ(formulas->cell(5, 2).number, 2.1e11);
    const std::vector<CellRange> ranges = formulas->mergedRanges(); // one cell is no range
    ASSERT_EQ(ranges.size(), 1u);
    EXPECT_EQ(std::tuple(ranges[0].top, ranges[0].left, ranges[0].bottom, ranges[0].right),
              std::tuple(2, 1, 3, 2));
}

TEST(SheetDates, NumberFormatsThatShowDatesAndTimes) {
    const struct {
        int id;
        const char* code;
        DateShape shape;
    } cases[] = {
        {14, "", DateShape::Date},
        {22, "", DateShape::DateTime},
        {21, "", DateShape::Time},
        {0, "", DateShape::None},
        {164, "yyyy-mm-dd", DateShape::Date},
        {164, "YYYY\\-MM\\-DD", DateShape::Date},
        {164, "yyyy-mm-dd h:mm:ss", DateShape::DateTime},
        {164, "[h]:mm", DateShape::Time},
        {164, "mm:ss", DateShape::Time},
        {164, "h:mm AM/PM", DateShape::Time},
        {164, "[$-409]d-mmm-yy;@", DateShape::Date},
        {164, "0.00E+00", DateShape::None},
        {164, "#,##0 \"days\"", DateShape::None},
        {164, "[Red]0.00", DateShape::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(numberFormatShape(c.id, c.code), c.shape) << c.id << " " << c.code;
}

TEST(SheetDates, DayNumbersShownInBothDateSystems) {
    const DateSystem excel;
    const DateSystem mac{daysFromCivil(1904, 1, 1), false};
    EXPECT_EQ(shownDate(45366, DateShape::Date, excel), "2024-03-15");
    EXPECT_EQ(shownDate(45366.604166666664, DateShape::DateTime, excel), "2024-03-15 14:30:00");
    EXPECT_EQ(shownDate(0.75, DateShape::Time, excel), "18:00:00");
    EXPECT_EQ(shownDate(1, DateShape::Date, excel), "1900-01-01");
    EXPECT_EQ(shownDate(59, DateShape::Date, excel), "1900-02-28");
    EXPECT_EQ(shownDate(60, DateShape::Date, excel), "1900-02-29"); // the day that never was
    EXPECT_EQ(shownDate(61, DateShape::Date, excel), "1900-03-01");
    EXPECT_EQ(shownDate(43904, DateShape::Date, mac), "2024-03-15");
    EXPECT_EQ(shownDate(-1, DateShape::Date, excel), "");
    EXPECT_EQ(shownDate(1e300, DateShape::Date, excel), "");

    for (const char* bad : {"", "2024-13-01", "2024-03", "2024-03-15T25:00:00", "x"})
        EXPECT_FALSE(parseOdsDate(bad, 0)) << bad;
    for (const char* bad : {"", "PT", "T1H", "P1H", "PT1X"})
        EXPECT_FALSE(parseOdsTime(bad)) << bad;
}

} // namespace
} // namespace mb
