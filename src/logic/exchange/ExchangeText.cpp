#include "ExchangeText.h"

#include "LibraryTextRules.h"
#include "NumberText.h"
#include "PropertyCatalogue.h"
#include "TextUtil.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace mb {

namespace {

/// Columns of the material line that hold the name code.
constexpr std::size_t kNameCodeColumns = 13;

// Length of the UTF-8 sequence `lead` starts and the bits it carries, 0 for no lead byte.
int SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

} // namespace

std::string Latin1ToUtf8(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

bool IsUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int length = SequenceLength(lead);
        if (length == 0 || i + static_cast<std::size_t>(length) > bytes.size()) return false;
        std::uint32_t code = length == 1 ? lead : lead & (0xFF >> (length + 1));
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
        if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += static_cast<std::size_t>(length);
    }
    return true;
}

std::string Utf8ToLibraryText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int length = std::max(SequenceLength(lead), 1);
        if (length == 2) {
            const auto next = static_cast<unsigned char>(i + 1 < utf8.size() ? utf8[i + 1] : 0);
            const unsigned code = ((lead & 0x1Fu) << 6) | (next & 0x3Fu);
            out += code <= 0xFF ? static_cast<char>(code) : '?';
        } else {
            out += length == 1 ? static_cast<char>(lead) : '?';
        }
        i += static_cast<std::size_t>(length);
    }
    return out;
}

std::optional<double> WholeNumber(std::string_view text) {
    if (!IsNumericText(text, ".")) return std::nullopt;
    const std::optional<double> value = LeadingNumber(TrimBlanks(text));
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

int CodeSlot(std::string_view code) {
    const std::string_view trimmed = TrimBlanks(code);
    if (trimmed.empty()) return -1; // an empty code would land on a reserved slot
    const int slot =
        PropertyCatalogue::instance().FindTolerant(trimmed == "C" ? "C (Cp)" : trimmed);
    if (slot < 0 || PropertyCatalogue::instance().PropCode(slot).empty()) return -1;
    return slot;
}

std::string ShortestNumber(double value) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string();
}

std::string CellText(const CellValue& cell) {
    switch (cell.kind) {
    case CellValue::Kind::Text:
        return cell.text;
    case CellValue::Kind::Number:
        return ShortestNumber(cell.number);
    case CellValue::Kind::Empty:
        break;
    }
    return {};
}

std::string Excerpt(std::string_view text) {
    if (text.size() <= kExcerptLength) return std::string(text);
    return std::string(text.substr(0, kExcerptLength)) + "...";
}

std::string CellName(int row, int column) {
    std::string letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    return letters + std::to_string(row);
}

std::string TextFitter::noControls(std::string text, std::string_view where,
                                   std::string_view what) {
    if (!HasControlCharacter(text)) return text;
    notes_.push_back(std::string(where) +
                     ": line breaks, tabs and other control characters in the " +
                     std::string(what) + " were replaced by blanks.");
    return ReplaceControlCharacters(text);
}

// A cell can hold anything, line breaks included; written as it is, a name "Steel", LF,
// "A36" would make two lines of the library, and a CR LF followed by "MATL:" a material
// of its own.
std::string TextFitter::name(std::string text, std::string_view where) {
    text = noControls(std::move(text), where, "name");
    // Blanks around the name are kept as the file has them unless they alone push it
    // past the columns of the name field.
    if (text.size() > kNameColumns) {
        const std::string_view visible = TrimBlanks(text);
        if (visible.size() > kNameColumns) {
            text = CutToColumns(visible, kNameColumns);
            notes_.push_back(
                std::string(where) + ": the name has more than " + std::to_string(kNameColumns) +
                " characters, the most a library keeps; it was shortened to \"" + text + "\".");
        } else {
            text = std::string(visible);
        }
    }
    return text;
}

std::string TextFitter::category(std::string text, std::string_view where) {
    return noControls(std::move(text), where, "category");
}

std::string TextFitter::nameCode(std::string text, std::string_view where) {
    text = noControls(std::move(text), where, "name code");
    // Blanks past the code's 13 columns would push the name out of its own.
    if (text.size() > kNameCodeColumns && TrimRightBlanks(text).size() <= kNameCodeColumns)
        text = std::string(TrimRightBlanks(text));
    if (TrimRightBlanks(text).size() > kNameCodeColumns) {
        text = CutToColumns(text, kNameCodeColumns);
        notes_.push_back(std::string(where) + ": the name code has more than " +
                         std::to_string(kNameCodeColumns) +
                         " characters, the most a library keeps; it was shortened to \"" + text +
                         "\".");
    }
    return text;
}

std::string TextFitter::description(std::string text, std::string_view where) {
    text = noControls(std::move(text), where, "description");
    if (TrimRightBlanks(text).size() > kDescriptionColumns) {
        text = CutToColumns(text, kDescriptionColumns);
        notes_.push_back(std::string(where) + ": the description has more than " +
                         std::to_string(kDescriptionColumns) +
                         " characters, the most a library keeps; it was shortened to \"" + text +
                         "\".");
    }
    return text;
}

} // namespace mb
