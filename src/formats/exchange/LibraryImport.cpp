#include "LibraryImport.h"

#include "CsvExchange.h"
#include "FileOps.h"
#include "JsonExchange.h"
#include "Library.h"
#include "LibraryFile.h"
#include "TableLayout.h"
#include "TextUtil.h"

namespace mb {

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() &&
           equalsNoCase(text.substr(text.size() - ending.size()), ending);
}

ImportResult CannotOpen(const std::string& path, const std::string& why) {
    ImportResult result;
    result.status = ImportResult::Status::CannotOpen;
    result.reason = unreadableFileMessage(path, why);
    return result;
}

/// The whole file, or false with `why` set.
bool ReadWhole(InputFile& in, std::string& bytes, std::string& why) {
    if (!in.ok()) {
        why = in.reason();
        return false;
    }
    // Sized once: a growing string would copy a large file several times over.
    bytes.reserve(static_cast<std::size_t>(in.size()) + 1);
    char buffer[64 * 1024];
    for (;;) {
        const long got = in.read(buffer, sizeof buffer);
        if (got == 0) return true;
        if (got < 0) {
            why = in.reason();
            return false;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

class CsvWorkbook : public Workbook {
public:
    explicit CsvWorkbook(std::unique_ptr<CsvSheet> sheet) : sheet_(std::move(sheet)) {}
    Result<std::unique_ptr<Worksheet>> firstSheet() override {
        return std::unique_ptr<Worksheet>(std::move(sheet_));
    }

private:
    std::unique_ptr<CsvSheet> sheet_;
};

// The block or the table layout from the first sheet of a workbook.
ImportResult ImportWorkbook(const std::string& path, SpreadsheetReader& reader, Library& library) {
    return importFirstSheet(path, reader, [&library](const Worksheet& sheet) {
        return importAnyLayout(sheet, library);
    });
}

} // namespace

std::string unreadableFileMessage(const std::string& path, const std::string& why) {
    return "The file \"" + path + "\" could not be read: " + why;
}

Result<std::unique_ptr<Workbook>> CsvSpreadsheetReader::open(const std::string& path) {
    InputFile in(path);
    std::string bytes, why;
    if (!ReadWhole(in, bytes, why)) return Failure{path, "", unreadableFileMessage(path, why)};
    Result<CsvSheet> sheet = parseCsv(bytes);
    if (!sheet)
        return Failure{path, sheet.failure().place,
                       "The file \"" + path + "\" is not CSV: " + sheet.failure().sentence()};
    return std::unique_ptr<Workbook>(
        std::make_unique<CsvWorkbook>(std::make_unique<CsvSheet>(std::move(sheet.value()))));
}

ImportResult importFile(const std::string& path, SpreadsheetReader& workbooks, Library& library,
                        CsvReading csv) {
    const bool json = EndsWithNoCase(path, ".json");
    const bool inProcess = json || (EndsWithNoCase(path, ".csv") && csv == CsvReading::InProcess);
    // Only a file that ends goes to a reader: a named pipe or a device would keep it reading
    // (or waiting) for ever. A workbook is refused here before a reader process is started
    // for it, and again by that process, which opens the file itself.
    InputFile in(path);
    if (!in.ok()) return CannotOpen(path, in.reason());
    if (!inProcess) return ImportWorkbook(path, workbooks, library);
    std::string bytes, why;
    if (!ReadWhole(in, bytes, why)) return CannotOpen(path, why);
    ImportResult result;
    if (json) {
        result = importJson(bytes, library);
    } else if (const Result<CsvSheet> sheet = parseCsv(bytes); !sheet) {
        library.clear();
        result.stop(ImportResult::Status::Refused, 0, sheet.failure().place, sheet.failure().what,
                    library);
    } else {
        result = importAnyLayout(sheet.value(), library);
    }
    result.file = path;
    return result;
}

} // namespace mb
