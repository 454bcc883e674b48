#pragma once

#include "TableLayout.h"

#include <string>

namespace mb {

/// The cells as an xlsx workbook of one sheet, "Materials": texts as strings (UTF-8),
/// numbers as number cells. Returns the file's bytes, or "" with `error` set to why the
/// workbook could not be made.
std::string XlsxWorkbook(const CellRows& rows, std::string& error);

} // namespace mb
