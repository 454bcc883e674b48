#pragma once

// Reading a workbook's cells, as the spreadsheet import needs it. The FreeXL reader in
// src/formats/freexl and the xlsx/ods reader in src/formats/zipsheet implement it; tests use a
// sheet scripted in memory.

#include "Result.h"

#include <climits>
#include <memory>
#include <string>
#include <vector>

namespace mb {

/// What one cell holds, as the file keeps it. Texts are UTF-8: what a library cannot hold
/// is decided by the import, which says what it changed.
struct CellValue {
    enum class Kind {
        Empty,
        Text,
        Number,
        /// A formula whose value the file does not keep (a writer that never calculates
        /// leaves it out); `text` holds the formula where the file gives it.
        Formula,
    };
    Kind kind = Kind::Empty;
    /// Text: the cell's text. Number: how the sheet shows a date or a time
    /// ("2024-03-15", "2024-03-15 14:30:00", "14:30:00"), "" for any other number.
    /// Formula: the formula's text, or "".
    std::string text;
    double number = 0; ///< when kind is Number; a date or time is its serial day number

    static CellValue empty() { return {}; }
    static CellValue ofText(std::string t) { return {Kind::Text, std::move(t), 0}; }
    static CellValue ofNumber(double v) { return {Kind::Number, {}, v}; }
    /// A number that the sheet shows as a date or a time, `shown` as above.
    static CellValue ofDate(double serial, std::string shown) {
        return {Kind::Number, std::move(shown), serial};
    }
    static CellValue ofFormula(std::string formula) {
        return {Kind::Formula, std::move(formula), 0};
    }
};

/// Cells merged into one, both corners counted from 1 and inside the range.
struct CellRange {
    int top = 1;
    int left = 1;
    int bottom = 1;
    int right = 1;
};

class Worksheet {
public:
    virtual ~Worksheet() = default;
    /// Cell at (row, column), both counted from 1. Cells outside the used range are empty.
    /// A cell covered by a merged range gives what the file keeps for it (usually
    /// nothing), not what the range shows.
    virtual CellValue cell(int row, int column) const = 0;

    struct Extent {
        int rows = INT_MAX;
        int columns = INT_MAX;
    };
    /// Every cell past these rows or columns is empty. A sheet that cannot tell says so by
    /// the default, which bounds nothing; whoever walks the cells then needs bounds of its own.
    virtual Extent extent() const { return {}; }

    /// The merged ranges: each shows its top left cell across all of it.
    virtual std::vector<CellRange> mergedRanges() const { return {}; }
};

class Workbook {
public:
    virtual ~Workbook() = default;
    /// The first worksheet, or why the workbook has none that can be read (naming the file).
    virtual Result<std::unique_ptr<Worksheet>> firstSheet() = 0;
};

/// Opens workbook files.
class SpreadsheetReader {
public:
    virtual ~SpreadsheetReader() = default;
    /// The workbook at `path`, or why it cannot be read: a failure whose `file` is `path` and
    /// whose `what` is the whole message, naming the file.
    virtual Result<std::unique_ptr<Workbook>> open(const std::string& path) = 0;
};

} // namespace mb
