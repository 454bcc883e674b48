#include "ZipSpreadsheetReader.h"

#include "OdsSheet.h"
#include "RunSheet.h"
#include "XlsxSheet.h"
#include "ZipParts.h"

#include <fstream>
#include <new>

namespace mb {

namespace {

constexpr std::string_view kOdsMimetype = "application/vnd.oasis.opendocument.spreadsheet";

class ReadWorkbook : public Workbook {
public:
    explicit ReadWorkbook(std::unique_ptr<RunSheet> sheet) : sheet_(std::move(sheet)) {}
    Result<std::unique_ptr<Worksheet>> firstSheet() override {
        return std::unique_ptr<Worksheet>(std::move(sheet_));
    }

private:
    std::unique_ptr<RunSheet> sheet_;
};

std::string Trimmed(std::string text) {
    const auto blank = [](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; };
    while (!text.empty() && blank(text.back()))
        text.pop_back();
    std::size_t start = 0;
    while (start < text.size() && blank(text[start]))
        ++start;
    return text.substr(start);
}

// Which kind the archive holds, and its first sheet read; false with `why`.
bool ReadFirstSheet(ZipParts& parts, RunSheet& sheet, std::string& why) {
    if (parts.has("xl/workbook.xml")) return readXlsxSheet(parts, sheet, why);
    if (!parts.has("mimetype")) {
        why = "the workbook has no part xl/workbook.xml";
        return false;
    }
    std::string mimetype;
    if (!readPart(parts, "mimetype", mimetype, why)) return false;
    mimetype = Trimmed(mimetype);
    if (mimetype != kOdsMimetype) {
        if (mimetype.size() > 80) mimetype = mimetype.substr(0, 80) + "...";
        for (char& c : mimetype)
            if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F)
                c = '?';
        why = "its part mimetype says \"" + mimetype + "\", which is no spreadsheet";
        return false;
    }
    return readOdsSheet(parts, sheet, why);
}

Result<std::unique_ptr<Workbook>> read(ZipParts& parts, ZipParts::Opened opened, bool zipStart,
                                       const std::string& name) {
    const std::string file = "The file \"" + name + "\" ";
    if (opened == ZipParts::Opened::NotAZip && !zipStart) {
        return Failure{name, "", file + "is not an xlsx or ods workbook (it is no zip archive)."};
    }
    if (opened != ZipParts::Opened::Ok) {
        return Failure{name, "",
                       file + "is damaged and cannot be read (its zip archive is incomplete)."};
    }
    auto sheet = std::make_unique<RunSheet>();
    std::string why;
    if (!ReadFirstSheet(parts, *sheet, why)) {
        return Failure{name, "", file + "cannot be read: " + why + "."};
    }
    sheet->finish();
    return std::unique_ptr<Workbook>(std::make_unique<ReadWorkbook>(std::move(sheet)));
}

constexpr std::string_view kZipStart = "PK\x03\x04";

Result<std::unique_ptr<Workbook>> OpenFile(const std::string& path) {
    std::ifstream probe(path, std::ios::binary);
    if (!probe) {
        return Failure{path, "", "The file \"" + path + "\" does not exist or cannot be read."};
    }
    ZipParts parts;
    const ZipParts::Opened opened = parts.open(path);
    char head[4] = {};
    const bool zipStart = probe.read(head, sizeof head) && std::string_view(head, 4) == kZipStart;
    return read(parts, opened, zipStart, path);
}

Result<std::unique_ptr<Workbook>> OpenBytes(std::string_view bytes, const std::string& name) {
    ZipParts parts;
    const ZipParts::Opened opened = parts.open(bytes);
    return read(parts, opened, bytes.starts_with(kZipStart), name);
}

// matlib loads this library at run time and has a C++ runtime of its own: an exception
// must not cross into it, since its unwinder cannot carry on with one thrown here. Short
// of memory (the reader process has a limit), the workbook is too large.
template <typename Open>
Result<std::unique_ptr<Workbook>> Guarded(const std::string& name, Open open) {
    try {
        return open();
    } catch (const std::bad_alloc&) {
        return Failure{name, "", "The file \"" + name + "\" is too large to be read."};
    } catch (...) {
        return Failure{name, "", "The file \"" + name + "\" is damaged and cannot be read."};
    }
}

} // namespace

Result<std::unique_ptr<Workbook>> ZipSpreadsheetReader::open(const std::string& path) {
    return Guarded(path, [&] { return OpenFile(path); });
}

Result<std::unique_ptr<Workbook>> ZipSpreadsheetReader::open(std::string_view bytes,
                                                             const std::string& name) {
    return Guarded(name, [&] { return OpenBytes(bytes, name); });
}

} // namespace mb

extern "C" mb::SpreadsheetReader* mbZipSpreadsheetReader() {
    return new mb::ZipSpreadsheetReader;
}
