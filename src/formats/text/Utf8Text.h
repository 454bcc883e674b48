#pragma once

// Text as foreign files hold it (UTF-8, Windows-1252) and as a library holds it (Latin-1,
// one byte per character), both ways.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mb {

/// Library text (one byte per character, Latin-1) as UTF-8.
std::string latin1ToUtf8(std::string_view latin1);

/// True when `bytes` is well-formed UTF-8 (ASCII included).
bool isUtf8(std::string_view bytes);

/// One character (or a letter and its accents) that a library cannot hold as it stands.
struct TextReplacement {
    std::string from; ///< "U+2013", "e U+0301", "the byte 0x96"
    std::string to;   ///< what the library holds instead (Latin-1), maybe ""
};

/// UTF-8 as library text. A character beyond Latin-1 becomes its closest Latin-1
/// spelling where there is one (an en dash "-", curly quotes straight ones, "..." for an
/// ellipsis, "l" for "ł", "EUR" for the euro sign, a letter with combining accents the
/// Latin-1 letter they make) and "?" where there is none; a byte that is no part of a
/// UTF-8 character becomes "?" as well. Each change goes to `replaced` when it is given.
std::string utf8ToLibraryText(std::string_view utf8,
                              std::vector<TextReplacement>* replaced = nullptr);

/// Text in Windows-1252 (Latin-1 with typographic characters at 0x80-0x9F) as UTF-8.
std::string windows1252ToUtf8(std::string_view bytes);

/// How much of an offending text a message quotes.
inline constexpr std::size_t kExcerptLength = 40;
/// `text` as a message quotes it: whole up to kExcerptLength characters, else its first
/// ones followed by "...", so that a megabyte cell or a number of 100,000 digits does not
/// make a message of the same size.
std::string excerpt(std::string_view text);

} // namespace mb
