#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace mb {

class Library;
class SpreadsheetReader;
class Worksheet;

/// The most value rows one material may have in a sheet.
inline constexpr int kMaxValueRowsPerMaterial = 11;
/// Rows are counted in 16 bits: a sheet without an "End" row fails here.
inline constexpr int kLastSheetRow = 32767;
/// The most notes the import's message lists; the rest are counted.
inline constexpr std::size_t kNotesListed = 10;

struct ImportResult {
    enum class Status {
        Imported,   ///< reading reached the "End" row
        CannotOpen, ///< the workbook or its first sheet could not be read; library untouched
        ValueRowBeforeName, ///< a value row comes before the first "Name" row
        TypeRowBeforeName,  ///< a "Type" row comes before the first "Name" row
        TooManyValueRows,   ///< a material's twelfth value row
        NotANumber,         ///< column B of a value row is not a number
        MissingEnd,         ///< no "End" row up to the last row the counter reaches
        LibraryFull,        ///< a "Name" row past the library's 1001 materials
        Refused,            ///< a row, cell or key another format does not allow: `reason` names it
    };
    Status status = Status::Imported;
    /// Row where reading stopped: the "End" row, or the row that failed. 0 when the
    /// file could not be opened.
    int row = 0;
    /// Why the file could not be opened (CannotOpen), or what was refused where (Refused).
    std::string reason;
    /// What was changed in a name or category so that it fits a library, one sentence per
    /// change, each naming its row ("Row 7: ..."), in row order. Kept whatever the status.
    std::vector<std::string> notes;

    bool imported() const { return status == Status::Imported; }
    /// Text fit to show the user: the notes (the first ten, then how many more), then why
    /// reading stopped, one per line; "" for an import that reached "End" and changed
    /// nothing.
    std::string message() const;
    /// Why reading stopped before "End", naming the row; "" when it reached "End".
    std::string stopReason() const;
};

/// Fills `library` from the first sheet of the workbook at `path`: one material per block
/// of rows that starts with a "Name" row in column A. The library is emptied once the
/// sheet is open; on a failure at some row the materials read before it remain. Imported
/// materials get working and shadow records with their name and category, and value
/// rows whose column A names a catalogue code give that property its value (in SI).
/// Control characters in a name or category become blanks, and a name longer than the
/// 30 columns a library keeps for it is shortened; each such change is noted.
ImportResult ImportSpreadsheet(const std::string& path, SpreadsheetReader& reader,
                               Library& library);

/// The same, from a sheet already open.
ImportResult ImportWorksheet(const Worksheet& sheet, Library& library);

/// `import` run on the first sheet of the workbook at `path`, while the workbook is open;
/// CannotOpen with the reader's reason when the workbook or its first sheet cannot be read.
ImportResult ImportFirstSheet(const std::string& path, SpreadsheetReader& reader,
                              const std::function<ImportResult(const Worksheet&)>& import);

} // namespace mb
