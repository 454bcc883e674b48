#include "model/SpreadsheetImport.h"

#include "materials/PropertyCatalogue.h"
#include "model/Library.h"
#include "platform/Spreadsheet.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace mb {
namespace {

using Rows = std::vector<std::pair<CellValue, CellValue>>;
using CellFunction = std::function<CellValue(int row, int column)>;

// Columns A and B scripted row by row from row 1; cells below come from `below`, so
// sheets of 30000 rows need no storage. Everything else is empty.
class ScriptedSheet : public Worksheet {
public:
    explicit ScriptedSheet(Rows rows, CellFunction below = {})
        : rows_(std::move(rows)), below_(std::move(below)) {}

    CellValue cell(int row, int column) const override {
        ++reads;
        if (row >= 1 && row <= static_cast<int>(rows_.size()) && (column == 1 || column == 2))
            return column == 1 ? rows_[row - 1].first : rows_[row - 1].second;
        return below_ ? below_(row, column) : CellValue::Empty();
    }
    mutable int reads = 0;

private:
    Rows rows_;
    CellFunction below_;
};

CellValue T(std::string s) { return CellValue::Text(std::move(s)); }
CellValue N(double v) { return CellValue::Number(v); }
CellValue E() { return CellValue::Empty(); }

// --- Layout -----------------------------------------------------------------------

TEST(SpreadsheetImportLayout, TwoMaterialsGetEntriesAndRecords) {
    ScriptedSheet sheet{{{T("Name"), T("Structural Steel")}, {T("Type"), T("Steel")},
                         {T("EX"), N(2e11)}, {T(" DENS "), N(7850)}, {T("C"), N(460)},
                         {T("Name"), T("Aluminium")}, {T("Type"), T("Aluminum Alloys")},
                         {T("End"), E()}}};
    Library lib;
    const ImportResult r = ImportWorksheet(sheet, lib);
    EXPECT_TRUE(r.imported());
    EXPECT_EQ(r.row, 8);
    EXPECT_EQ(r.message(), "");
    ASSERT_EQ(lib.LastMaterialIndex, 1);
    EXPECT_EQ(lib.Entry(0).Name, "Structural Steel");
    EXPECT_EQ(lib.Entry(0).Category, "Steel");
    EXPECT_EQ(lib.Entry(1).Name, "Aluminium");
    EXPECT_EQ(lib.Entry(1).Category, "Aluminum Alloys");
    for (clsMaterial* rec : {&lib.Material(0), &lib.Shadow(0)}) {
        EXPECT_EQ(rec->MaterialName(), "Structural Steel");
        EXPECT_EQ(rec->MaterialType(), "Steel");
        EXPECT_DOUBLE_EQ(rec->SlotValue(Slot::EX), 2e11);
        EXPECT_DOUBLE_EQ(rec->SlotValue(Slot::DENS), 7850);
        EXPECT_TRUE(rec->HasValue(Slot::SpecificHeat)) << "\"C\" stands for C (Cp)";
        EXPECT_DOUBLE_EQ(rec->SlotValue(Slot::SpecificHeat), 460);
        EXPECT_FALSE(rec->HasValue(Slot::NUXY));
    }
    // Editing the working record leaves the shadow as imported.
    lib.Material(0).SetSlotValue(Slot::EX, 1.0);
    EXPECT_DOUBLE_EQ(lib.Shadow(0).SlotValue(Slot::EX), 2e11);
}

TEST(SpreadsheetImportLayout, HowColumnsAAndBAreRead) {
    ScriptedSheet sheet{{
        {T("name"), T("  Padded  ")}, // keywords ignore case; names are stored unchanged
        {T("  TYPE "), T(" Cat ")},   // "Name" and "Type" are trimmed before comparing
        {T(" NaMe"), N(4340)},        // a number becomes its shortest text; no Type row
        {T(" End"), N(1)},            // "End" is compared untrimmed: these are value rows
        {T("End "), N(2)},
        {T("Name"), N(1e21)},
        {T("Type"), N(1.5)},
        {T("Name"), E()},
        {T("eNd"), E()},
    }};
    Library lib;
    const ImportResult r = ImportWorksheet(sheet, lib);
    EXPECT_TRUE(r.imported()) << r.message();
    EXPECT_EQ(r.row, 9);
    ASSERT_EQ(lib.LastMaterialIndex, 3);
    EXPECT_EQ(lib.Entry(0).Name, "  Padded  ");
    EXPECT_EQ(lib.Entry(0).Category, " Cat ");
    EXPECT_EQ(lib.Entry(1).Name, "4340");
    EXPECT_EQ(lib.Entry(1).Category, "");
    EXPECT_EQ(lib.Material(1).MaterialType(), "");
    EXPECT_EQ(lib.Entry(2).Name, "1e+21");
    EXPECT_EQ(lib.Entry(2).Category, "1.5");
    EXPECT_EQ(lib.Entry(3).Name, "");
}

TEST(SpreadsheetImportLayout, ValueRowsSetOnlyTheCodesTheyName) {
    ScriptedSheet sheet{{{T("Name"), T("a")}, {E(), N(5)}, {T("Comment"), N(1)},
                         {T("ex"), N(3)} /* codes are exact: lower case names none */,
                         {T("EX"), E()} /* an empty cell reads as 0 */,
                         {T("NUXY"), T(" 0.25 ")}, {T("End"), E()}}};
    Library lib;
    ASSERT_TRUE(ImportWorksheet(sheet, lib).imported());
    EXPECT_DOUBLE_EQ(lib.Material(0).SlotValue(Slot::EX), 0.0);
    EXPECT_DOUBLE_EQ(lib.Material(0).SlotValue(Slot::NUXY), 0.25);
    for (int slot = 0; slot < kSlotCount; ++slot)
        EXPECT_EQ(lib.Material(0).HasValue(slot), slot == Slot::EX || slot == Slot::NUXY)
            << "slot " << slot;
}

TEST(SpreadsheetImportLayout, ReplacesTheLibraryAndReadsNothingAfterEnd) {
    Library lib;
    lib.AppendMaterial();
    lib.Entry(0).Name = "old";
    ScriptedSheet sheet{{{T("End"), E()}, {T("Name"), T("late")}}};
    const ImportResult r = ImportWorksheet(sheet, lib);
    EXPECT_TRUE(r.imported());
    EXPECT_EQ(lib.LastMaterialIndex, -1);
    EXPECT_EQ(lib.Entry(0).Name, "");
    EXPECT_EQ(sheet.reads, 1);
}

// --- Limits and failures -------------------------------------------------------------

struct SheetCase {
    const char* what;
    Rows rows;
    CellFunction below;
    ImportResult::Status status;
    int row;
    std::string message;
    int lastIndex;   ///< materials kept, as LastMaterialIndex
    double lastEX = -1; ///< EX of the last material kept, when checked
};

TEST(SpreadsheetImportFailure, StopsAtTheRowNamedAndKeepsWhatWasRead) {
    using S = ImportResult::Status;
    const std::string valueFirst = "Row 1: a value row comes before the first \"Name\" row.";
    const std::string notNumber = "Row 2: column B of a value row is not a number.";
    const auto namesThenEnd = [](int names) -> CellFunction {
        return [names](int row, int col) {
            return col == 2 ? E() : T(row <= names ? "Name" : "End");
        };
    };
    const SheetCase cases[] = {
        {"value row first", {{T("EX"), N(1)}, {T("Name"), T("never")}, {T("End"), E()}}, {},
         S::ValueRowBeforeName, 1, valueFirst, -1},
        {"empty row first", {{E(), E()}, {T("Name"), T("never")}, {T("End"), E()}}, {},
         S::ValueRowBeforeName, 1, valueFirst, -1},
        {"type row first", {{T("Type"), T("Steel")}, {T("End"), E()}}, {}, S::TypeRowBeforeName,
         1, "Row 1: a \"Type\" row comes before the first \"Name\" row.", -1},
        // Rows 4 to 14 are the eleven value rows allowed; row 15 is one too many.
        {"twelfth value row",
         {{T("Name"), T("first")}, {T("Name"), T("second")}, {T("Type"), E()}},
         [](int row, int col) { return col == 2 ? N(row) : row <= 15 ? T("EX") : T("End"); },
         S::TooManyValueRows, 15, "Row 15: a material has more than 11 value rows.", 1, 14},
        // Without "End" the empty rows below the data are value rows.
        {"no End, empty rows", {{T("Name"), T("a")}, {T("EX"), N(1)}}, {}, S::TooManyValueRows,
         13, "Row 13: a material has more than 11 value rows.", 0},
        {"text value",
         {{T("Name"), T("kept")}, {T("EX"), N(7)}, {T("NUXY"), T("about 0.3")}, {T("End"), E()}},
         {}, S::NotANumber, 3, "Row 3: column B of a value row is not a number.", 0, 7},
        {"blank text", {{T("Name"), T("a")}, {T("EX"), T("   ")}}, {}, S::NotANumber, 2,
         notNumber, 0},
        {"empty text", {{T("Name"), T("a")}, {T("EX"), T("")}}, {}, S::NotANumber, 2, notNumber, 0},
        {"trailing garbage", {{T("Name"), T("a")}, {T("EX"), T("1.5x")}}, {}, S::NotANumber, 2,
         notNumber, 0},
        {"decimal comma", {{T("Name"), T("a")}, {T("EX"), T("1,5")}}, {}, S::NotANumber, 2,
         notNumber, 0},
        // Type rows are not value rows, so a sheet can run on to where the row counter ends.
        {"no End, type rows", {{T("Name"), T("endless")}},
         [](int, int col) { return col == 1 ? T("Type") : E(); }, S::MissingEnd, 32767,
         "Row 32767: the sheet has no \"End\" row.", 0},
        {"1001 names, a full library", {}, namesThenEnd(1001), S::Imported, 1002, "", 1000},
        {"1002 names", {}, namesThenEnd(1002), S::LibraryFull, 1002,
         "Row 1002: the library already holds 1001 materials.", 1000},
    };
    for (const SheetCase& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedSheet sheet(c.rows, c.below);
        Library lib;
        const ImportResult r = ImportWorksheet(sheet, lib);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.row, c.row);
        EXPECT_EQ(r.message(), c.message);
        EXPECT_EQ(lib.LastMaterialIndex, c.lastIndex);
        EXPECT_EQ(lib.LibraryIndex.size(), 1001u);
        if (c.lastEX >= 0) {
            EXPECT_DOUBLE_EQ(lib.Material(c.lastIndex).SlotValue(Slot::EX), c.lastEX);
            EXPECT_FALSE(lib.Material(c.lastIndex).HasValue(Slot::NUXY));
        }
    }
}

// A workbook that cannot be opened, or that has no sheet to give.
struct NoSheetBook : Workbook {
    std::unique_ptr<Worksheet> firstSheet(std::string& reason) override {
        reason = "The file \"x.xls\" is damaged.";
        return nullptr;
    }
};
struct FailingReader : SpreadsheetReader {
    bool atSheet = false;
    std::unique_ptr<Workbook> open(const std::string&, std::string& reason) override {
        if (atSheet) return std::make_unique<NoSheetBook>();
        reason = "The file \"x.xls\" is damaged.";
        return nullptr;
    }
};

TEST(SpreadsheetImportOpen, AFileThatCannotBeReadLeavesTheLibraryAlone) {
    for (bool atSheet : {false, true}) {
        SCOPED_TRACE(atSheet ? "at the sheet" : "at open");
        FailingReader reader;
        reader.atSheet = atSheet;
        Library lib;
        lib.AppendMaterial();
        lib.Entry(0).Name = "kept";
        const ImportResult r = ImportSpreadsheet("x.xls", reader, lib);
        EXPECT_EQ(r.status, ImportResult::Status::CannotOpen);
        EXPECT_EQ(r.row, 0);
        EXPECT_EQ(r.message(), "The file \"x.xls\" is damaged.");
        EXPECT_EQ(lib.LastMaterialIndex, 0);
        EXPECT_EQ(lib.Entry(0).Name, "kept");
    }
}

} // namespace
} // namespace mb
