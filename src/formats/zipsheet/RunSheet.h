#pragma once

#include "Spreadsheet.h"

#include <vector>

namespace mb {

/// A sheet held as runs of equal cells: an OpenDocument sheet may repeat one row a million
/// times or one cell across every column, and neither may cost more than writing it once.
/// Only rows up to kLastRow and columns up to kLastColumn are kept: the import counts rows
/// in 16 bits, and no workbook has more columns.
class RunSheet : public Worksheet {
public:
    static constexpr long long kLastRow = 32767;
    static constexpr long long kLastColumn = 16384;
    /// What the texts a reader copies into cells may add up to, a text used by several
    /// cells counted each time: as much as a whole workbook may unpack to.
    static constexpr long long kCopiedTextLimit = 64LL * 1024 * 1024;

    struct CellRun {
        long long column; ///< first column, from 1
        long long count;
        CellValue value;
    };

    /// Rows [row, row + count) hold `cells` (empty ones and empty texts are dropped, as
    /// an empty CSV field is; any order). What lies
    /// past the kept rows and columns is dropped. Runs are not meant to overlap; where a
    /// damaged file makes them, a cell is looked up in the run that starts last before it.
    void addRows(long long row, long long count, std::vector<CellRun> cells);
    /// Cells from (top, left) to (bottom, right) are merged: they show the top left one.
    /// What lies past the kept rows and columns is dropped.
    void addMerge(long long top, long long left, long long bottom, long long right);
    /// Puts the rows in order; called once all are added, before any cell is looked up.
    void finish();

    CellValue cell(int row, int column) const override;
    Extent extent() const override;
    std::vector<CellRange> mergedRanges() const override { return merges_; }

private:
    struct RowRun {
        long long row;
        long long count;
        std::vector<CellRun> cells; // sorted by column
    };
    std::vector<RowRun> rows_; // sorted by row once finished
    std::vector<CellRange> merges_;
    bool inOrder_ = true;
    Extent extent_{0, 0};
};

} // namespace mb
