#pragma once

#include "Spreadsheet.h"

#include <vector>

namespace mb {

/// A sheet as a spreadsheet shows it: every cell of a merged range holds what its top
/// left cell holds, so a Category cell merged down a group of rows names the category
/// of each of them. Only rows up to kLastSheetRow and columns up to kLastSheetColumn are
/// looked at.
class ShownSheet : public Worksheet {
public:
    /// `sheet` must outlive this.
    explicit ShownSheet(const Worksheet& sheet);

    CellValue cell(int row, int column) const override;
    /// The sheet's extent, grown to the merged ranges that reach past it, and bounded by
    /// kLastSheetRow and kLastSheetColumn.
    Extent extent() const override;
    std::vector<CellRange> mergedRanges() const override { return {}; }

    /// False when the merged ranges span more rows, added up, than can be followed
    /// (only a damaged or hostile file does so); the sheet then shows them unmerged.
    bool followsEveryMerge() const { return complete_; }

private:
    struct Covering {
        int left, right, top, anchorColumn;
    };
    const Worksheet& sheet_;
    Extent extent_;
    std::vector<std::vector<Covering>> byRow_; // index row - 1; empty without merges
    bool complete_ = true;
};

} // namespace mb
