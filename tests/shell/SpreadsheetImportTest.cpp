#include "model/SpreadsheetImport.h"

#include "materials/PropertyCatalogue.h"
#include "model/Library.h"
#include "model/LibraryFile.h"
#include "platform/Spreadsheet.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <utility>

namespace mb {
namespace {

// A first sheet scripted row by row; every cell not given is empty.
class ScriptedSheet : public Worksheet {
public:
    ScriptedSheet() = default;
    ScriptedSheet(std::initializer_list<std::pair<CellValue, CellValue>> rows) {
        int r = 1;
        for (const auto& [a, b] : rows) {
            cells_[{r, 1}] = a;
            cells_[{r, 2}] = b;
            ++r;
        }
    }
    void set(int row, int column, CellValue v) { cells_[{row, column}] = std::move(v); }
    /// Column A for rows the map does not hold, so sheets of 30000 rows need no storage.
    std::function<CellValue(int)> columnAFallback;

    CellValue cell(int row, int column) const override {
        ++reads;
        const auto it = cells_.find({row, column});
        if (it != cells_.end()) return it->second;
        if (column == 1 && columnAFallback) return columnAFallback(row);
        return CellValue::Empty();
    }
    mutable int reads = 0;

private:
    std::map<std::pair<int, int>, CellValue> cells_;
};

CellValue T(std::string s) { return CellValue::Text(std::move(s)); }
CellValue N(double v) { return CellValue::Number(v); }
CellValue E() { return CellValue::Empty(); }

double SlotOf(Library& lib, int n, int slot) { return lib.Material(n).SlotValue(slot); }

// --- Layout -----------------------------------------------------------------------

TEST(SpreadsheetImportLayout, TwoMaterialsWithTypesAndValues) {
    ScriptedSheet sheet{{T("Name"), T("Structural Steel")}, {T("Type"), T("Steel")},
                        {T("EX"), N(2e11)},               {T("NUXY"), N(0.3)},
                        {T("Name"), T("Aluminium")},      {T("Type"), T("Aluminum Alloys")},
                        {T("End"), E()}};
    Library lib;
    const ImportResult r = ImportWorksheet(sheet, lib);
    EXPECT_TRUE(r.imported());
    EXPECT_EQ(r.row, 7);
    EXPECT_EQ(r.message(), "");
    ASSERT_EQ(lib.LastMaterialIndex, 1);
    EXPECT_EQ(lib.Entry(0).Name, "Structural Steel");
    EXPECT_EQ(lib.Entry(0).Category, "Steel");
    EXPECT_EQ(lib.Entry(1).Name, "Aluminium");
    EXPECT_EQ(lib.Entry(1).Category, "Aluminum Alloys");
    EXPECT_EQ(lib.Entry(0).NameCode, "");
    EXPECT_EQ(lib.Entry(0).Description, "");
}

TEST(SpreadsheetImportLayout, ImportedMaterialsGetWorkingAndShadowRecords) {
    ScriptedSheet sheet{{T("Name"), T("Steel A")}, {T("Type"), T("Steel")},
                        {T("EX"), N(2e11)},       {T(" DENS "), N(7850)},
                        {T("C"), N(460)},         {T("End"), E()}};
    Library lib;
    ASSERT_TRUE(ImportWorksheet(sheet, lib).imported());
    for (clsMaterial* rec : {&lib.Material(0), &lib.Shadow(0)}) {
        EXPECT_EQ(rec->MaterialName(), "Steel A");
        EXPECT_EQ(rec->MaterialType(), "Steel");
        EXPECT_TRUE(rec->HasValue(Slot::EX));
        EXPECT_DOUBLE_EQ(rec->SlotValue(Slot::EX), 2e11);
        EXPECT_TRUE(rec->HasValue(Slot::DENS));
        EXPECT_DOUBLE_EQ(rec->SlotValue(Slot::DENS), 7850);
        EXPECT_TRUE(rec->HasValue(Slot::SpecificHeat)) << "\"C\" stands for C (Cp)";
        EXPECT_DOUBLE_EQ(rec->SlotValue(Slot::SpecificHeat), 460);
        EXPECT_FALSE(rec->HasValue(Slot::NUXY));
    }
    // The two records are separate objects: editing one leaves the other as imported.
    lib.Material(0).SetSlotValue(Slot::EX, 1.0);
    EXPECT_DOUBLE_EQ(lib.Shadow(0).SlotValue(Slot::EX), 2e11);
}

TEST(SpreadsheetImportLayout, ImportedLibraryReadsBackAfterWriting) {
    ScriptedSheet sheet{{T("Name"), T("Structural Steel")}, {T("Type"), T("Steel")},
                        {T("EX"), N(2e11)},               {T("Name"), T("Nylon")},
                        {T("Type"), T("Plastics")},       {T("DENS"), N(1140)},
                        {T("End"), E()}};
    Library imported;
    ASSERT_TRUE(ImportWorksheet(sheet, imported).imported());
    const std::string text = LibraryText(imported, GroupByCategory(imported));

    Library reread;
    ASSERT_EQ(ReadLibraryText(text, reread, ".").status, ReadResult::Status::Loaded);
    ASSERT_EQ(reread.LastMaterialIndex, 1);
    EXPECT_EQ(reread.Entry(0).Name, "Structural Steel  ");
    EXPECT_EQ(reread.Entry(0).Category, "Steel    ");
    EXPECT_DOUBLE_EQ(reread.Material(0).SlotValue(Slot::EX), 2e11);
    EXPECT_EQ(reread.Entry(1).Category, "Plastics    ");
    EXPECT_DOUBLE_EQ(reread.Material(1).SlotValue(Slot::DENS), 1140);
}

TEST(SpreadsheetImportLayout, ValueRowsWithoutACodeAreCountedButSetNothing) {
    ScriptedSheet sheet{{T("Name"), T("M")}, {E(), N(5)}, {T("Comment"), N(1)},
                        {T("ex"), N(3)} /* codes are exact: lower case names none */,
                        {T("End"), E()}};
    Library lib;
    ASSERT_TRUE(ImportWorksheet(sheet, lib).imported());
    for (int slot = 0; slot < kSlotCount; ++slot)
        EXPECT_FALSE(lib.Material(0).HasValue(slot)) << "slot " << slot;
}

TEST(SpreadsheetImportLayout, NameWithoutTypeHasAnEmptyCategory) {
    ScriptedSheet sheet{{T("Name"), T("Lonely")}, {T("End"), E()}};
    Library lib;
    ASSERT_TRUE(ImportWorksheet(sheet, lib).imported());
    EXPECT_EQ(lib.Entry(0).Category, "");
    EXPECT_EQ(lib.Material(0).MaterialType(), "");
}

TEST(SpreadsheetImportLayout, KeywordsIgnoreCaseAndNameTypeIgnoreSurroundingBlanks) {
    ScriptedSheet sheet{{T("name"), T("a")}, {T("  TYPE "), T("b")}, {T(" NaMe"), T("c")},
                        {T("eNd"), E()}};
    Library lib;
    ASSERT_TRUE(ImportWorksheet(sheet, lib).imported());
    EXPECT_EQ(lib.LastMaterialIndex, 1);
    EXPECT_EQ(lib.Entry(0).Category, "b");
    EXPECT_EQ(lib.Entry(1).Name, "c");
}

TEST(SpreadsheetImportLayout, EndIsComparedUntrimmed) {
    // " End" is a value row; the real end comes after it.
    ScriptedSheet sheet{{T("Name"), T("a")}, {T(" End"), N(1)}, {T("End "), N(2)},
                        {T("END"), E()}};
    Library lib;
    const ImportResult r = ImportWorksheet(sheet, lib);
    EXPECT_TRUE(r.imported());
    EXPECT_EQ(r.row, 4);
}

TEST(SpreadsheetImportLayout, NamesAndCategoriesAreStoredUnchanged) {
    ScriptedSheet sheet{{T("Name"), T("  Padded  ")}, {T("Type"), T(" Cat ")},
                        {T("End"), E()}};
    Library lib;
    ASSERT_TRUE(ImportWorksheet(sheet, lib).imported());
    EXPECT_EQ(lib.Entry(0).Name, "  Padded  ");
    EXPECT_EQ(lib.Entry(0).Category, " Cat ");
}

TEST(SpreadsheetImportLayout, NumbersInNameAndTypeCellsBecomeTheirShortestText) {
    ScriptedSheet sheet{{T("Name"), N(4340)}, {T("Type"), N(1.5)}, {T("Name"), N(1e21)},
                        {T("Name"), E()}, {T("End"), E()}};
    Library lib;
    ASSERT_TRUE(ImportWorksheet(sheet, lib).imported());
    EXPECT_EQ(lib.Entry(0).Name, "4340");
    EXPECT_EQ(lib.Entry(0).Category, "1.5");
    EXPECT_EQ(lib.Entry(1).Name, "1e+21");
    EXPECT_EQ(lib.Entry(2).Name, "");
}

TEST(SpreadsheetImportLayout, EmptyValueCellReadsAsZeroAndNumericTextCounts) {
    ScriptedSheet sheet{{T("Name"), T("a")}, {T("EX"), E()}, {T("NUXY"), T(" 0.25 ")},
                        {T("End"), E()}};
    Library lib;
    ASSERT_TRUE(ImportWorksheet(sheet, lib).imported());
    EXPECT_TRUE(lib.Material(0).HasValue(Slot::EX));
    EXPECT_DOUBLE_EQ(SlotOf(lib, 0, Slot::EX), 0.0);
    EXPECT_DOUBLE_EQ(SlotOf(lib, 0, Slot::NUXY), 0.25);
}

TEST(SpreadsheetImportLayout, RowsAfterEndAreNotRead) {
    ScriptedSheet sheet{{T("End"), E()}, {T("Name"), T("late")}};
    Library lib;
    const ImportResult r = ImportWorksheet(sheet, lib);
    EXPECT_TRUE(r.imported());
    EXPECT_EQ(lib.LastMaterialIndex, -1);
    EXPECT_EQ(sheet.reads, 1);
}

TEST(SpreadsheetImportLayout, ImportReplacesWhatTheLibraryHeld) {
    Library lib;
    lib.AppendMaterial();
    lib.Entry(0).Name = "old";
    lib.AppendMaterial();
    ScriptedSheet sheet{{T("Name"), T("new")}, {T("End"), E()}};
    ASSERT_TRUE(ImportWorksheet(sheet, lib).imported());
    EXPECT_EQ(lib.LastMaterialIndex, 0);
    EXPECT_EQ(lib.Entry(0).Name, "new");
    EXPECT_EQ(lib.Entry(1).Name, "");
}

TEST(SpreadsheetImportLayout, ElevenValueRowsAreAllowed) {
    ScriptedSheet sheet;
    sheet.set(1, 1, T("Name"));
    for (int r = 2; r <= 12; ++r) sheet.set(r, 1, T("X"));
    sheet.set(13, 1, T("Name"));
    for (int r = 14; r <= 24; ++r) sheet.set(r, 1, T("X"));
    sheet.set(25, 1, T("End"));
    Library lib;
    const ImportResult r = ImportWorksheet(sheet, lib);
    EXPECT_TRUE(r.imported());
    EXPECT_EQ(lib.LastMaterialIndex, 1);
}

// --- Failures ----------------------------------------------------------------------

TEST(SpreadsheetImportFailure, ValueRowBeforeFirstName) {
    ScriptedSheet sheet{{T("EX"), N(1)}, {T("Name"), T("never")}, {T("End"), E()}};
    Library lib;
    const ImportResult r = ImportWorksheet(sheet, lib);
    EXPECT_EQ(r.status, ImportResult::Status::ValueRowBeforeName);
    EXPECT_EQ(r.row, 1);
    EXPECT_EQ(r.message(), "Row 1: a value row comes before the first \"Name\" row.");
    EXPECT_EQ(lib.LastMaterialIndex, -1);
}

TEST(SpreadsheetImportFailure, EmptyRowBeforeFirstNameIsAValueRow) {
    ScriptedSheet sheet{{E(), E()}, {T("Name"), T("never")}, {T("End"), E()}};
    Library lib;
    const ImportResult r = ImportWorksheet(sheet, lib);
    EXPECT_EQ(r.status, ImportResult::Status::ValueRowBeforeName);
    EXPECT_EQ(r.row, 1);
}

TEST(SpreadsheetImportFailure, TypeRowBeforeFirstName) {
    ScriptedSheet sheet{{T("Type"), T("Steel")}, {T("End"), E()}};
    Library lib;
    const ImportResult r = ImportWorksheet(sheet, lib);
    EXPECT_EQ(r.status, ImportResult::Status::TypeRowBeforeName);
    EXPECT_EQ(r.message(), "Row 1: a \"Type\" row comes before the first \"Name\" row.");
}

TEST(SpreadsheetImportFailure, TwelfthValueRowKeepsWhatWasRead) {
    ScriptedSheet sheet;
    sheet.set(1, 1, T("Name"));
    sheet.set(1, 2, T("first"));
    sheet.set(2, 1, T("Name"));
    sheet.set(2, 2, T("second"));
    sheet.set(3, 1, T("Type"));
    for (int r = 4; r <= 14; ++r) {
        sheet.set(r, 1, T("EX"));
        sheet.set(r, 2, N(r));
    }
    sheet.set(15, 1, T("EX")); // the twelfth value row of "second"
    sheet.set(16, 1, T("End"));
    Library lib;
    const ImportResult r = ImportWorksheet(sheet, lib);
    EXPECT_EQ(r.status, ImportResult::Status::TooManyValueRows);
    EXPECT_EQ(r.row, 15);
    EXPECT_EQ(r.message(), "Row 15: a material has more than 11 value rows.");
    ASSERT_EQ(lib.LastMaterialIndex, 1);
    EXPECT_EQ(lib.Entry(1).Name, "second");
    EXPECT_DOUBLE_EQ(SlotOf(lib, 1, Slot::EX), 14.0) << "the eleventh row was taken";
}

TEST(SpreadsheetImportFailure, TextInValueColumn) {
    ScriptedSheet sheet{{T("Name"), T("kept")}, {T("EX"), N(7)}, {T("NUXY"), T("about 0.3")},
                        {T("End"), E()}};
    Library lib;
    const ImportResult r = ImportWorksheet(sheet, lib);
    EXPECT_EQ(r.status, ImportResult::Status::NotANumber);
    EXPECT_EQ(r.row, 3);
    EXPECT_EQ(r.message(), "Row 3: column B of a value row is not a number.");
    EXPECT_EQ(lib.LastMaterialIndex, 0);
    EXPECT_DOUBLE_EQ(SlotOf(lib, 0, Slot::EX), 7.0);
    EXPECT_FALSE(lib.Material(0).HasValue(Slot::NUXY));
}

TEST(SpreadsheetImportFailure, BlankTextAndTrailingGarbageAreNotNumbers) {
    for (const char* text : {"   ", "", "1.5x", "1,5"}) {
        ScriptedSheet sheet{{T("Name"), T("a")}, {T("EX"), T(text)}, {T("End"), E()}};
        Library lib;
        EXPECT_EQ(ImportWorksheet(sheet, lib).status, ImportResult::Status::NotANumber)
            << '"' << text << '"';
    }
}

TEST(SpreadsheetImportFailure, MissingEndStopsWhereTheRowCounterEnds) {
    // Type rows are not value rows, so a sheet can run on past any value-row limit.
    ScriptedSheet sheet{{T("Name"), T("endless")}};
    sheet.columnAFallback = [](int) { return T("Type"); };
    Library lib;
    const ImportResult r = ImportWorksheet(sheet, lib);
    EXPECT_EQ(r.status, ImportResult::Status::MissingEnd);
    EXPECT_EQ(r.row, 32767);
    EXPECT_EQ(r.message(), "Row 32767: the sheet has no \"End\" row.");
    EXPECT_EQ(lib.LastMaterialIndex, 0);
}

TEST(SpreadsheetImportFailure, MissingEndUsuallyEndsAtTheTwelfthEmptyRow) {
    ScriptedSheet sheet{{T("Name"), T("a")}, {T("EX"), N(1)}};
    Library lib;
    const ImportResult r = ImportWorksheet(sheet, lib);
    EXPECT_EQ(r.status, ImportResult::Status::TooManyValueRows);
    EXPECT_EQ(r.row, 13);
}

TEST(SpreadsheetImportFailure, LibraryFullStopsAtThe1002ndName) {
    ScriptedSheet sheet;
    sheet.columnAFallback = [](int row) { return row <= 1002 ? T("Name") : T("End"); };
    Library lib;
    const ImportResult r = ImportWorksheet(sheet, lib);
    EXPECT_EQ(r.status, ImportResult::Status::LibraryFull);
    EXPECT_EQ(r.row, 1002);
    EXPECT_EQ(r.message(), "Row 1002: the library already holds 1001 materials.");
    EXPECT_EQ(lib.LastMaterialIndex, 1000);
    EXPECT_EQ(lib.LibraryIndex.size(), 1001u);
}

TEST(SpreadsheetImportFailure, ExactlyAFullLibraryImports) {
    ScriptedSheet sheet;
    sheet.columnAFallback = [](int row) { return row <= 1001 ? T("Name") : T("End"); };
    Library lib;
    EXPECT_TRUE(ImportWorksheet(sheet, lib).imported());
    EXPECT_EQ(lib.LastMaterialIndex, 1000);
}

// --- Opening -----------------------------------------------------------------------

class ScriptedReader : public SpreadsheetReader {
public:
    std::string failOpen, failSheet;
    ScriptedSheet sheet{{T("Name"), T("from the reader")}, {T("End"), E()}};
    std::string openedPath;

    std::unique_ptr<Workbook> open(const std::string& path, std::string& reason) override {
        openedPath = path;
        if (!failOpen.empty()) {
            reason = failOpen;
            return nullptr;
        }
        return std::make_unique<Book>(*this);
    }

private:
    class Book : public Workbook {
    public:
        explicit Book(ScriptedReader& r) : r_(r) {}
        std::unique_ptr<Worksheet> firstSheet(std::string& reason) override {
            if (!r_.failSheet.empty()) {
                reason = r_.failSheet;
                return nullptr;
            }
            return std::make_unique<ScriptedSheet>(r_.sheet);
        }

    private:
        ScriptedReader& r_;
    };
};

TEST(SpreadsheetImportOpen, ReadsTheFirstSheetOfTheNamedFile) {
    ScriptedReader reader;
    Library lib;
    const ImportResult r = ImportSpreadsheet("/data/m.xls", reader, lib);
    EXPECT_TRUE(r.imported());
    EXPECT_EQ(reader.openedPath, "/data/m.xls");
    EXPECT_EQ(lib.Entry(0).Name, "from the reader");
}

TEST(SpreadsheetImportOpen, AFileThatCannotBeOpenedLeavesTheLibraryAlone) {
    for (bool atSheet : {false, true}) {
        ScriptedReader reader;
        (atSheet ? reader.failSheet : reader.failOpen) = "The file \"x.xls\" is damaged.";
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
