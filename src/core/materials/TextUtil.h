#pragma once

#include <string>
#include <string_view>

namespace mb {

// Library text is 8-bit: one byte is one character, and "blank" means the space character.

inline std::string_view trimBlanks(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ')
        ++b;
    while (e > b && s[e - 1] == ' ')
        --e;
    return s.substr(b, e - b);
}

inline std::string_view trimLeftBlanks(std::string_view s) {
    std::size_t b = 0;
    while (b < s.size() && s[b] == ' ')
        ++b;
    return s.substr(b);
}

inline std::string_view trimRightBlanks(std::string_view s) {
    std::size_t e = s.size();
    while (e > 0 && s[e - 1] == ' ')
        --e;
    return s.substr(0, e);
}

inline std::string padRight(std::string_view s, std::size_t width) {
    std::string out(s);
    if (out.size() < width) out.append(width - out.size(), ' ');
    return out;
}

inline char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

/// `s` with its ASCII letters in lower case; other bytes as they are.
inline std::string asciiLowered(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = asciiLower(c);
    return out;
}

/// What identifies a material by its name: the name trimmed, letters in lower case.
inline std::string nameKey(std::string_view name) {
    return asciiLowered(trimBlanks(name));
}

/// Case-insensitive equality over ASCII letters; other bytes compare as they are.
inline bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

inline bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && equalsNoCase(s.substr(0, prefix.size()), prefix);
}

/// Characters [from, from + count) counted from 1, clipped to the text: a
/// start past the end gives "", a count past the end gives the rest.
inline std::string_view mid(std::string_view s, std::size_t from1, std::size_t count) {
    if (from1 == 0 || from1 > s.size()) return {};
    return s.substr(from1 - 1, count);
}

/// UTF-8 to one byte per character, as workbooks' texts reach a library: what Latin-1
/// cannot hold, and broken sequences, become '?' (one per character, one per stray byte).
std::string utf8ToLatin1(std::string_view utf8);

} // namespace mb
