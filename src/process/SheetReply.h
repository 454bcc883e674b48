#pragma once

// What the reader process prints for one workbook, and the parent's reading of it.
//
//   MBSHEET 1
//   N <row> <column> <the double's 64 bits in hex>
//   T <row> <column> <byte count>
//   <the text's bytes>
//   F open|sheet <byte count>
//   <the reason's bytes>
//   E <number of N and T records>
//
// Cells come in row and column order, empty cells are left out, and only columns A and B
// are sent: the import reads nothing else. Numbers travel as their bits and texts as
// counted bytes, so both arrive exactly as the reader saw them. Nothing may follow "E".

#include "Spreadsheet.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace mb {

/// Rows are counted in 16 bits by the import: nothing past this row is ever read.
inline constexpr int kSheetReplyLastRow = 32767;

/// Opens the workbook at `path` with `reader` and gives the reply for it: columns A and B
/// of the first sheet, row by row up to the row whose column A is "End" (compared without
/// regard to case), or up to row 32767; or the reader's reason for failing.
std::string CaptureSheetReply(SpreadsheetReader& reader, const std::string& path);

/// Columns A and B of a sheet, held in memory. Cells elsewhere are empty.
class CapturedSheet : public Worksheet {
public:
    CellValue cell(int row, int column) const override;
    /// Row `row` (from 1) gets `value` in column 1 or 2.
    void set(int row, int column, CellValue value);

private:
    std::vector<std::array<CellValue, 2>> rows_;
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
SheetReply ParseSheetReply(std::string_view bytes);

} // namespace mb
