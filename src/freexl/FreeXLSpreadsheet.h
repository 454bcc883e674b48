#pragma once

#include "Spreadsheet.h"

namespace mb {

/// Reads Excel 97-2003 workbooks (".xls", BIFF) with FreeXL. Cell texts arrive as
/// UTF-8 and are handed on as Latin-1; a character outside Latin-1 becomes '?'.
class FreeXLSpreadsheetReader : public SpreadsheetReader {
public:
    std::unique_ptr<Workbook> open(const std::string& path, std::string& reason) override;
};

} // namespace mb
