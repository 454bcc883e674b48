#include "SpreadsheetImport.h"

#include "Library.h"
#include "PropertyCatalogue.h"
#include "Spreadsheet.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace mb {
namespace {

using Rows = std::vector<std::pair<CellValue, CellValue>>;
using CellFunction = std::function<CellValue(int row, int column)>;

// Columns A and B scripted row by row from row 1; cells below come from `below`, so
// sheets of 30000 rows need no storage.
class ScriptedSheet : public Worksheet {
public:
    explicit ScriptedSheet(Rows rows, CellFunction below = {})
        : rows_(std::move(rows)), below_(std::move(below)) {}
    CellValue cell(int row, int column) const override {
        if (row >= 1 && row <= static_cast<int>(rows_.size()) && (column == 1 || column == 2))
            return column == 1 ? rows_[row - 1].first : rows_[row - 1].second;
        return below_ ? below_(row, column) : CellValue::Empty();
    }

private:
    Rows rows_;
    CellFunction below_;
};

CellValue T(std::string s) {
    return CellValue::Text(std::move(s));
}
CellValue N(double v) {
    return CellValue::Number(v);
}
CellValue E() {
    return CellValue::Empty();
}

TEST(SpreadsheetImport, HowColumnsAAndBAreRead) {
    ScriptedSheet sheet{{
        {T("name"), T("  Padded  ")}, // keywords ignore case; names are stored unchanged
        {T("  TYPE "), T(" Cat ")},   // "Name" and "Type" are trimmed before comparing
        {T(" DENS "), N(7850)},
        {E(), N(5)},
        {T("ex"), N(3)},  // codes are exact but trimmed
        {T("C"), N(460)}, // "C" stands for C (Cp)
        {T("EX"), E()},
        {T("NUXY"), T(" 0.25 ")}, // an empty cell reads as 0
        {T(" NaMe"), N(4340)},    // a number becomes its shortest text; no Type row
        {T(" End"), N(1)},        // "End" is compared untrimmed: a value row
        {T("Name"), N(1e21)},
        {T("Type"), N(1.5)},
        {T("eNd"), E()},
        {T("Name"), T("late")},
    }};
    Library lib;
    lib.AddMaterial("", "", "", ""); // replaced by the import
    const ImportResult r = ImportWorksheet(sheet, lib);
    EXPECT_TRUE(r.imported()) << r.message();
    EXPECT_EQ(r.row, 13);
    std::string entries; // name|category of each
    for (int n = 0; n <= lib.LastMaterialIndex(); ++n)
        entries += lib.Entry(n).Name + "|" + lib.Entry(n).Category + ";";
    EXPECT_EQ(entries, "  Padded  | Cat ;4340|;1e+21|1.5;");
    const clsMaterial& rec = lib.Shadow(0); // as imported, like the working record
    EXPECT_EQ(rec.MaterialName(), "  Padded  ");
    EXPECT_EQ(rec.MaterialType(), " Cat ");
    const std::map<int, double> values = {
        {Slot::EX, 0}, {Slot::NUXY, 0.25}, {Slot::DENS, 7850}, {Slot::SpecificHeat, 460}};
    for (int slot = 0; slot < kSlotCount; ++slot)
        EXPECT_EQ(rec.HasValue(slot), values.count(slot) == 1) << slot;
    for (const auto& [slot, value] : values)
        EXPECT_DOUBLE_EQ(rec.SlotValue(slot), value);
}

TEST(SpreadsheetImport, FailuresNameTheRowAndKeepWhatWasRead) {
    using S = ImportResult::Status;
    const auto namesThenEnd = [](int n) -> CellFunction {
        return [n](int row, int col) { return col == 2 ? E() : T(row <= n ? "Name" : "End"); };
    };
    // `lastIndex`: the materials kept, as LastMaterialIndex.
    struct Case {
        const char* what;
        Rows rows;
        CellFunction below;
        S status;
        int row;
        std::string message;
        int lastIndex;
    };
    const Case cases[] = {
        {"empty row first",
         {{E(), E()}, {T("Name"), T("never")}, {T("End"), E()}},
         {},
         S::ValueRowBeforeName,
         1,
         "Row 1: a value row comes before the first \"Name\" row.",
         -1},
        {"type row first",
         {{T("Type"), T("Steel")}, {T("End"), E()}},
         {},
         S::TypeRowBeforeName,
         1,
         "Row 1: a \"Type\" row comes before the first \"Name\" row.",
         -1},
        // Rows 4 to 14 are the eleven value rows allowed; row 15 is one too many.
        {"twelfth value row",
         {{T("Name"), T("first")}, {T("Name"), T("second")}, {T("Type"), E()}},
         [](int row, int col) { return col == 2    ? N(row)
                                       : row <= 15 ? T("EX")
                                                   : T("End"); },
         S::TooManyValueRows,
         15,
         "Row 15: a material has more than 11 value rows.",
         1},
        // Without "End" the empty rows below the data are value rows.
        {"no End, empty rows",
         {{T("Name"), T("a")}, {T("EX"), N(1)}},
         {},
         S::TooManyValueRows,
         13,
         "Row 13: a material has more than 11 value rows.",
         0},
        {"text value",
         {{T("Name"), T("kept")}, {T("EX"), N(7)}, {T("NUXY"), T("about 0.3")}},
         {},
         S::NotANumber,
         3,
         "Row 3: column B of a value row is not a number.",
         0},
        // Type rows are not value rows, so a sheet can run on to where the row counter ends.
        {"no End, type rows",
         {{T("Name"), T("endless")}},
         [](int, int col) { return col == 1 ? T("Type") : E(); },
         S::MissingEnd,
         32767,
         "Row 32767: the sheet has no \"End\" row.",
         0},
        {"1001 names, a full library", {}, namesThenEnd(1001), S::Imported, 1002, "", 1000},
        {"1002 names",
         {},
         namesThenEnd(1002),
         S::LibraryFull,
         1002,
         "Row 1002: the library already holds 1001 materials.",
         1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedSheet sheet(c.rows, c.below);
        Library lib;
        const ImportResult r = ImportWorksheet(sheet, lib);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.row, c.row);
        EXPECT_EQ(r.message(), c.message);
        EXPECT_EQ(lib.LastMaterialIndex(), c.lastIndex);
        EXPECT_EQ(lib.LibraryIndex().size(), 1001u);
    }
    // A decimal comma, or infinity and nan written out, make no number either.
    for (const char* text : {"1,5", "-Infinity", "nan"}) {
        ScriptedSheet sheet({{T("Name"), T("a")}, {T("EX"), T(text)}});
        Library lib;
        EXPECT_EQ(ImportWorksheet(sheet, lib).message(),
                  "Row 2: column B of a value row is not a number.")
            << text;
    }
}

// What a cell holds can break a library line: control characters in names and categories
// become blanks (a run of them one blank) and names are cut to their 30 columns. Each change
// is a note naming its row, also when the import otherwise succeeds.
TEST(SpreadsheetImport, TextsThatWouldBreakALibraryAreMadeToFitWithANotePerChange) {
    const std::string name40 = "Austenitic stainless steel 316L annealed";
    const std::string longCategory(70, 'c');
    ScriptedSheet sheet{{
        {T("Name"), T("Steel\r\nMATL:A36")},                // 1
        {T("Type"), T("\tCarbon\x1F\x7FSteels")},           // 2
        {T("Name"), T(name40)},                             // 3
        {T("Type"), T(longCategory)},                       // 4: no width for a category
        {T("Name"), T("  " + std::string(30, 'x') + "  ")}, // 5: only blanks beyond 30
        {T("Name"), T("  padded  ")},                       // 6: kept as the sheet has it
        {T("Name"), T("\n" + name40)},                      // 7: both, blanks trimmed
        {T("End"), E()},
    }};
    Library lib;
    const ImportResult r = ImportWorksheet(sheet, lib);
    EXPECT_TRUE(r.imported());
    const std::string control = "line breaks, tabs and other control characters in the ";
    const std::string cut =
        "the name has more than 30 characters, the most a library keeps; it was shortened to ";
    EXPECT_EQ(r.message(), "Row 1: " + control +
                               "name were replaced by blanks.\n"
                               "Row 2: " +
                               control +
                               "category were replaced by blanks.\n"
                               "Row 3: " +
                               cut +
                               "\"Austenitic stainless steel 316\".\n"
                               "Row 7: " +
                               control +
                               "name were replaced by blanks.\n"
                               "Row 7: " +
                               cut + "\"Austenitic stainless steel 316\".");
    std::vector<std::string> names, types;
    for (int n = 0; n <= lib.LastMaterialIndex(); ++n) {
        names.push_back(lib.Entry(n).Name);
        types.push_back(lib.Entry(n).Category);
        EXPECT_EQ(lib.Material(n).MaterialName(), lib.Entry(n).Name);
        EXPECT_EQ(lib.Shadow(n).MaterialType(), lib.Entry(n).Category);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Steel MATL:A36", "Austenitic stainless steel 316",
                                               std::string(30, 'x'), "  padded  ",
                                               "Austenitic stainless steel 316"}));
    EXPECT_EQ(types, (std::vector<std::string>{" Carbon Steels", longCategory, "", "", ""}));

    // Notes come before the reason reading stopped.
    ScriptedSheet failing{{{T("Name"), T("a\tb")}, {T("Type"), T("c\nd")}, {E(), T("x")}}};
    const ImportResult f = ImportWorksheet(failing, lib);
    EXPECT_EQ(f.status, ImportResult::Status::NotANumber);
    EXPECT_EQ(f.message(), "Row 1: " + control +
                               "name were replaced by blanks.\n"
                               "Row 2: " +
                               control +
                               "category were replaced by blanks.\n"
                               "Row 3: column B of a value row is not a number.");
    EXPECT_EQ(lib.Entry(0).Name + "|" + lib.Entry(0).Category, "a b|c d");

    // Ten notes are listed, the rest counted.
    Rows tabs;
    for (int n = 1; n <= 13; ++n)
        tabs.push_back({T("Name"), T("tab\t" + std::to_string(n))});
    tabs.push_back({T("End"), E()});
    ScriptedSheet many(tabs);
    const ImportResult m = ImportWorksheet(many, lib);
    ASSERT_EQ(m.notes.size(), 13u);
    std::string listed;
    for (int n = 1; n <= 10; ++n)
        listed += "Row " + std::to_string(n) + ": " + control + "name were replaced by blanks.\n";
    EXPECT_EQ(m.message(), listed + "3 more changes to names and categories are not listed.");
    EXPECT_EQ(lib.Entry(12).Name, "tab 13");
}

} // namespace
} // namespace mb
