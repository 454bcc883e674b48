#include "BiffSheetScan.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace mb {

namespace {

constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::size_t kHeaderFatEntries = 109;

std::uint16_t U16(const std::string& b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      static_cast<unsigned char>(b[at + 1]) << 8);
}

std::uint32_t U32(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(U16(b, at)) | static_cast<std::uint32_t>(U16(b, at + 2))
                                                        << 16;
}

double F64(const std::string& b, std::size_t at) {
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return std::bit_cast<double>(bits);
}

// An RK value: a 30-bit integer or the high bits of a double, maybe divided by 100.
double RkNumber(std::uint32_t rk) {
    double value = (rk & 2) ? static_cast<double>(static_cast<std::int32_t>(rk) >> 2)
                            : std::bit_cast<double>(static_cast<std::uint64_t>(rk & ~3u) << 32);
    return (rk & 1) ? value / 100 : value;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The streams of a compound file, read through its sector tables; every step is checked
// against the file's size, and a chain is never followed further than the file has sectors.
class CompoundFile {
public:
    explicit CompoundFile(const std::string& bytes) : bytes_(bytes) {}

    std::string open() {
        if (bytes_.size() < 512 || U32(bytes_, 0) != 0xE011CFD0 || U32(bytes_, 4) != 0xE11AB1A1)
            return "it is not a compound file";
        const std::uint16_t shift = U16(bytes_, 0x1E);
        const std::uint16_t miniShift = U16(bytes_, 0x20);
        if ((shift != 9 && shift != 12) || miniShift != 6) return "its sector sizes are damaged";
        sector_ = std::size_t{1} << shift;
        sectors_ = (bytes_.size() + sector_ - 1) / sector_; // past the header, at most
        miniCutoff_ = U32(bytes_, 0x38);
        // The sector table's own sectors: 109 listed in the header, the rest in a chain.
        std::vector<std::uint32_t> fatSectors;
        for (std::size_t i = 0; i < kHeaderFatEntries; ++i)
            fatSectors.push_back(U32(bytes_, 0x4C + 4 * i));
        std::uint32_t next = U32(bytes_, 0x44);
        for (std::size_t hops = 0; next != kEndOfChain && next != kFreeSector; ++hops) {
            if (hops > sectors_ || !inFile(next)) return "its sector table is damaged";
            const std::size_t at = offset(next);
            for (std::size_t i = 0; i + 1 < sector_ / 4; ++i)
                fatSectors.push_back(U32(bytes_, at + 4 * i));
            next = U32(bytes_, at + sector_ - 4);
        }
        const std::uint32_t fatCount = U32(bytes_, 0x2C);
        if (fatCount > fatSectors.size()) return "its sector table is damaged";
        for (std::uint32_t i = 0; i < fatCount; ++i) {
            if (!inFile(fatSectors[i])) return "its sector table is damaged";
            const std::size_t at = offset(fatSectors[i]);
            for (std::size_t k = 0; k < sector_ / 4; ++k)
                fat_.push_back(U32(bytes_, at + 4 * k));
        }
        if (!chain(fat_, U32(bytes_, 0x30), directory_)) return "its directory is damaged";
        if (!chain(fat_, U32(bytes_, 0x3C), miniFatBytes_))
            return "its mini sector table is damaged";
        return {};
    }

    /// The stream named `name` (ASCII, any letter case) in any storage.
    bool stream(std::string_view name, std::string& out) {
        for (std::size_t at = 0; at + 128 <= directory_.size(); at += 128) {
            const std::size_t length = U16(directory_, at + 0x40);
            const auto type = static_cast<unsigned char>(directory_[at + 0x42]);
            if (type == 5 && at == 0) {
                rootStart_ = U32(directory_, at + 0x74);
                rootSize_ = U32(directory_, at + 0x78);
            }
            if (type != 2 || length != 2 * (name.size() + 1)) continue;
            bool same = true;
            for (std::size_t i = 0; i < name.size() && same; ++i) {
                const std::uint16_t c = U16(directory_, at + 2 * i);
                same = c < 0x80 && (c | 0x20) == (static_cast<unsigned char>(name[i]) | 0x20);
            }
            if (!same) continue;
            const std::uint32_t start = U32(directory_, at + 0x74);
            const std::uint64_t size = U32(directory_, at + 0x78);
            if (size < miniCutoff_) {
                if (!miniStream(start, size, out)) return false;
            } else if (!chain(fat_, start, out) || out.size() < size) {
                return false;
            }
            out.resize(static_cast<std::size_t>(size));
            return true;
        }
        return false;
    }

private:
    bool inFile(std::uint32_t sector) const {
        return sector < sectors_ && offset(sector) + sector_ <= bytes_.size();
    }
    std::size_t offset(std::uint32_t sector) const { return (sector + std::size_t{1}) * sector_; }

    bool chain(const std::vector<std::uint32_t>& table, std::uint32_t start,
               std::string& out) const {
        for (std::size_t hops = 0; start != kEndOfChain; ++hops) {
            if (hops > sectors_ || start >= table.size() || !inFile(start)) return false;
            out.append(bytes_, offset(start), sector_);
            start = table[start];
        }
        return true;
    }

    bool miniStream(std::uint32_t start, std::uint64_t size, std::string& out) {
        if (ministream_.empty() && rootSize_ > 0 && !chain(fat_, rootStart_, ministream_))
            return false;
        const std::size_t entries = miniFatBytes_.size() / 4;
        for (std::size_t hops = 0; start != kEndOfChain && out.size() < size; ++hops) {
            const std::size_t at = std::size_t{start} * 64;
            if (hops > entries || start >= entries || at + 64 > ministream_.size()) return false;
            out.append(ministream_, at, 64);
            start = U32(miniFatBytes_, 4 * std::size_t{start});
        }
        return out.size() >= size;
    }

    const std::string& bytes_;
    std::size_t sector_ = 512;
    std::size_t sectors_ = 0;
    std::uint32_t miniCutoff_ = 4096;
    std::vector<std::uint32_t> fat_;
    std::string directory_;
    std::string miniFatBytes_;
    std::string ministream_;
    std::uint32_t rootStart_ = kEndOfChain;
    std::uint32_t rootSize_ = 0;
};

// Text of a STRING record (BIFF8: 16-bit count, a flags byte, 8- or 16-bit characters;
// BIFF5: 16-bit count and 8-bit characters), as UTF-8.
std::string StringResult(const std::string& b, std::size_t at, std::size_t end, bool biff8) {
    if (at + 2 > end) return {};
    const std::size_t count = U16(b, at);
    at += 2;
    bool wide = false;
    if (biff8) {
        if (at >= end) return {};
        wide = (static_cast<unsigned char>(b[at]) & 1) != 0;
        ++at;
    }
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        if (at + (wide ? 2 : 1) > end) break;
        AppendUtf8(out, wide ? U16(b, at) : static_cast<unsigned char>(b[at]));
        at += wide ? 2 : 1;
    }
    return out;
}

std::string ErrorText(unsigned code) {
    switch (code) {
    case 0x00:
        return "#NULL!";
    case 0x07:
        return "#DIV/0!";
    case 0x0F:
        return "#VALUE!";
    case 0x17:
        return "#REF!";
    case 0x1D:
        return "#NAME?";
    case 0x24:
        return "#NUM!";
    default:
        return "#N/A";
    }
}

} // namespace

std::string scanFirstBiffSheet(const std::string& bytes, BiffSheetScan& scan) {
    CompoundFile file(bytes);
    if (std::string why = file.open(); !why.empty()) return why;
    std::string stream;
    bool biff8 = true;
    if (!file.stream("Workbook", stream)) {
        stream.clear();
        if (!file.stream("Book", stream)) return "it holds no workbook stream";
        biff8 = false;
    }
    // The globals list the sheets; the first one's records start where its entry says.
    std::size_t sheetStart = 0;
    for (std::size_t at = 0; at + 4 <= stream.size();) {
        const std::uint16_t type = U16(stream, at);
        const std::size_t length = U16(stream, at + 2);
        if (at + 4 + length > stream.size()) return "its workbook stream is cut short";
        if (type == 0x0085 && length >= 4) { // BOUNDSHEET
            sheetStart = U32(stream, at + 4);
            break;
        }
        if (type == 0x000A) break; // EOF of the globals
        at += 4 + length;
    }
    if (sheetStart == 0 || sheetStart + 4 > stream.size() || U16(stream, sheetStart) != 0x0809)
        return "its first sheet cannot be found";

    std::uint32_t pendingString = 0; // the FORMULA cell a STRING record gives the text of
    bool awaitingString = false;
    for (std::size_t at = sheetStart; at + 4 <= stream.size();) {
        const std::uint16_t type = U16(stream, at);
        const std::size_t length = U16(stream, at + 2);
        const std::size_t data = at + 4;
        const std::size_t end = data + length;
        if (end > stream.size()) return "its first sheet is cut short";
        at = end;
        if (type == 0x000A) break;            // EOF of the sheet
        if (type == 0x0203 && length >= 14) { // NUMBER
            scan.numbers[biffCellKey(U16(stream, data), U16(stream, data + 2))] =
                F64(stream, data + 6);
        } else if (type == 0x027E && length >= 10) { // RK
            scan.numbers[biffCellKey(U16(stream, data), U16(stream, data + 2))] =
                RkNumber(U32(stream, data + 6));
        } else if (type == 0x00BD && length >= 6) { // MULRK: row, first column, (xf, rk)...
            const std::uint16_t row = U16(stream, data);
            std::uint16_t column = U16(stream, data + 2);
            for (std::size_t k = data + 4; k + 6 <= end - 2; k += 6, ++column)
                scan.numbers[biffCellKey(row, column)] = RkNumber(U32(stream, k + 2));
        } else if (type == 0x0006 && length >= 20) { // FORMULA
            const std::uint32_t key = biffCellKey(U16(stream, data), U16(stream, data + 2));
            const std::size_t result = data + 6;
            if (U16(stream, result + 6) != 0xFFFF) {
                scan.formulas[key] = CellValue::ofNumber(F64(stream, result));
                continue;
            }
            switch (static_cast<unsigned char>(stream[result])) {
            case 0: // a text, in the STRING record that follows
                pendingString = key;
                awaitingString = true;
                scan.formulas[key] = CellValue::ofText("");
                break;
            case 1:
                scan.formulas[key] = CellValue::ofText(stream[result + 2] != 0 ? "TRUE" : "FALSE");
                break;
            case 2:
                scan.formulas[key] =
                    CellValue::ofText(ErrorText(static_cast<unsigned char>(stream[result + 2])));
                break;
            default: // an empty text: what a writer that never calculates leaves
                scan.formulas[key] = CellValue::ofFormula("");
                break;
            }
        } else if (type == 0x0207 && awaitingString) { // STRING
            scan.formulas[pendingString] =
                CellValue::ofText(StringResult(stream, data, end, biff8));
            awaitingString = false;
        } else if (type == 0x00E5 && length >= 2) { // MERGEDCELLS
            const std::size_t count = U16(stream, data);
            for (std::size_t i = 0; i < count && data + 2 + 8 * (i + 1) <= end; ++i) {
                const std::size_t r = data + 2 + 8 * i;
                scan.merged.push_back({U16(stream, r) + 1, U16(stream, r + 4) + 1,
                                       U16(stream, r + 2) + 1, U16(stream, r + 6) + 1});
            }
        }
    }
    return {};
}

} // namespace mb
