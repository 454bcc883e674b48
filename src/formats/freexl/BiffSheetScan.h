#pragma once

// What FreeXL leaves out of an Excel 97-2003 workbook's first sheet, read from the sheet's
// own records: the merged ranges (FreeXL has no call for them), the numbers behind cells
// it gives as dates (it gives only their text, to the second), and what formulas hold
// (it gives no formula cell at all).

#include "Spreadsheet.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace mb {

struct BiffSheetScan {
    std::vector<CellRange> merged; ///< counted from 1
    /// The number each NUMBER, RK and MULRK cell holds, by biffCellKey.
    std::unordered_map<std::uint32_t, double> numbers;
    /// What each FORMULA cell holds, by biffCellKey: a number, a text (UTF-8; "TRUE",
    /// "FALSE" and "#N/A" for booleans and errors), or Formula where the file keeps no
    /// value for it (the result an empty text, as writers that never calculate leave it).
    std::unordered_map<std::uint32_t, CellValue> formulas;
};

/// The key of the cell at `row` and `column`, both counted from 0 as BIFF counts them.
inline std::uint32_t biffCellKey(std::uint16_t row, std::uint16_t column) {
    return static_cast<std::uint32_t>(row) << 16 | column;
}

/// Reads the first sheet's records of the workbook in the compound file `bytes`. Returns
/// "" or why the records cannot be followed (a damaged container or stream).
std::string scanFirstBiffSheet(const std::string& bytes, BiffSheetScan& scan);

} // namespace mb
