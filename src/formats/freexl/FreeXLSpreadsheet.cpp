#include "FreeXLSpreadsheet.h"

#include "BiffSheetScan.h"

#include <freexl.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>

namespace mb {

namespace {

// One handle per workbook; FreeXL wants it closed even when opening failed.
class Handle {
public:
    Handle() = default;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (handle_) freexl_close(handle_);
    }
    const void** out() { return &handle_; }
    const void* get() const { return handle_; }

private:
    const void* handle_ = nullptr;
};

class FreeXLWorksheet : public Worksheet {
public:
    FreeXLWorksheet(std::shared_ptr<Handle> handle, unsigned rows, unsigned short columns,
                    BiffSheetScan scan)
        : handle_(std::move(handle)), rows_(rows), columns_(columns), scan_(std::move(scan)) {}

    CellValue cell(int row, int column) const override {
        if (row < 1 || column < 1) return CellValue::empty();
        const auto r = static_cast<unsigned>(row - 1);
        const auto c = static_cast<unsigned short>(column - 1);
        if (r >= rows_ || c >= columns_) return CellValue::empty();
        const std::uint32_t key = biffCellKey(static_cast<std::uint16_t>(r), c);
        FreeXL_CellValue value;
        if (freexl_get_cell_value(handle_->get(), r, c, &value) != FREEXL_OK)
            return CellValue::empty();
        switch (value.type) {
        case FREEXL_CELL_INT:
            return CellValue::ofNumber(value.value.int_value);
        case FREEXL_CELL_DOUBLE:
            return CellValue::ofNumber(value.value.double_value);
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
            return value.value.text_value ? CellValue::ofText(value.value.text_value)
                                          : CellValue::empty();
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME: {
            // FreeXL gives a date as its text only; the number is the one the cell holds.
            if (!value.value.text_value) return CellValue::empty();
            const auto number = scan_.numbers.find(key);
            return number == scan_.numbers.end()
                       ? CellValue::ofText(value.value.text_value)
                       : CellValue::ofDate(number->second, value.value.text_value);
        }
        default: {
            // FreeXL passes formula cells over; their records say what they hold.
            const auto formula = scan_.formulas.find(key);
            return formula == scan_.formulas.end() ? CellValue::empty() : formula->second;
        }
        }
    }

    Extent extent() const override {
        return {static_cast<int>(std::min<unsigned>(rows_, INT_MAX)), columns_};
    }

    std::vector<CellRange> mergedRanges() const override { return scan_.merged; }

private:
    std::shared_ptr<Handle> handle_;
    unsigned rows_;
    unsigned short columns_;
    BiffSheetScan scan_;
};

class FreeXLWorkbook : public Workbook {
public:
    FreeXLWorkbook(std::shared_ptr<Handle> handle, std::string path)
        : handle_(std::move(handle)), path_(std::move(path)) {}

    Result<std::unique_ptr<Worksheet>> firstSheet() override {
        unsigned sheets = 0;
        if (freexl_get_info(handle_->get(), FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK ||
            sheets == 0 || freexl_select_active_worksheet(handle_->get(), 0) != FREEXL_OK) {
            return Failure{path_, "", "The file \"" + path_ + "\" holds no worksheet."};
        }
        unsigned rows = 0;
        unsigned short columns = 0;
        if (freexl_worksheet_dimensions(handle_->get(), &rows, &columns) != FREEXL_OK) {
            return Failure{path_, "", "The first worksheet of \"" + path_ + "\" cannot be read."};
        }
        std::string bytes;
        std::ifstream in(path_, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        BiffSheetScan scan;
        if (const std::string why =
                in.bad() ? "it cannot be read again" : scanFirstBiffSheet(bytes, scan);
            !why.empty()) {
            return Failure{path_, "",
                           "The first worksheet of \"" + path_ + "\" cannot be read: " + why + "."};
        }
        return std::make_unique<FreeXLWorksheet>(handle_, rows, columns, std::move(scan));
    }

private:
    std::shared_ptr<Handle> handle_;
    std::string path_;
};

// FreeXL reports a file of the wrong kind as a read error; the compound-file signature
// that every Excel 97-2003 workbook starts with tells the user's mistake apart from damage.
bool HasCompoundFileSignature(const std::string& path) {
    static constexpr std::array<unsigned char, 8> kSignature{0xD0, 0xCF, 0x11, 0xE0,
                                                             0xA1, 0xB1, 0x1A, 0xE1};
    std::ifstream in(path, std::ios::binary);
    std::array<char, 8> head{};
    if (!in.read(head.data(), head.size())) return false;
    for (std::size_t i = 0; i < head.size(); ++i)
        if (static_cast<unsigned char>(head[i]) != kSignature[i]) return false;
    return true;
}

// FreeXL answers "OK" without a handle both for an encrypted workbook and for a workbook
// stream it cannot make sense of. An encrypted one has a FILEPASS record (0x002F) right
// after the BOF record (0x0809) that opens its globals (substream type 0x0005); looking
// for that pair in the raw file tells the two apart without taking the container apart,
// since both records sit at the start of the stream's first sector.
bool HasPasswordRecord(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const auto u16 = [](const std::string& b, std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(b[at])) |
               static_cast<unsigned>(static_cast<unsigned char>(b[at + 1])) << 8;
    };
    constexpr std::size_t kChunk = 1 << 16;
    constexpr std::size_t kLongestBof = 20; // BIFF8's is 16 bytes, BIFF5's 8
    constexpr std::size_t kWindow = 4 + kLongestBof + 2;
    std::string buffer;
    std::array<char, kChunk> chunk;
    while (in.read(chunk.data(), chunk.size()) || in.gcount() > 0) {
        buffer.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
        std::size_t at = 0;
        for (; at + kWindow <= buffer.size(); ++at) {
            if (u16(buffer, at) != 0x0809) continue;
            const std::size_t length = u16(buffer, at + 2);
            if (length < 8 || length > kLongestBof || u16(buffer, at + 6) != 0x0005) continue;
            if (u16(buffer, at + 4 + length) == 0x002F) return true;
        }
        buffer.erase(0, at); // keep the tail a record could still start in
    }
    return false;
}

std::string OpenFailure(const std::string& path, int code) {
    const std::string file = "The file \"" + path + "\" ";
    switch (code) {
    case FREEXL_FILE_NOT_FOUND:
        return file + "does not exist or cannot be read.";
    case FREEXL_INSUFFICIENT_MEMORY:
        return file + "is too large to be read.";
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_INVALID_SIGNATURE:
        return file + "is not an Excel 97-2003 workbook.";
    default:
        return file + "is damaged and cannot be read.";
    }
}

} // namespace

Result<std::unique_ptr<Workbook>> FreeXLSpreadsheetReader::open(const std::string& path) {
    auto handle = std::make_shared<Handle>();
    const int code = freexl_open(path.c_str(), handle->out());
    if (code == FREEXL_CFBF_READ_ERROR && !HasCompoundFileSignature(path)) {
        return Failure{path, "", "The file \"" + path + "\" is not an Excel 97-2003 workbook."};
    }
    if (code != FREEXL_OK) {
        return Failure{path, "", OpenFailure(path, code)};
    }
    if (!handle->get()) {
        return Failure{path, "",
                       "The file \"" + path + "\" " +
                           (HasPasswordRecord(path) ? "is protected by a password."
                                                    : "is damaged and cannot be read.")};
    }
    unsigned password = FREEXL_UNKNOWN;
    if (freexl_get_info(handle->get(), FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK &&
        password == FREEXL_BIFF_OBFUSCATED) {
        return Failure{path, "", "The file \"" + path + "\" is protected by a password."};
    }
    return std::make_unique<FreeXLWorkbook>(std::move(handle), path);
}

} // namespace mb
