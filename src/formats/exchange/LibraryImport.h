#pragma once

#include "Spreadsheet.h"
#include "SpreadsheetImport.h"

#include <string>

namespace mb {

class Library;

/// Where importFile reads a ".csv" file: in this process, or through the workbook reader
/// (which, isolated, reads it in the reader process like any foreign sheet).
enum class CsvReading { InProcess, ByWorkbookReader };

/// Fills `library` from the file at `path`, read by the kind its name ends in (any letter
/// case): ".json" as exportJson writes it, ".csv" in the table or the block layout, and
/// anything else as a workbook opened by `workbooks` (.xls, .xlsx, .ods), in the table or
/// the block layout. A file that cannot be read gives CannotOpen with a reason naming it;
/// the library is then untouched.
ImportResult importFile(const std::string& path, SpreadsheetReader& workbooks, Library& library,
                        CsvReading csv = CsvReading::InProcess);

/// "The file "PATH" could not be read: WHY", WHY in words about reading.
std::string unreadableFileMessage(const std::string& path, const std::string& why);

/// Opens ".csv" files as workbooks of one sheet, every field a text (see parseCsv). A
/// file that is not CSV gives the parser's reason, naming the file and the row.
class CsvSpreadsheetReader : public SpreadsheetReader {
public:
    Result<std::unique_ptr<Workbook>> open(const std::string& path) override;
};

} // namespace mb
