#include "ShownSheet.h"

#include "SpreadsheetImport.h"

#include <algorithm>

namespace mb {

namespace {

// Rows of merged ranges added up: far past what any real sheet merges (the largest
// library's table has about 100,000 cells), and little memory.
constexpr long long kMostMergedRows = 1LL << 20;

} // namespace

ShownSheet::ShownSheet(const Worksheet& sheet) : sheet_(sheet) {
    const Extent own = sheet.extent();
    extent_ = {std::min(own.rows, kLastSheetRow), std::min(own.columns, kLastSheetColumn)};
    const std::vector<CellRange> merges = sheet.mergedRanges();
    long long rows = 0;
    for (const CellRange& m : merges) {
        const int top = std::max(m.top, 1), left = std::max(m.left, 1);
        const int bottom = std::min(m.bottom, kLastSheetRow);
        const int right = std::min(m.right, kLastSheetColumn);
        if (top > bottom || left > right || (top == bottom && left == right)) continue;
        rows += bottom - top + 1;
        if (rows > kMostMergedRows) {
            complete_ = false;
            byRow_.clear();
            extent_ = {std::min(own.rows, kLastSheetRow), std::min(own.columns, kLastSheetColumn)};
            return;
        }
        if (byRow_.size() < static_cast<std::size_t>(bottom))
            byRow_.resize(static_cast<std::size_t>(bottom));
        for (int row = top; row <= bottom; ++row)
            byRow_[static_cast<std::size_t>(row - 1)].push_back({left, right, top, left});
        extent_.rows = std::max(extent_.rows, bottom);
        extent_.columns = std::max(extent_.columns, right);
    }
}

CellValue ShownSheet::cell(int row, int column) const {
    if (row >= 1 && static_cast<std::size_t>(row) <= byRow_.size())
        for (const Covering& c : byRow_[static_cast<std::size_t>(row - 1)])
            if (column >= c.left && column <= c.right) return sheet_.cell(c.top, c.anchorColumn);
    return sheet_.cell(row, column);
}

Worksheet::Extent ShownSheet::extent() const {
    return extent_;
}

} // namespace mb
