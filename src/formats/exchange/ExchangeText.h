#pragma once

// Texts and numbers as every importer and exporter of this folder takes and gives them:
// what a foreign file holds is made fit for a library here, once, with the same notes.

#include "Spreadsheet.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mb {

/// Library text (one byte per character, Latin-1) as UTF-8.
std::string Latin1ToUtf8(std::string_view latin1);

/// True when `bytes` is well-formed UTF-8 (ASCII included).
bool IsUtf8(std::string_view bytes);

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
std::string Utf8ToLibraryText(std::string_view utf8,
                              std::vector<TextReplacement>* replaced = nullptr);

/// Text in Windows-1252 (Latin-1 with typographic characters at 0x80-0x9F) as UTF-8.
std::string Windows1252ToUtf8(std::string_view bytes);

/// The number a text holds when the project's number reader reads all of it (blanks
/// around it allowed, "." as decimal point), and only a finite one: a file can hold no
/// infinity.
std::optional<double> WholeNumber(std::string_view text);

/// Slot of the property `code` names, in any letter case ("C" for "C (Cp)", blanks
/// around it allowed), or -1 for a text that names none.
int CodeSlot(std::string_view code);

/// What a cell holds as text (UTF-8): a number as ShortestNumber writes it (a name typed
/// as 42 stays "42"), a date or time as the sheet shows it, nothing and a formula without
/// a value as "".
std::string CellText(const CellValue& cell);

/// A cell's text quoted for a message: library text, cut as Excerpt cuts it.
std::string QuotedCell(const CellValue& cell);
/// How much of an offending text a message quotes.
inline constexpr std::size_t kExcerptLength = 40;
/// `text` as a message quotes it: whole up to kExcerptLength characters, else its first
/// ones followed by "...", so that a megabyte cell or a number of 100,000 digits does not
/// make a message of the same size.
std::string Excerpt(std::string_view text);

/// "A1"-style name of a cell, both counted from 1.
std::string CellName(int row, int column);

/// The texts of one material made fit for a library. Each takes UTF-8 and gives library
/// text: characters beyond Latin-1 are spelt as Utf8ToLibraryText spells them, control
/// characters become blanks, and each change is a note. `where` names the place in the
/// file ("Row 7", "Key categories[0].materials[2].name") and starts every note.
class TextFitter {
public:
    explicit TextFitter(std::vector<std::string>& notes) : notes_(notes) {}

    /// A name wider than its 30 columns is shortened.
    std::string name(std::string_view utf8, std::string_view where);
    /// A category has no width limit.
    std::string category(std::string_view utf8, std::string_view where);
    /// Cut to the 13 columns of the name code.
    std::string nameCode(std::string_view utf8, std::string_view where);
    /// Cut to the 50 characters a library keeps.
    std::string description(std::string_view utf8, std::string_view where);

private:
    std::string fit(std::string_view utf8, std::string_view where, std::string_view what);
    std::vector<std::string>& notes_;
};

} // namespace mb
