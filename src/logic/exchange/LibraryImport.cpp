#include "LibraryImport.h"

#include "CsvExchange.h"
#include "FileOps.h"
#include "JsonExchange.h"
#include "Library.h"
#include "LibraryFile.h"
#include "TextUtil.h"

#include <cerrno>
#include <filesystem>

namespace mb {

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() &&
           EqualsNoCase(text.substr(text.size() - ending.size()), ending);
}

ImportResult CannotOpen(const std::string& path, const std::string& why) {
    ImportResult result;
    result.status = ImportResult::Status::CannotOpen;
    result.reason = "The file \"" + path + "\" could not be read: " + why;
    return result;
}

/// The whole file, or "" with `why` set.
bool ReadWhole(const std::string& path, std::string& bytes, std::string& why) {
    InputFile in(path);
    if (!in.ok()) {
        why = ReadErrorMessage(in.error());
        return false;
    }
    // Sized once: a growing string would copy a large file several times over.
    std::error_code ignored;
    const std::uintmax_t size = std::filesystem::file_size(path, ignored);
    if (!ignored && size <= static_cast<std::uintmax_t>(kLargestImportFile))
        bytes.reserve(static_cast<std::size_t>(size) + 1);
    char buffer[64 * 1024];
    for (;;) {
        const long got = in.read(buffer, sizeof buffer);
        if (got == 0) return true;
        if (got < 0) {
            why = ReadErrorMessage(errno);
            return false;
        }
        if (static_cast<long long>(bytes.size()) + got > kLargestImportFile) {
            why =
                "it is larger than " + std::to_string(kLargestImportFile / (1024 * 1024)) + " MiB.";
            return false;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

} // namespace

ImportResult ImportFile(const std::string& path, SpreadsheetReader& workbooks, Library& library) {
    const bool json = EndsWithNoCase(path, ".json");
    if (!json && !EndsWithNoCase(path, ".csv")) return ImportSpreadsheet(path, workbooks, library);
    std::string bytes, why;
    if (!ReadWhole(path, bytes, why)) return CannotOpen(path, why);
    if (json) return ImportJson(bytes, library);
    CsvSheet sheet;
    if (const std::string error = ParseCsv(bytes, sheet); !error.empty()) {
        library.Clear();
        ImportResult result;
        result.status = ImportResult::Status::Refused;
        result.reason = error;
        return result;
    }
    return ImportAnyLayout(sheet, library);
}

} // namespace mb
