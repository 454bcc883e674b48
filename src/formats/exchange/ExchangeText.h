#pragma once

// Cells, codes and numbers as every importer and exporter of this folder takes them:
// what a foreign file holds is made fit for a library here, once, with the same notes.

#include "Spreadsheet.h"
#include "TextFitter.h"
#include "Utf8Text.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mb {

/// The number a text holds when the project's number reader reads all of it (blanks
/// around it allowed, "." as decimal point), and only a finite one: a file can hold no
/// infinity.
std::optional<double> wholeNumber(std::string_view text);

/// Slot of the property `code` names, in any letter case ("C" for "C (Cp)", blanks
/// around it allowed), or -1 for a text that names none.
int codeSlot(std::string_view code);

/// What a cell holds as text (UTF-8): a number as shortestNumber writes it (a name typed
/// as 42 stays "42"), a date or time as the sheet shows it, nothing and a formula without
/// a value as "".
std::string cellText(const CellValue& cell);

/// A cell's text quoted for a message: library text, cut as Excerpt cuts it.
std::string quotedCell(const CellValue& cell);
/// "A1"-style name of a cell, both counted from 1.
std::string cellName(int row, int column);

} // namespace mb
