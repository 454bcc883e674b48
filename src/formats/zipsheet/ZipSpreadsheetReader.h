#pragma once

#include "Spreadsheet.h"

#include <string_view>

namespace mb {

/// Reads the first sheet of Office Open XML (".xlsx") and OpenDocument (".ods")
/// workbooks, told apart by what the zip archive holds (xl/workbook.xml, or a mimetype
/// part naming an OpenDocument spreadsheet), whatever the file's name. Texts are handed on
/// as Latin-1, a character beyond it as '?', as the FreeXL reader does. A hostile archive
/// is refused with a reason: past 64 MiB unpacked, XML with a document type declaration
/// or an entity reference, a missing part, malformed XML (naming the part and line).
class ZipSpreadsheetReader : public SpreadsheetReader {
public:
    Result<std::unique_ptr<Workbook>> open(const std::string& path) override;

    /// The same for a workbook's bytes; `name` stands for the file in reasons.
    Result<std::unique_ptr<Workbook>> open(std::string_view bytes, const std::string& name);
};

} // namespace mb

/// The entry matlib looks up when it loads this library at run time: a new reader, owned by
/// the caller.
extern "C" mb::SpreadsheetReader* mbZipSpreadsheetReader();
