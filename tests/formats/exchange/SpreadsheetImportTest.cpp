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
        return below_ ? below_(row, column) : CellValue::empty();
    }

private:
    Rows rows_;
    CellFunction below_;
};

CellValue T(std::string s) {
    return CellValue::ofText(std::move(s));
}
CellValue N(double v) {
    return CellValue::ofNumber(v);
}
CellValue E() {
    return CellValue::empty();
}

TEST(SpreadsheetImport, HowColumnsAAndBAreRead) {
    ScriptedSheet sheet{{
        {T("name"), T("  Padded  ")}, // keywords ignore case; names are stored unchanged
        {T("  TYPE "), T(" Cat ")},   // "Name" and "Type" are trimmed before comparing
        {T(" DENS "), N(7850)},
        {T("c"), N(460)},         // "C" stands for C (Cp), in any letter case
        {T("NUXY"), T(" 0.25 ")}, // a number as text
        {T(" "), T(" ")},         // blanks only: a blank row
        {T(" NaMe"), N(4340)},    // a number becomes its shortest text; no Type row
        {T(" End"), N(1)},        // "End" is compared untrimmed: a value row
        {T("Name"), N(1e21)},
        {T("Type"), CellValue::ofDate(45366, "2024-03-15")}, // a date as the sheet shows it
        {T("eNd"), E()},
        {T("Name"), T("late")},
    }};
    Library lib;
    lib.addMaterial("", "", "", ""); // replaced by the import
    const ImportResult r = importWorksheet(sheet, lib);
    EXPECT_TRUE(r.imported()) << r.message();
    EXPECT_EQ(r.row, 11);
    EXPECT_EQ(r.message(), "Row 8: \" End\" is not a property code; its value 1 was left out.");
    std::string entries; // name|category of each
    for (int n = 0; n <= lib.LastMaterialIndex(); ++n)
        entries += lib.entry(n).Name + "|" + lib.entry(n).Category + ";";
    EXPECT_EQ(entries, "  Padded  | Cat ;4340|;1e+21|2024-03-15;");
    const clsMaterial& rec = lib.shadow(0); // as imported, like the working record
    EXPECT_EQ(rec.MaterialName(), "  Padded  ");
    EXPECT_EQ(rec.MaterialType(), " Cat ");
    const std::map<int, double> values = {
        {Slot::NUXY, 0.25}, {Slot::DENS, 7850}, {Slot::SpecificHeat, 460}};
    for (int slot = 0; slot < kSlotCount; ++slot)
        EXPECT_EQ(rec.HasValue(slot), values.count(slot) == 1) << slot;
    for (const auto& [slot, value] : values)
        EXPECT_DOUBLE_EQ(rec.slotValue(slot), value);
}

// Rows that cannot be taken as they stand are noted, and the rest of the block is read.
TEST(SpreadsheetImport, RowsNotTakenAsTheyStandAreNotedByRowOrCell) {
    ScriptedSheet sheet{{
        {T("Name"), T("Steel")},
        {T("EX (Pa)"), T("2.1E11")},
        {E(), N(5)},
        {T("Remarks"), E()},
        {T("EX"), N(1)},
        {T("EX"), N(2)},
        {T("Name"), CellValue::ofFormula("")},
        {T("Type"), CellValue::ofFormula("=A1")},
        {T("End"), E()},
    }};
    Library lib;
    const ImportResult r = importWorksheet(sheet, lib);
    EXPECT_TRUE(r.imported());
    EXPECT_EQ(r.notes, (std::vector<std::string>{
                           "Row 2: \"EX (Pa)\" is not a property code; its value 2.1e+11 was "
                           "left out.",
                           "Row 3: column A holds no property code; its value 5 was left out.",
                           "Row 4: \"Remarks\" is not a property code; the row was left out.",
                           "Row 6: a second value for EX (row 5 gave one); this one was taken.",
                           "Cell B7: a formula whose value the file does not keep; the name was "
                           "left empty.",
                           "Cell B8: a formula whose value the file does not keep; the category "
                           "was left empty.",
                       }));
    ASSERT_EQ(lib.materialCount(), 2);
    EXPECT_DOUBLE_EQ(lib.shadow(0).slotValue(Slot::EX), 2);
    EXPECT_EQ(lib.entry(1).Name + "|" + lib.entry(1).Category, "|");
}

TEST(SpreadsheetImport, AStopNamesThePlaceTheCellAndWhatWasKept) {
    using S = ImportResult::Status;
    const auto namesThenEnd = [](int n) -> CellFunction {
        return [n](int row, int col) { return col == 2 ? T("m") : T(row <= n ? "Name" : "End"); };
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
    const std::string at = "The import stopped at row ";
    const Case cases[] = {
        {"value row first",
         {{T("EX"), N(1)}, {T("Name"), T("never")}, {T("End"), E()}},
         {},
         S::ValueRowBeforeName,
         1,
         at + "1: a value row comes before the first \"Name\" row. No material came before it.",
         -1},
        {"type row first",
         {{E(), E()}, {T("Type"), T("Steel")}, {T("End"), E()}},
         {},
         S::TypeRowBeforeName,
         2,
         at + "2: a \"Type\" row comes before the first \"Name\" row. No material came "
              "before it.",
         -1},
        // Rows 4 to 14 are the eleven value rows allowed; row 15 is one too many.
        {"twelfth value row",
         {{T("Name"), T("first")}, {T("Name"), T("second")}, {T("Type"), E()}},
         [](int row, int col) {
             static const char* const codes[] = {"EX",   "EY",  "EZ",  "ETAN", "NUXY", "NUYZ",
                                                 "NUXZ", "GXY", "GYZ", "GXZ",  "ALPX", "ALPY"};
             return col == 2 ? N(row) : row <= 15 ? T(codes[row - 4]) : T("End");
         },
         S::TooManyValueRows,
         15,
         at + "15: the material \"second\" has more than 11 value rows. The 2 materials "
              "before it were imported.",
         1},
        // Blank rows are no value rows: a sheet without "End" says so.
        {"no End",
         {{T("Name"), T("a")}, {T("EX"), N(1)}, {E(), E()}, {T("Name"), T("b")}},
         {},
         S::MissingEnd,
         32767,
         at + "32767: the sheet ends without an \"End\" row. The 2 materials before it were "
              "imported.",
         1},
        {"1001 names, a full library", {}, namesThenEnd(1001), S::Imported, 1002, "", 1000},
        {"1002 names",
         {},
         namesThenEnd(1002),
         S::LibraryFull,
         1002,
         at + "1002: the library already holds 1001 materials. The 1001 materials before it "
              "were imported.",
         1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedSheet sheet(c.rows, c.below);
        Library lib;
        const ImportResult r = importWorksheet(sheet, lib);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.row, c.row);
        EXPECT_EQ(r.message(), c.message);
        EXPECT_EQ(lib.LastMaterialIndex(), c.lastIndex);
        EXPECT_EQ(lib.LibraryIndex().size(), 1001u);
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
        {T("Name"), T(std::string(31, 'y'))},               // 8: one column too many
        {T("End"), E()},
    }};
    Library lib;
    const ImportResult r = importWorksheet(sheet, lib);
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
                               cut + "\"Austenitic stainless steel 316\".\nRow 8: " + cut + "\"" +
                               std::string(30, 'y') + "\".");
    std::vector<std::string> names, types;
    for (int n = 0; n <= lib.LastMaterialIndex(); ++n) {
        names.push_back(lib.entry(n).Name);
        types.push_back(lib.entry(n).Category);
        EXPECT_EQ(lib.material(n).MaterialName(), lib.entry(n).Name);
        EXPECT_EQ(lib.shadow(n).MaterialType(), lib.entry(n).Category);
    }
    EXPECT_EQ(names, (std::vector<std::string>{
                         "Steel MATL:A36", "Austenitic stainless steel 316", std::string(30, 'x'),
                         "  padded  ", "Austenitic stainless steel 316", std::string(30, 'y')}));
    EXPECT_EQ(types, (std::vector<std::string>{" Carbon Steels", longCategory, "", "", "", ""}));

    // Notes come before the reason reading stopped.
    ScriptedSheet failing{{{T("Name"), T("a\tb")}, {T("Type"), T("c\nd")}, {T("EX"), T("x")}}};
    const ImportResult f = importWorksheet(failing, lib);
    EXPECT_EQ(f.status, ImportResult::Status::NotANumber);
    EXPECT_EQ(f.message(), "Row 1: " + control +
                               "name were replaced by blanks.\n"
                               "Row 2: " +
                               control +
                               "category were replaced by blanks.\n"
                               "The import stopped at row 3: column B holds \"x\", not a "
                               "number. The 1 material before it was imported.");
    EXPECT_EQ(lib.entry(0).Name + "|" + lib.entry(0).Category, "a b|c d");

    // Ten notes are listed, the rest counted.
    Rows tabs;
    for (int n = 1; n <= 13; ++n)
        tabs.push_back({T("Name"), T("tab\t" + std::to_string(n))});
    tabs.push_back({T("End"), E()});
    ScriptedSheet many(tabs);
    const ImportResult m = importWorksheet(many, lib);
    ASSERT_EQ(m.notes.size(), 13u);
    std::string listed;
    for (int n = 1; n <= 10; ++n)
        listed += "Row " + std::to_string(n) + ": " + control + "name were replaced by blanks.\n";
    EXPECT_EQ(m.message(),
              listed + "3 more cells or rows not taken as they stood are not listed here.");
    EXPECT_EQ(lib.entry(12).Name, "tab 13");
}

} // namespace
} // namespace mb
