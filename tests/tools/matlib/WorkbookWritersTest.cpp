// Workbooks written by LibreOffice, Gnumeric, openpyxl and xlwt from one description
// (make_workbooks.py, converted by make-workbooks before these tests run), imported by
// `matlib import` as a user runs it: every writer must give the same library and the same
// notes, apart from what a writer that never calculates leaves out.

#include "MatlibRun.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace mb::test {
namespace {

const std::string kWorkbooks = MB_WRITERS_DIR;

struct Written {
    std::string writer, format;
    bool calculates; ///< keeps a value with each formula
};

const Written kWritten[] = {
    {"libreoffice", "xlsx", true}, {"libreoffice", "ods", true}, {"libreoffice", "xls", true},
    {"gnumeric", "xlsx", true},    {"gnumeric", "ods", true},    {"gnumeric", "xls", true},
    {"openpyxl", "xlsx", false},
};

std::string Book(const Written& w, const std::string& name) {
    return kWorkbooks + "/" + w.writer + "/" + name + "." + w.format;
}

// The library every writer's `layout` workbook imports to, as a save writes it; one that never
// calculates leaves out what the formula gives (the block's DENS of the steel, the table's
// NUXY of the S355).
std::string Expected(const std::string& layout, const Written& w) {
    return ReadBytes(std::string(kDataDir) + "/tools/writers/" + layout +
                     (w.calculates ? "" : "-no-formula-values") + ".lib");
}

struct Imported {
    ProgramResult run;
    std::string library; ///< what OUT holds, "" when it was not written
};

Imported Import(const std::string& book) {
    TempDir dir;
    const std::string out = dir.file("out.lib");
    Imported result{Matlib({"import", book, out}), ""};
    if (std::filesystem::exists(out)) result.library = ReadBytes(out);
    return result;
}

// Blank rows inside a block, codes in any letter case, an empty value, a date-formatted
// number, a formula, codes that are none, and characters beyond Latin-1.
TEST(WorkbookWriters, TheBlockLayoutReadsAlikeFromEveryWriter) {
    std::vector<Written> written(std::begin(kWritten), std::end(kWritten));
    written.push_back({"xlwt", "xls", false});
    for (const Written& w : written) {
        const std::string book = Book(w, "block");
        const Imported r = Import(book);
        EXPECT_EQ(r.run.exitCode, 0) << book << "\n" << r.run.err;
        EXPECT_EQ(r.library, Expected("block", w)) << book;
        const std::string at = "matlib: " + book + ": ";
        const std::string beyond =
            " holds characters beyond Latin-1, which a library cannot hold: ";
        EXPECT_EQ(r.run.err,
                  at + "Row 1: the name" + beyond + "U+201C became '\"', U+201D became '\"'.\n" +
                      (w.calculates ? ""
                                    : at + "Cell B4: a formula whose value the file does not "
                                           "keep; DENS was left unset.\n") +
                      at +
                      "Row 8: \"Young's modulus\" is not a property code; its value 2.1e+11 "
                      "was left out.\n" +
                      at +
                      "Row 9: \"EX (Pa)\" is not a property code; its value 2.1e+11 was "
                      "left out.\n" +
                      at + "Row 11: the name" + beyond + "U+2013 became \"-\".\n" + at +
                      "Row 16: the name" + beyond + "U+2026 became \"...\".\n" + at +
                      "Row 17: the category" + beyond + "U+2713 became \"?\".\n")
            << book;
    }
}

// A merged category, a blank row between groups, a date as a description, a column
// without a heading, a formula.
TEST(WorkbookWriters, TheTableLayoutReadsAlikeFromEveryWriter) {
    for (const Written& w : kWritten) {
        const std::string book = Book(w, "table");
        const Imported r = Import(book);
        EXPECT_EQ(r.run.exitCode, 0) << book << "\n" << r.run.err;
        EXPECT_EQ(r.library, Expected("table", w)) << book;
        const std::string at = "matlib: " + book + ": ";
        EXPECT_EQ(r.run.err,
                  at + "Cell G1: the column has no property code; its value was left out.\n" + at +
                      "Row 4: the description holds characters beyond Latin-1, which a library "
                      "cannot hold: U+201C became '\"', U+201D became '\"'.\n" +
                      (w.calculates ? ""
                                    : at + "Cell F4: a formula whose value the file does not "
                                           "keep; NUXY was left unset.\n") +
                      at +
                      "Row 7: the name holds characters beyond Latin-1, which a library "
                      "cannot hold: U+2013 became \"-\".\n")
            << book;
    }
}

TEST(WorkbookWriters, AStopNamesTheFileTheRowAndTheCellAndWritesNothing) {
    for (const Written& w : kWritten) {
        const std::string book = Book(w, "stop");
        const Imported r = Import(book);
        EXPECT_EQ(r.run.exitCode, 1) << book;
        EXPECT_EQ(r.library, "") << book;
        EXPECT_EQ(r.run.err.substr(0, r.run.err.find('\n') + 1),
                  "matlib: The import stopped at row 5 of \"" + book +
                      "\": column B holds \"n/a\", not a number. The 2 materials before it were "
                      "imported.\n")
            << book;
    }
}

} // namespace
} // namespace mb::test
