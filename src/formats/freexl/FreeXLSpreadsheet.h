#pragma once

#include "Spreadsheet.h"

namespace mb {

/// Reads Excel 97-2003 workbooks (".xls", BIFF) with FreeXL, and what FreeXL leaves out
/// (merged ranges, the numbers of dates, formulas) from the first sheet's records. Texts
/// are UTF-8, as FreeXL gives them.
class FreeXLSpreadsheetReader : public SpreadsheetReader {
public:
    Result<std::unique_ptr<Workbook>> open(const std::string& path) override;
};

} // namespace mb
