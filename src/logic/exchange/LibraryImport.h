#pragma once

#include "SpreadsheetImport.h"

#include <string>

namespace mb {

class Library;
class SpreadsheetReader;

/// Files larger than this are not read: no library in any format comes near it.
inline constexpr long long kLargestImportFile = 256LL * 1024 * 1024;

/// Fills `library` from the file at `path`, read by the kind its name ends in (any letter
/// case): ".json" as ExportJson writes it, ".csv" in the table or the block layout, and
/// anything else as a workbook opened by `workbooks` in the block layout. A file that
/// cannot be read gives CannotOpen with a reason naming it; the library is then untouched.
ImportResult ImportFile(const std::string& path, SpreadsheetReader& workbooks, Library& library);

} // namespace mb
