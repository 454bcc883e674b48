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

std::optional<double> wholeNumber(std::string_view text) {
    if (!isNumericText(text, ".")) return std::nullopt;
    const std::optional<double> value = leadingNumber(trimBlanks(text));
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

int codeSlot(std::string_view code) {
    const std::string upper = AsciiUppercased(trimBlanks(code));
    if (upper.empty()) return -1; // an empty code would land on a reserved slot
    const int slot = PropertyCatalogue::instance().findTolerant(
        upper == "C" || upper == "C (CP)" ? "C (Cp)" : upper);
    if (slot < 0 || PropertyCatalogue::instance().PropCode(slot).empty()) return -1;
    return slot;
}

std::string cellText(const CellValue& cell) {
    switch (cell.kind) {
    case CellValue::Kind::Text:
        return cell.text;
    case CellValue::Kind::Number:
        return cell.text.empty() ? shortestNumber(cell.number) : cell.text;
    case CellValue::Kind::Empty:
    case CellValue::Kind::Formula:
        break;
    }
    return {};
}

std::string quotedCell(const CellValue& cell) {
    return "\"" + excerpt(replaceControlCharacters(utf8ToLibraryText(cellText(cell)))) + "\"";
}

std::string cellName(int row, int column) {
    std::string letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    return letters + std::to_string(row);
}

} // namespace mb
