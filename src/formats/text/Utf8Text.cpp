#include "Utf8Text.h"

#include <cstdint>
#include <optional>

namespace mb {

namespace {

// Length of the UTF-8 sequence `lead` starts and the bits it carries, 0 for no lead byte.
int SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

} // namespace

std::string latin1ToUtf8(std::string_view latin1) {
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

namespace {

// Letters of Latin Extended-A (U+0100 to U+017F) without their marks; '#' where the
// letter is two (IJ, OE: see TwoLetters).
constexpr std::string_view kExtendedA = "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi"
                                        "##JjKkkLlLlLlLlLlNnNnNnnNnOoOoOo"
                                        "##RrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";
static_assert(kExtendedA.size() == 0x80);

std::string_view TwoLetters(char32_t c) {
    switch (c) {
    case 0x132:
        return "IJ";
    case 0x133:
        return "ij";
    case 0x152:
        return "OE";
    case 0x153:
        return "oe";
    default:
        return {};
    }
}

// The closest Latin-1 spelling of a character beyond Latin-1, or nothing where there is
// none. What a word processor or a spreadsheet puts into a text on its own (dashes,
// quotes, ellipses, blanks of other widths) comes first; letters lose their marks.
std::optional<std::string> ClosestLatin1(char32_t c) {
    if (c >= 0x100 && c <= 0x17F) {
        const char letter = kExtendedA[c - 0x100];
        return letter != '#' ? std::string(1, letter) : std::string(TwoLetters(c));
    }
    if (c >= 0xFF01 && c <= 0xFF5E) return std::string(1, static_cast<char>(c - 0xFF01 + 0x21));
    if ((c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F || c == 0x3000) return " ";
    if (c >= 0x2074 && c <= 0x2079)
        return "^" + std::string(1, static_cast<char>('0' + c - 0x2070));
    switch (c) {
    case 0x2010:
    case 0x2011:
    case 0x2012:
    case 0x2013:
    case 0x2014:
    case 0x2015:
    case 0x2212:
    case 0x2043:
    case 0xFE63:
    case 0x207B:
        return "-";
    case 0x2018:
    case 0x2019:
    case 0x201A:
    case 0x201B:
    case 0x2032:
    case 0x02BC:
        return "'";
    case 0x201C:
    case 0x201D:
    case 0x201E:
    case 0x201F:
    case 0x2033:
        return "\"";
    case 0x2039:
        return "<";
    case 0x203A:
        return ">";
    case 0x2026:
        return "...";
    case 0x2022:
    case 0x2219:
    case 0x22C5:
        return "\xB7"; // middle dot
    case 0x2044:
    case 0x2215:
        return "/";
    case 0x2264:
        return "<=";
    case 0x2265:
        return ">=";
    case 0x2260:
        return "!=";
    case 0x2248:
    case 0x223C:
        return "~";
    case 0x2070:
        return "^0";
    case 0x2080:
    case 0x2081:
    case 0x2082:
    case 0x2083:
    case 0x2084:
    case 0x2085:
    case 0x2086:
    case 0x2087:
    case 0x2088:
    case 0x2089:
        return std::string(1, static_cast<char>('0' + c - 0x2080));
    case 0x03BC:
        return "\xB5"; // Greek mu as the micro sign
    case 0x2126:
    case 0x03A9:
        return "Ohm";
    case 0x2103:
        return "\xB0"
               "C";
    case 0x2109:
        return "\xB0"
               "F";
    case 0x212A:
        return "K"; // Kelvin sign
    case 0x212B:
        return "\xC5"; // Angstrom sign
    case 0x20AC:
        return "EUR";
    case 0x2122:
        return "TM";
    case 0x2020:
        return "+";
    case 0x0192:
        return "f";
    case 0x02C6:
        return "^";
    case 0x02DC:
        return "~";
    case 0xFB00:
        return "ff";
    case 0xFB01:
        return "fi";
    case 0xFB02:
        return "fl";
    case 0xFB03:
        return "ffi";
    case 0xFB04:
        return "ffl";
    case 0x200B:
    case 0x200C:
    case 0x200D:
    case 0x2060:
    case 0xFEFF:
        return ""; // invisible: nothing is lost by leaving it out
    default:
        return std::nullopt;
    }
}

// The Latin-1 letter that `base` and the combining mark `mark` make, or 0.
char Composed(char base, char32_t mark) {
    // Latin-1's letters with marks, each as its base letter and combining mark.
    static constexpr struct {
        char base;
        char32_t mark;
        unsigned char letter;
    } kLetters[] = {
        {'A', 0x300, 0xC0}, {'A', 0x301, 0xC1}, {'A', 0x302, 0xC2}, {'A', 0x303, 0xC3},
        {'A', 0x308, 0xC4}, {'A', 0x30A, 0xC5}, {'C', 0x327, 0xC7}, {'E', 0x300, 0xC8},
        {'E', 0x301, 0xC9}, {'E', 0x302, 0xCA}, {'E', 0x308, 0xCB}, {'I', 0x300, 0xCC},
        {'I', 0x301, 0xCD}, {'I', 0x302, 0xCE}, {'I', 0x308, 0xCF}, {'N', 0x303, 0xD1},
        {'O', 0x300, 0xD2}, {'O', 0x301, 0xD3}, {'O', 0x302, 0xD4}, {'O', 0x303, 0xD5},
        {'O', 0x308, 0xD6}, {'U', 0x300, 0xD9}, {'U', 0x301, 0xDA}, {'U', 0x302, 0xDB},
        {'U', 0x308, 0xDC}, {'Y', 0x301, 0xDD},
    };
    const bool lower = base >= 'a' && base <= 'z';
    const char upper = lower ? static_cast<char>(base - 32) : base;
    if (lower && upper == 'Y' && mark == 0x308) return static_cast<char>(0xFF);
    for (const auto& l : kLetters)
        if (l.base == upper && l.mark == mark)
            return static_cast<char>(lower ? l.letter + 0x20 : l.letter);
    return 0;
}

std::string CodePointName(char32_t c) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string digits;
    for (char32_t v = c; v > 0 || digits.size() < 4; v >>= 4)
        digits.insert(digits.begin(), kHex[v & 0xF]);
    return "U+" + digits;
}

// The code point at `at` and its length in bytes; length 0 for a byte that starts no
// well-formed character.
std::pair<char32_t, int> Decode(std::string_view utf8, std::size_t at) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    const int length = SequenceLength(lead);
    if (length == 0 || at + static_cast<std::size_t>(length) > utf8.size()) return {0, 0};
    char32_t code = length == 1 ? lead : lead & (0xFF >> (length + 1));
    for (int k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(utf8[at + static_cast<std::size_t>(k)]);
        if ((next & 0xC0) != 0x80) return {0, 0};
        code = (code << 6) | (next & 0x3F);
    }
    if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
        return {0, 0};
    return {code, length};
}

} // namespace

bool isUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const int length = Decode(bytes, i).second;
        if (length == 0) return false;
        i += static_cast<std::size_t>(length);
    }
    return true;
}

std::string utf8ToLibraryText(std::string_view utf8, std::vector<TextReplacement>* replaced) {
    std::string out;
    out.reserve(utf8.size());
    const auto note = [replaced](std::string from, std::string to) {
        if (replaced) replaced->push_back({std::move(from), std::move(to)});
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const auto [code, length] = Decode(utf8, i);
        if (length == 0) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            const auto byte = static_cast<unsigned char>(utf8[i]);
            note(std::string("the byte 0x") + kHex[byte >> 4] + kHex[byte & 0xF], "?");
            out += '?';
            ++i;
            continue;
        }
        i += static_cast<std::size_t>(length);
        if (code <= 0xFF) {
            out += static_cast<char>(code);
            continue;
        }
        if (code >= 0x300 && code <= 0x36F) {
            // A combining mark: with the letter before it, it may make a Latin-1 letter.
            const char base = out.empty() ? 0 : out.back();
            if (const char letter = (base >= 'A' && base <= 'z') ? Composed(base, code) : 0) {
                out.back() = letter;
                note(std::string(1, base) + " " + CodePointName(code), std::string(1, letter));
            } else {
                note(CodePointName(code), "");
            }
            continue;
        }
        const std::optional<std::string> closest = ClosestLatin1(code);
        out += closest.value_or("?");
        note(CodePointName(code), closest.value_or("?"));
    }
    return out;
}

std::string windows1252ToUtf8(std::string_view bytes) {
    // 0x80 to 0x9F; 0 where Windows-1252 has no character (taken as Latin-1's).
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        char32_t code = byte;
        if (byte >= 0x80 && byte <= 0x9F && kHigh[byte - 0x80] != 0) code = kHigh[byte - 0x80];
        if (code < 0x80) {
            out += c;
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

std::string excerpt(std::string_view text) {
    if (text.size() <= kExcerptLength) return std::string(text);
    return std::string(text.substr(0, kExcerptLength)) + "...";
}

} // namespace mb
