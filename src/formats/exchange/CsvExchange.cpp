#include "CsvExchange.h"
#include "ShortestNumber.h"

#include "ExchangeText.h"

#include <algorithm>

namespace mb {

namespace {

char Separator(std::string_view text) {
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == ',' || c == ';') return c;
        if (c == '\n' || c == '\r') break;
    }
    return ',';
}

bool NeedsQuotes(std::string_view text) {
    return text.find_first_of(",;\"\r\n") != std::string_view::npos ||
           (!text.empty() && (text.front() == ' ' || text.back() == ' '));
}

// A spreadsheet takes a text starting with one of these for a formula (a tab or a
// carriage return may stand before one); an apostrophe in front makes it a text there.
bool StartsLikeAFormula(std::string_view text) {
    return !text.empty() &&
           std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

// The apostrophe is one the export put there when it stands before what the export guards:
// a formula's start or another such apostrophe. An apostrophe before anything else ("'t
// Hooft") is the text's own, and so is a lone one.
bool StartsWithGuard(std::string_view text) {
    return text.size() >= 2 && text.front() == '\'' &&
           (text[1] == '\'' || StartsLikeAFormula(text.substr(1)));
}

} // namespace

CellValue CsvSheet::cell(int row, int column) const {
    if (row < 1 || column < 1 || static_cast<std::size_t>(row) > rows_.size())
        return CellValue::empty();
    const std::vector<std::string>& fields = rows_[static_cast<std::size_t>(row - 1)];
    if (static_cast<std::size_t>(column) > fields.size()) return CellValue::empty();
    const std::string& text = fields[static_cast<std::size_t>(column - 1)];
    return text.empty() ? CellValue::empty() : CellValue::ofText(text);
}

Worksheet::Extent CsvSheet::extent() const {
    std::size_t columns = 0;
    for (const std::vector<std::string>& fields : rows_)
        columns = std::max(columns, fields.size());
    const auto clip = [](std::size_t n) {
        return static_cast<int>(std::min<std::size_t>(n, INT_MAX));
    };
    return {clip(rows_.size()), clip(columns)};
}

Result<CsvSheet> parseCsv(std::string_view bytes) {
    CsvSheet sheet;
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    // Text that is not UTF-8 is taken as Windows-1252, which is what a spreadsheet on
    // Windows writes; its bytes below 0x80 and from 0xA0 are Latin-1's.
    const bool utf8 = isUtf8(bytes);
    const char separator = Separator(bytes);
    std::vector<std::string> row;
    std::string field;
    int rowNumber = 1;
    std::size_t i = 0;
    const auto endField = [&] {
        row.push_back(utf8 ? field : windows1252ToUtf8(field));
        if (StartsWithGuard(row.back())) row.back().erase(0, 1);
        field.clear();
    };
    const auto endRow = [&] {
        endField();
        sheet.rows_.push_back(std::move(row));
        row.clear();
        ++rowNumber;
    };
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c == '"' && field.empty()) {
            const int opened = rowNumber;
            ++i;
            for (;;) {
                if (i >= bytes.size())
                    return Failure{"", "row " + std::to_string(opened),
                                   "a quoted field is never closed"};
                if (bytes[i] == '"') {
                    if (i + 1 < bytes.size() && bytes[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += bytes[i++];
            }
            if (i < bytes.size() && bytes[i] != separator && bytes[i] != '\r' && bytes[i] != '\n')
                return Failure{"", "row " + std::to_string(rowNumber),
                               "text follows the closing quote of a field"};
            // An empty quoted field stays a field: keep it apart from no field at all.
            continue;
        }
        if (c == separator) {
            endField();
        } else if (c == '\r' || c == '\n') {
            endRow();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            field += c;
        }
        ++i;
    }
    if (!field.empty() || !row.empty()) endRow();
    return sheet;
}

std::string csvText(const CellRows& rows) {
    std::string out;
    for (const std::vector<CellValue>& row : rows) {
        bool first = true;
        for (const CellValue& cell : row) {
            if (!first) out += ',';
            first = false;
            if (cell.kind == CellValue::Kind::Number) {
                out += shortestNumber(cell.number);
            } else if (cell.kind == CellValue::Kind::Text) {
                std::string text = cell.text;
                if (StartsLikeAFormula(text) || StartsWithGuard(text)) text.insert(0, 1, '\'');
                if (!NeedsQuotes(text)) {
                    out += text;
                    continue;
                }
                out += '"';
                for (const char c : text) {
                    if (c == '"') out += '"';
                    out += c;
                }
                out += '"';
            }
        }
        out += "\r\n";
    }
    return out;
}

} // namespace mb
