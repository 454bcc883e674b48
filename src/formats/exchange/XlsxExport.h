#pragma once

#include "Result.h"
#include "TableLayout.h"

#include <string>

namespace mb {

/// The cells as an xlsx workbook of one sheet, "Materials": texts as strings (UTF-8),
/// numbers as number cells: the file's bytes, or why the workbook could not be made.
Result<std::string> xlsxWorkbook(const CellRows& rows);

} // namespace mb
