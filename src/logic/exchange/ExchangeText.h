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

/// UTF-8 as library text; a character beyond Latin-1 becomes '?'. Only for text that
/// IsUtf8 accepted.
std::string Utf8ToLibraryText(std::string_view utf8);

/// The number a text holds when the project's number reader reads all of it (blanks
/// around it allowed, "." as decimal point), and only a finite one: a file can hold no
/// infinity.
std::optional<double> WholeNumber(std::string_view text);

/// Slot of the property `code` names ("C" for "C (Cp)", blanks around it allowed), or
/// -1 for a text that names none.
int CodeSlot(std::string_view code);

/// Shortest text that reads back as the same double (std::to_chars).
std::string ShortestNumber(double value);

/// What a cell holds as text: a number as ShortestNumber writes it (a name typed as 42
/// stays "42"), nothing as "".
std::string CellText(const CellValue& cell);

/// How much of an offending text a message quotes.
inline constexpr std::size_t kExcerptLength = 40;
/// `text` as a message quotes it: whole up to kExcerptLength characters, else its first
/// ones followed by "...", so that a megabyte cell or a number of 100,000 digits does not
/// make a message of the same size.
std::string Excerpt(std::string_view text);

/// "A1"-style name of a cell, both counted from 1.
std::string CellName(int row, int column);

/// The texts of one material made fit for a library. `where` names the place in the
/// file ("Row 7", "Key categories[0].materials[2].name") and starts every note.
class TextFitter {
public:
    explicit TextFitter(std::vector<std::string>& notes) : notes_(notes) {}

    /// Control characters become blanks; a name wider than its 30 columns is shortened.
    std::string name(std::string text, std::string_view where);
    /// Control characters become blanks; a category has no width limit.
    std::string category(std::string text, std::string_view where);
    /// Control characters become blanks; cut to the 13 columns of the name code.
    std::string nameCode(std::string text, std::string_view where);
    /// Control characters become blanks; cut to the 50 characters a library keeps.
    std::string description(std::string text, std::string_view where);

private:
    std::string noControls(std::string text, std::string_view where, std::string_view what);
    std::vector<std::string>& notes_;
};

} // namespace mb
