#pragma once

#include "Spreadsheet.h"

#include <memory>
#include <string>

namespace mb {

/// The xlsx and ods reader, loaded from its shared library on first use: only a read of
/// such a workbook pays for loading it and Qt Core. A reader that refuses every workbook
/// with the reason when the library cannot be loaded.
std::unique_ptr<SpreadsheetReader> loadZipSpreadsheetReader();

} // namespace mb
