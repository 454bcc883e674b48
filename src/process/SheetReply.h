#pragma once

// What the reader process prints for one workbook, and the parent's reading of it.
//
//   MBSHEET 3
//   N <row> <column> <the double's 64 bits in hex>
//   D <row> <column> <the double's 64 bits in hex> <byte count>
//   <how the sheet shows the date or time>
//   T <row> <column> <byte count>
//   <the text's bytes>
//   U <row> <column> <byte count>
//   <the bytes of a formula whose value the file does not keep>
//   M <top> <left> <bottom> <right>
//   F open|sheet <byte count>
//   <the reason's bytes>
//   E <number of N, D, T and U records>
//
// Cells come in row and column order and empty cells are left out; the merged ranges
// follow them. Every row up to kSheetReplyLastRow and every column up to
// kSheetReplyLastColumn is sent: the block layout reads columns A and B, the table layout
// one column per property, and neither ends at a blank row. Numbers travel as their bits
// and texts (UTF-8) as counted bytes, so both arrive exactly as the reader saw them.
// Nothing may follow "E".

#include "Spreadsheet.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mb {

/// Rows are counted in 16 bits by the import: nothing past this row is ever read.
inline constexpr int kSheetReplyLastRow = 32767;
/// The table layout has four text columns and one per property code (93): a sheet's
/// columns past the old spreadsheets' 256 are never part of it.
inline constexpr int kSheetReplyLastColumn = 256;
/// A reply never carries more cells: the largest library as a table is about 100,000, and
/// the parent holds every cell it is sent.
inline constexpr long long kSheetReplyMostCells = 1LL << 20;

/// Nor more bytes: a sheet may hold one text once and use it in every cell (a 1 MiB cell
/// repeated over 256 columns and 32,000 rows, in a 1.9 KB file), and every use is sent.
inline constexpr long long kSheetReplyMostBytes = 64LL << 20;

/// Opens the workbook at `path` with `reader` and gives the reply for it: the non-empty
/// cells of the first sheet in rows up to 32767 and columns up to 256, row by row, and its
/// merged ranges; or the reader's reason for failing, also when the sheet has more than
/// kSheetReplyMostCells cells or merged ranges, or its reply would pass kSheetReplyMostBytes.
std::string captureSheetReply(SpreadsheetReader& reader, const std::string& path);

/// The cells of a sheet, held in memory as sent: cells not sent are empty.
class CapturedSheet : public Worksheet {
public:
    CellValue cell(int row, int column) const override;
    Extent extent() const override;
    /// The cell at `row`, `column` (from 1, up to the reply's bounds) gets `value`.
    void set(int row, int column, CellValue value);
    std::vector<CellRange> mergedRanges() const override { return merges_; }
    void addMerge(CellRange range) { merges_.push_back(range); }

private:
    // Row by row, each row's cells sorted by column: only what was sent takes memory.
    std::vector<std::vector<std::pair<int, CellValue>>> rows_;
    int columns_ = 0;
    std::vector<CellRange> merges_;
};

struct SheetReply {
    enum class Outcome {
        Sheet,       ///< `sheet` holds the cells
        OpenFailed,  ///< the workbook could not be opened: `reason`
        SheetFailed, ///< it has no first sheet that can be read: `reason`
        Malformed,   ///< the bytes are not a complete reply: `reason` says where it broke
    };
    Outcome outcome = Outcome::Malformed;
    std::string reason;
    CapturedSheet sheet;
};

/// Reads a reply. Any bytes at all are safe to pass: what is not a complete, well-formed
/// reply comes back as Malformed.
SheetReply parseSheetReply(std::string_view bytes);

} // namespace mb
