#pragma once

// Reading a workbook's cells, as the spreadsheet import needs it. The FreeXL reader in
// src/freexl and the xlsx/ods reader in src/zipsheet implement it; tests use a sheet
// scripted in memory.

#include <climits>
#include <memory>
#include <string>

namespace mb {

/// What one cell holds. Dates and times arrive as their text.
struct CellValue {
    enum class Kind { Empty, Text, Number };
    Kind kind = Kind::Empty;
    std::string text;  ///< 8-bit library text (Latin-1) when kind is Text
    double number = 0; ///< when kind is Number

    static CellValue Empty() { return {}; }
    static CellValue Text(std::string t) { return {Kind::Text, std::move(t), 0}; }
    static CellValue Number(double v) { return {Kind::Number, {}, v}; }
};

class Worksheet {
public:
    virtual ~Worksheet() = default;
    /// Cell at (row, column), both counted from 1. Cells outside the used range are empty.
    virtual CellValue cell(int row, int column) const = 0;

    struct Extent {
        int rows = INT_MAX;
        int columns = INT_MAX;
    };
    /// Every cell past these rows or columns is empty. A sheet that cannot tell says so by
    /// the default, which bounds nothing; whoever walks the cells then needs bounds of its own.
    virtual Extent extent() const { return {}; }
};

class Workbook {
public:
    virtual ~Workbook() = default;
    /// The first worksheet, or null with `reason` set when the workbook has none.
    virtual std::unique_ptr<Worksheet> firstSheet(std::string& reason) = 0;
};

/// Opens workbook files.
class SpreadsheetReader {
public:
    virtual ~SpreadsheetReader() = default;
    /// The workbook at `path`, or null with `reason` set to why it cannot be read.
    virtual std::unique_ptr<Workbook> open(const std::string& path, std::string& reason) = 0;
};

} // namespace mb
