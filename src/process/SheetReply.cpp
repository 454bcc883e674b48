#include "SheetReply.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <new>
#include <optional>

namespace mb {

namespace {

constexpr std::string_view kHeader = "MBSHEET 3\n";
// The reason ends up in a message box: a path and a sentence, never megabytes.
constexpr std::uint64_t kLongestReason = 8192;

std::string Decimal(long long n) {
    char buffer[24];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, n);
    return std::string(buffer, end);
}

void AppendCell(std::string& out, int row, int column, const CellValue& cell) {
    const std::string where = Decimal(row) + " " + Decimal(column) + " ";
    const auto counted = [&out](const std::string& text) {
        out.append(Decimal(static_cast<long long>(text.size())));
        out.append("\n").append(text).append("\n");
    };
    if (cell.kind == CellValue::Kind::Number) {
        char bits[17];
        const auto [end, ec] =
            std::to_chars(bits, bits + sizeof bits, std::bit_cast<std::uint64_t>(cell.number), 16);
        if (cell.text.empty()) {
            out.append("N ").append(where).append(bits, end).append("\n");
        } else {
            out.append("D ").append(where).append(bits, end).append(" ");
            counted(cell.text);
        }
    } else {
        out.append(cell.kind == CellValue::Kind::Formula ? "U " : "T ").append(where);
        counted(cell.text);
    }
}

std::string FailureReply(std::string_view stage, const std::string& reason) {
    std::string out(kHeader);
    out.append("F ").append(stage).append(" ");
    out.append(Decimal(static_cast<long long>(reason.size()))).append("\n");
    out.append(reason).append("\nE 0\n");
    return out;
}

// Walks the reply front to back; every read checks that the bytes are there.
class Reader {
public:
    explicit Reader(std::string_view bytes) : rest_(bytes) {}

    bool atEnd() const { return rest_.empty(); }

    bool literal(std::string_view text) {
        if (!rest_.starts_with(text)) return false;
        rest_.remove_prefix(text.size());
        return true;
    }

    /// Digits in `base` up to the next `stop`, which is consumed too.
    std::optional<std::uint64_t> number(char stop, int base = 10) {
        const std::size_t at = rest_.find(stop);
        if (at == 0 || at == std::string_view::npos || at > 20) return std::nullopt;
        std::uint64_t value = 0;
        const char* last = rest_.data() + at;
        const auto [end, ec] = std::from_chars(rest_.data(), last, value, base);
        if (ec != std::errc() || end != last) return std::nullopt;
        rest_.remove_prefix(at + 1);
        return value;
    }

    std::optional<std::string_view> bytes(std::uint64_t count) {
        if (count > rest_.size()) return std::nullopt;
        const std::string_view taken = rest_.substr(0, static_cast<std::size_t>(count));
        rest_.remove_prefix(static_cast<std::size_t>(count));
        return taken;
    }

private:
    std::string_view rest_;
};

SheetReply Malformed(std::string why) {
    SheetReply reply;
    reply.outcome = SheetReply::Outcome::Malformed;
    reply.reason = std::move(why);
    return reply;
}

std::string CaptureCells(SpreadsheetReader& reader, const std::string& path) {
    Result<std::unique_ptr<Workbook>> workbook = reader.open(path);
    if (!workbook) return FailureReply("open", workbook.failure().what);
    Result<std::unique_ptr<Worksheet>> read = workbook.value()->firstSheet();
    if (!read) return FailureReply("sheet", read.failure().what);
    const std::unique_ptr<Worksheet>& sheet = read.value();

    const Worksheet::Extent extent = sheet->extent();
    const int lastRow = std::min(extent.rows, kSheetReplyLastRow);
    const int lastColumn = std::min(extent.columns, kSheetReplyLastColumn);
    std::string out(kHeader);
    long long cells = 0;
    const auto tooMany = [&path](std::string_view what) {
        return FailureReply("sheet", "The first worksheet of \"" + path + "\" holds more than " +
                                         Decimal(kSheetReplyMostCells) + " " + std::string(what) +
                                         ".");
    };
    for (int row = 1; row <= lastRow; ++row) {
        for (int column = 1; column <= lastColumn; ++column) {
            const CellValue cell = sheet->cell(row, column);
            if (cell.kind == CellValue::Kind::Empty) continue;
            if (++cells > kSheetReplyMostCells) return tooMany("cells");
            AppendCell(out, row, column, cell);
            if (static_cast<long long>(out.size()) > kSheetReplyMostBytes)
                return FailureReply("sheet", "The first worksheet of \"" + path +
                                                 "\" holds more than " +
                                                 Decimal(kSheetReplyMostBytes >> 20) +
                                                 " MiB of text, a cell counted each time it "
                                                 "is repeated.");
        }
    }
    const std::vector<CellRange> merges = sheet->mergedRanges();
    long long sent = 0;
    for (const CellRange& m : merges) {
        // Only what the import can see: the ranges that start inside the reply's bounds.
        if (m.top < 1 || m.left < 1 || m.top > kSheetReplyLastRow ||
            m.left > kSheetReplyLastColumn || m.bottom < m.top || m.right < m.left)
            continue;
        if (++sent > kSheetReplyMostCells) return tooMany("merged ranges");
        out.append("M ").append(Decimal(m.top)).append(" ").append(Decimal(m.left)).append(" ");
        out.append(Decimal(std::min(m.bottom, kSheetReplyLastRow))).append(" ");
        out.append(Decimal(std::min(m.right, kSheetReplyLastColumn))).append("\n");
    }
    out.append("E ").append(Decimal(cells)).append("\n");
    return out;
}

} // namespace

std::string captureSheetReply(SpreadsheetReader& reader, const std::string& path) {
    try {
        return CaptureCells(reader, path);
    } catch (const std::bad_alloc&) {
        // Under the reader process's memory limit a workbook that claims huge sizes ends
        // here; by now what it took has been given back.
        return FailureReply("open", "The file \"" + path + "\" is too large to be read.");
    }
}

CellValue CapturedSheet::cell(int row, int column) const {
    if (row < 1 || static_cast<std::size_t>(row) > rows_.size()) return CellValue::empty();
    const auto& cells = rows_[static_cast<std::size_t>(row - 1)];
    const auto at = std::lower_bound(cells.begin(), cells.end(), column,
                                     [](const auto& cell, int c) { return cell.first < c; });
    return at != cells.end() && at->first == column ? at->second : CellValue::empty();
}

Worksheet::Extent CapturedSheet::extent() const {
    return {static_cast<int>(rows_.size()), columns_};
}

void CapturedSheet::set(int row, int column, CellValue value) {
    if (row < 1 || row > kSheetReplyLastRow || column < 1 || column > kSheetReplyLastColumn) return;
    if (static_cast<std::size_t>(row) > rows_.size()) rows_.resize(static_cast<std::size_t>(row));
    auto& cells = rows_[static_cast<std::size_t>(row - 1)];
    const auto at = std::lower_bound(cells.begin(), cells.end(), column,
                                     [](const auto& cell, int c) { return cell.first < c; });
    if (at != cells.end() && at->first == column)
        at->second = std::move(value);
    else
        cells.insert(at, {column, std::move(value)});
    columns_ = std::max(columns_, column);
}

SheetReply parseSheetReply(std::string_view bytes) {
    Reader in(bytes);
    if (!in.literal(kHeader)) return Malformed("no header");
    SheetReply reply;
    reply.outcome = SheetReply::Outcome::Sheet;
    std::uint64_t cells = 0, merges = 0;
    long long lastPlace = 0; // where the previous cell was, counted row by row
    for (;;) {
        if (in.literal("E ")) {
            const auto count = in.number('\n');
            if (!count || *count != cells) return Malformed("wrong cell count");
            if (!in.atEnd()) return Malformed("bytes after the end");
            return reply;
        }
        if (in.literal("F ")) {
            if (reply.outcome != SheetReply::Outcome::Sheet || cells != 0)
                return Malformed("failure after cells");
            if (in.literal("open "))
                reply.outcome = SheetReply::Outcome::OpenFailed;
            else if (in.literal("sheet "))
                reply.outcome = SheetReply::Outcome::SheetFailed;
            else
                return Malformed("unknown failure");
            const auto length = in.number('\n');
            if (length && *length > kLongestReason) return Malformed("reason too long");
            const auto reason = length ? in.bytes(*length) : std::nullopt;
            if (!reason || !in.literal("\n")) return Malformed("truncated failure");
            reply.reason = std::string(*reason);
            continue;
        }
        if (in.literal("M ")) {
            if (reply.outcome != SheetReply::Outcome::Sheet)
                return Malformed("range after failure");
            const auto top = in.number(' ');
            const auto left = in.number(' ');
            const auto bottom = in.number(' ');
            const auto right = in.number('\n');
            if (!top || !left || !bottom || !right || *top < 1 || *left < 1 || *bottom < *top ||
                *right < *left || *bottom > kSheetReplyLastRow || *right > kSheetReplyLastColumn)
                return Malformed("bad merged range");
            if (++merges > static_cast<std::uint64_t>(kSheetReplyMostCells))
                return Malformed("too many merged ranges");
            reply.sheet.addMerge({static_cast<int>(*top), static_cast<int>(*left),
                                  static_cast<int>(*bottom), static_cast<int>(*right)});
            continue;
        }
        const bool isNumber = in.literal("N ");
        const bool isDate = !isNumber && in.literal("D ");
        const bool isFormula = !isNumber && !isDate && in.literal("U ");
        if (!isNumber && !isDate && !isFormula && !in.literal("T "))
            return Malformed("unknown record");
        if (reply.outcome != SheetReply::Outcome::Sheet) return Malformed("cell after failure");
        if (merges > 0) return Malformed("cell after a merged range");
        const auto row = in.number(' ');
        const auto column = in.number(' ');
        if (!row || !column || *row < 1 || *row > kSheetReplyLastRow || *column < 1 ||
            *column > kSheetReplyLastColumn)
            return Malformed("bad cell place");
        if (cells >= static_cast<std::uint64_t>(kSheetReplyMostCells))
            return Malformed("too many cells");
        const long long place = static_cast<long long>(*row) * kSheetReplyLastColumn +
                                static_cast<long long>(*column) - 1;
        if (place <= lastPlace) return Malformed("cells out of order");
        lastPlace = place;
        CellValue value;
        if (isNumber) {
            const auto bits = in.number('\n', 16);
            if (!bits) return Malformed("bad number");
            value = CellValue::ofNumber(std::bit_cast<double>(*bits));
        } else {
            const auto bits = isDate ? in.number(' ', 16) : std::optional<std::uint64_t>(0);
            if (!bits) return Malformed("bad number");
            const auto length = in.number('\n');
            const auto text = length ? in.bytes(*length) : std::nullopt;
            if (!text || !in.literal("\n")) return Malformed("truncated text");
            value = isDate ? CellValue::ofDate(std::bit_cast<double>(*bits), std::string(*text))
                    : isFormula ? CellValue::ofFormula(std::string(*text))
                                : CellValue::ofText(std::string(*text));
        }
        reply.sheet.set(static_cast<int>(*row), static_cast<int>(*column), std::move(value));
        ++cells;
    }
}

} // namespace mb
