#pragma once

// What a text must be like before it can go into a library: a library is read line by line
// and column by column, so a material's texts must stay on one line and within the columns
// the material line gives them. The reader cuts the name at column 50 and the description
// after 50 characters; whatever lies beyond is read as the next field or lost.

#include "TextUtil.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace mb {

/// Columns of the material line that hold the name (21 to 50).
inline constexpr std::size_t kNameColumns = 30;
/// Characters of the description that the reader takes back from a material line.
inline constexpr std::size_t kDescriptionColumns = 50;

inline constexpr const char* kNameHasControlCharacter =
    "A material name cannot hold a line break, a tab or another control character.";
inline constexpr const char* kCategoryHasControlCharacter =
    "A category name cannot hold a line break, a tab or another control character.";
inline constexpr const char* kDescriptionHasControlCharacter =
    "A description cannot hold a line break, a tab or another control character.";
inline constexpr const char* kNameTooWide =
    "A material name can have at most 30 characters: a library file keeps no more.";
inline constexpr const char* kDescriptionTooWide =
    "A description can have at most 50 characters: a library file keeps no more.";

/// The bytes below the blank and DEL. A line feed or carriage return would end the line
/// early (and could start a line of its own, "MATL:..."); the others are invisible in the
/// boxes and the tree.
inline bool isControlCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

inline bool hasControlCharacter(std::string_view s) {
    return std::any_of(s.begin(), s.end(), isControlCharacter);
}

/// `s` with every run of control characters replaced by one blank, so that "Steel", CR,
/// LF, "A36" becomes "Steel A36".
inline std::string replaceControlCharacters(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    bool inRun = false;
    for (const char c : s) {
        if (!isControlCharacter(c)) {
            out += c;
            inRun = false;
        } else if (!inRun) {
            out += ' ';
            inRun = true;
        }
    }
    return out;
}

/// The first `columns` characters of `s`, without the blanks that end up at the cut.
inline std::string cutToColumns(std::string_view s, std::size_t columns) {
    return std::string(trimRightBlanks(s.substr(0, std::min(columns, s.size()))));
}

} // namespace mb
