#pragma once

// The table layout of the csv and xlsx exports: a first row "Category", "Name",
// "Name code", "Description" and one column per property code, a second row with the
// unit of each column in the chosen system, then one row per material.

#include "ExportSelection.h"
#include "Spreadsheet.h"
#include "SpreadsheetImport.h"

#include <vector>

namespace mb {

class Library;

using CellRows = std::vector<std::vector<CellValue>>;

/// The table of `selection` with its values in the unit system `unitSystem` (an index of
/// UnitSystemIndex): texts as texts, values as numbers, no value as an empty cell.
CellRows exportTable(const std::vector<ExportedCategory>& selection, int unitSystem);

/// True when the sheet's first row starts "Category", "Name", "Name code", "Description"
/// (letter case and surrounding blanks aside).
bool isTableLayout(const Worksheet& sheet);

/// Fills `library` (emptied first) from a sheet in the table layout, as the sheet shows it
/// (merged cells count for each cell they span). The unit row decides the system the
/// values are in (a column whose unit no system has is refused); rows with nothing in the
/// table are passed over, and the table ends with the sheet. A code heading (any letter
/// case) that the catalogue does not know or that occurs twice, a value that is not a
/// number and a material past the library's limit stop reading, naming the cell or row;
/// the materials of the rows before remain. An empty value cell leaves its property
/// unset; a column without a heading, and a formula without a value, are noted.
ImportResult importTable(const Worksheet& sheet, Library& library);

/// importTable for a sheet in the table layout, else the block layout's importWorksheet.
ImportResult importAnyLayout(const Worksheet& sheet, Library& library);

} // namespace mb
