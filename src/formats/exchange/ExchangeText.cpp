#include "ExchangeText.h"

#include "LibraryTextRules.h"
#include "NumberText.h"
#include "PropertyCatalogue.h"
#include "ShortestNumber.h"
#include "TextUtil.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace mb {

namespace {

std::string AsciiUppercased(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

} // namespace

std::optional<double> WholeNumber(std::string_view text) {
    if (!IsNumericText(text, ".")) return std::nullopt;
    const std::optional<double> value = LeadingNumber(TrimBlanks(text));
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

int CodeSlot(std::string_view code) {
    const std::string upper = AsciiUppercased(TrimBlanks(code));
    if (upper.empty()) return -1; // an empty code would land on a reserved slot
    const int slot = PropertyCatalogue::instance().FindTolerant(
        upper == "C" || upper == "C (CP)" ? "C (Cp)" : upper);
    if (slot < 0 || PropertyCatalogue::instance().PropCode(slot).empty()) return -1;
    return slot;
}

std::string CellText(const CellValue& cell) {
    switch (cell.kind) {
    case CellValue::Kind::Text:
        return cell.text;
    case CellValue::Kind::Number:
        return cell.text.empty() ? ShortestNumber(cell.number) : cell.text;
    case CellValue::Kind::Empty:
    case CellValue::Kind::Formula:
        break;
    }
    return {};
}

std::string QuotedCell(const CellValue& cell) {
    return "\"" + Excerpt(ReplaceControlCharacters(Utf8ToLibraryText(CellText(cell)))) + "\"";
}

std::string CellName(int row, int column) {
    std::string letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    return letters + std::to_string(row);
}

} // namespace mb
