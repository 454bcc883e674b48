#pragma once

#include "Result.h"
#include "Spreadsheet.h"
#include "TableLayout.h"

#include <string>
#include <string_view>
#include <vector>

namespace mb {

/// The cells of a CSV file. Every field is text; an empty field is an empty cell.
class CsvSheet : public Worksheet {
public:
    CellValue cell(int row, int column) const override;
    Extent extent() const override;
    int rowCount() const { return static_cast<int>(rows_.size()); }

private:
    friend Result<CsvSheet> parseCsv(std::string_view);
    std::vector<std::vector<std::string>> rows_;
};

/// The cells of CSV text: fields separated by commas or by semicolons (whichever
/// the first line uses first outside quotes), a field in double quotes may hold the
/// separator, line breaks and "" for a quote; lines end in CR LF, LF or CR. Fields are
/// UTF-8 as cells are: UTF-8 text (with or without its byte order mark) as it is, any
/// other text read as Windows-1252. An apostrophe that csvText put before a text is taken
/// off again: one before "=", "+", "-", "@", a tab, a carriage return or another
/// apostrophe. Fails, naming the row, on a quote that is never closed or text after a
/// closing quote.
Result<CsvSheet> parseCsv(std::string_view bytes);

/// The cells (texts in UTF-8) as CSV (comma-separated, CR LF line ends): numbers as the shortest
/// text that reads back the same, texts quoted where they hold a comma, a quote, a line
/// break or blanks at either end. A text that a spreadsheet would run as a formula (one
/// starting with "=", "+", "-", "@", a tab or a carriage return) gets an apostrophe in
/// front, which keeps it a text there, as does a text whose own apostrophe stands before
/// one of these or another apostrophe, so that parseCsv gives back every text as it was.
std::string csvText(const CellRows& rows);

} // namespace mb
