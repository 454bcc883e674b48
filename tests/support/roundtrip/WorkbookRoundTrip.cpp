#include "WorkbookRoundTrip.h"

#include "Library.h"
#include "LibraryRoundTrip.h"
#include "TableLayout.h"
#include "ZipSpreadsheetReader.h"

#include <zlib.h>

#include <cstdint>
#include <optional>

namespace mb::fuzz {

namespace {

void Put16(std::string& out, unsigned value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

constexpr std::string_view kWorkbook =
    R"(<?xml version="1.0" encoding="UTF-8"?>)"
    R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
    R"(<sheets><sheet name="Materials" sheetId="1" r:id="rId1"/></sheets></workbook>)";
constexpr std::string_view kWorkbookRels =
    R"(<?xml version="1.0" encoding="UTF-8"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
    R"(</Relationships>)";

} // namespace

std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& parts) {
    std::string out, directory;
    for (const auto& [name, bytes] : parts) {
        const auto crc = static_cast<std::uint32_t>(crc32(
            0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
        const auto offset = static_cast<std::uint32_t>(out.size());
        const auto size = static_cast<std::uint32_t>(bytes.size());
        Put32(out, 0x04034b50);
        Put16(out, 10); // version needed
        Put16(out, 0);  // flags
        Put16(out, 0);  // stored
        Put32(out, 0);  // time and date
        Put32(out, crc);
        Put32(out, size);
        Put32(out, size);
        Put16(out, static_cast<unsigned>(name.size()));
        Put16(out, 0);
        out += name;
        out += bytes;

        Put32(directory, 0x02014b50);
        Put16(directory, 20);
        Put16(directory, 10);
        Put16(directory, 0);
        Put16(directory, 0);
        Put32(directory, 0);
        Put32(directory, crc);
        Put32(directory, size);
        Put32(directory, size);
        Put16(directory, static_cast<unsigned>(name.size()));
        Put16(directory, 0); // extra
        Put16(directory, 0); // comment
        Put16(directory, 0); // disk
        Put16(directory, 0); // internal attributes
        Put32(directory, 0); // external attributes
        Put32(directory, offset);
        directory += name;
    }
    const auto directoryOffset = static_cast<std::uint32_t>(out.size());
    out += directory;
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<unsigned>(parts.size()));
    Put16(out, static_cast<unsigned>(parts.size()));
    Put32(out, static_cast<std::uint32_t>(directory.size()));
    Put32(out, directoryOffset);
    Put16(out, 0);
    return out;
}

std::string WorkbookBytes(std::string_view input, WorkbookFormat format) {
    if (input.starts_with("PK\x03\x04")) return std::string(input);
    if (format == WorkbookFormat::Ods)
        return StoredZip({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                          {"content.xml", std::string(input)}});
    std::vector<std::pair<std::string, std::string>> parts{
        {"xl/workbook.xml", std::string(kWorkbook)},
        {"xl/_rels/workbook.xml.rels", std::string(kWorkbookRels)}};
    if (const std::size_t nul = input.find('\0'); nul != std::string_view::npos) {
        parts.emplace_back("xl/sharedStrings.xml", std::string(input.substr(0, nul)));
        input.remove_prefix(nul + 1);
    }
    parts.emplace_back("xl/worksheets/sheet1.xml", std::string(input));
    return StoredZip(parts);
}

std::string RoundTripWorkbook(std::string_view input, WorkbookFormat format) {
    static Library imported, readBack;
    const std::string name = format == WorkbookFormat::Xlsx ? "fuzz.xlsx" : "fuzz.ods";
    const std::string bytes = WorkbookBytes(input, format);
    ZipSpreadsheetReader reader;
    Result<std::unique_ptr<Workbook>> book = reader.open(bytes, name);
    std::optional<Result<std::unique_ptr<Worksheet>>> read;
    if (book) read.emplace(book.value()->firstSheet());
    const Failure* refused = !book ? &book.failure() : !*read ? &read->failure() : nullptr;
    if (refused) {
        if (refused->what.find("\"" + name + "\"") == std::string::npos)
            return "a refusal that does not name the file: " + refused->what;
        return {};
    }
    const ImportResult r = importAnyLayout(*read->value(), imported);
    if (!r.imported()) {
        const std::string stop = r.stopReason();
        if (!stop.starts_with("The import stopped at row ") &&
            !stop.starts_with("The import stopped at cell "))
            return "a refusal that names no place: " + stop;
    }
    for (const std::string& note : r.notes)
        if (!note.starts_with("Row ") && !note.starts_with("Cell "))
            return "a note that names no place: " + note;
    for (const char* separator : {".", ","})
        if (std::string lost = CheckSavedLibrary(imported, separator, readBack); !lost.empty())
            return std::string("the import does not save whole with \"") + separator +
                   "\": " + lost;
    return {};
}

} // namespace mb::fuzz
