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
/// Rows are counted in 16 bits: nothing past this row is read.
inline constexpr int kLastSheetRow = 32767;
/// The old spreadsheets' 256 columns (IV): the table layout needs 4 and one per property.
inline constexpr int kLastSheetColumn = 256;
/// The most notes the import's message lists; the rest are counted.
inline constexpr std::size_t kNotesListed = 10;

struct ImportResult {
    enum class Status {
        Imported,   ///< reading reached the "End" row, or the table's last row
        CannotOpen, ///< the workbook or its first sheet could not be read; library untouched
        ValueRowBeforeName, ///< a value row comes before the first "Name" row
        TypeRowBeforeName,  ///< a "Type" row comes before the first "Name" row
        TooManyValueRows,   ///< a material's twelfth value row
        NotANumber,         ///< column B of a value row is not a number
        MissingEnd,         ///< the sheet ends without an "End" row
        LibraryFull,        ///< a material past the library's 1001
        Refused,            ///< a row, cell or key another format does not allow
    };
    Status status = Status::Imported;
    /// Row where reading stopped: the "End" row, the last row of a table, or the row that
    /// failed. 0 when the file could not be opened or has no rows.
    int row = 0;
    /// The file as the import was given it, named by the message of a stop; "" for a sheet
    /// imported from memory.
    std::string file;
    /// Where reading stopped: "row 57", "cell F9", "key categories[0].name", "line 3,
    /// column 7"; "" when it did not stop.
    std::string place;
    /// Why the file could not be opened (CannotOpen, the whole message), or what is wrong
    /// at `place` ("column B holds "n/a", not a number").
    std::string reason;
    /// Every cell, row or key not taken as it stood (a name shortened, a character
    /// replaced, a formula without a value left unset, a row whose code is no property
    /// code), one sentence each naming its place ("Row 7: ...", "Cell F4: ..."), in the
    /// order of the file. Kept whatever the status.
    std::vector<std::string> notes;
    /// Materials in the library when reading stopped or ended.
    int materials = 0;

    bool imported() const { return status == Status::Imported; }
    /// Text fit to show the user: the notes (the first ten, then how many more), then why
    /// reading stopped, one per line; "" for an import that read everything as it stood.
    std::string message() const;
    /// Why reading stopped, naming the file and the place and saying what became of the
    /// materials before it ("The import stopped at row 57 of "block.ods": column B holds
    /// "n/a", not a number. The 11 materials before it were imported."); "" when it did
    /// not stop.
    std::string stopReason() const;
    /// Ends the import at `where` ("row 57") because of `what`; the library as it stands
    /// keeps the materials read before.
    ImportResult& stop(Status why, int atRow, std::string where, std::string what,
                       const Library& library);
};

/// Fills `library` from the first sheet of the workbook at `path`: one material per block
/// of rows that starts with a "Name" row in column A. The library is emptied once the
/// sheet is open; on a failure at some row the materials read before it remain. Imported
/// materials get working and shadow records with their name and category, and value
/// rows whose column A names a property code (any letter case) give that property its
/// value (in SI). Rows with nothing in columns A and B are passed over; an empty value
/// cell leaves its property unset. Texts are made fit for a library (see TextFitter) and
/// every cell not taken as it stood is noted.
ImportResult ImportSpreadsheet(const std::string& path, SpreadsheetReader& reader,
                               Library& library);

/// The same, from a sheet already open.
ImportResult importWorksheet(const Worksheet& sheet, Library& library);

/// `import` run on the first sheet of the workbook at `path`, while the workbook is open;
/// CannotOpen with the reader's reason when the workbook or its first sheet cannot be
/// read. The result names `path` as its file.
ImportResult importFirstSheet(const std::string& path, SpreadsheetReader& reader,
                              const std::function<ImportResult(const Worksheet&)>& import);

} // namespace mb
