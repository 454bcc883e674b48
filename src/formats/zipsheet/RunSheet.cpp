#include "RunSheet.h"

#include <algorithm>

namespace mb {

namespace {

// The last run starting at or before `place`, when it reaches `place`.
template <typename Run, typename Start>
const Run* RunAt(const std::vector<Run>& runs, long long place, Start start) {
    auto after = std::upper_bound(runs.begin(), runs.end(), place,
                                  [&](long long p, const Run& run) { return p < start(run); });
    if (after == runs.begin()) return nullptr;
    const Run& run = *std::prev(after);
    return place < start(run) + run.count ? &run : nullptr;
}

} // namespace

void RunSheet::addRows(long long row, long long count, std::vector<CellRun> cells) {
    if (row < 1 || row > kLastRow || count < 1) return;
    count = std::min(count, kLastRow - row + 1);
    std::erase_if(cells, [](const CellRun& c) {
        return c.column < 1 || c.column > kLastColumn || c.count < 1 ||
               c.value.kind == CellValue::Kind::Empty ||
               (c.value.kind == CellValue::Kind::Text && c.value.text.empty());
    });
    if (cells.empty()) return;
    long long lastColumn = 0;
    for (CellRun& c : cells) {
        c.count = std::min(c.count, kLastColumn - c.column + 1);
        lastColumn = std::max(lastColumn, c.column + c.count - 1);
    }
    std::stable_sort(cells.begin(), cells.end(),
                     [](const CellRun& a, const CellRun& b) { return a.column < b.column; });
    // Rows come in order in every well-made workbook; a file that gives them backwards is
    // sorted once, by finish(), not row by row.
    inOrder_ = inOrder_ && (rows_.empty() || rows_.back().row <= row);
    rows_.push_back({row, count, std::move(cells)});
    extent_.rows = std::max(extent_.rows, static_cast<int>(row + count - 1));
    extent_.columns = std::max(extent_.columns, static_cast<int>(lastColumn));
}

void RunSheet::addMerge(long long top, long long left, long long bottom, long long right) {
    if (top > bottom) std::swap(top, bottom);
    if (left > right) std::swap(left, right);
    if (top < 1 || left < 1 || top > kLastRow || left > kLastColumn) return;
    if (top == bottom && left == right) return;
    merges_.push_back({static_cast<int>(top), static_cast<int>(left),
                       static_cast<int>(std::min(bottom, kLastRow)),
                       static_cast<int>(std::min(right, kLastColumn))});
}

void RunSheet::finish() {
    if (!inOrder_)
        std::stable_sort(rows_.begin(), rows_.end(),
                         [](const RowRun& a, const RowRun& b) { return a.row < b.row; });
    inOrder_ = true;
}

CellValue RunSheet::cell(int row, int column) const {
    const RowRun* rowRun = RunAt(rows_, row, [](const RowRun& r) { return r.row; });
    if (!rowRun) return CellValue::empty();
    const CellRun* cellRun =
        RunAt(rowRun->cells, column, [](const CellRun& c) { return c.column; });
    return cellRun ? cellRun->value : CellValue::empty();
}

Worksheet::Extent RunSheet::extent() const {
    return extent_;
}

} // namespace mb
