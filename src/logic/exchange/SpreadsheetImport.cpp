#include "SpreadsheetImport.h"

#include "ExchangeText.h"
#include "Library.h"
#include "PropertyCatalogue.h"
#include "Spreadsheet.h"
#include "TextUtil.h"

#include <algorithm>
#include <optional>

namespace mb {

namespace {

// A value row's column B: an empty cell counts as 0, and a text counts when it is a
// number written out in full (a sheet may hold "210E9" typed as text).
std::optional<double> CellNumber(const CellValue& cell) {
    switch (cell.kind) {
    case CellValue::Kind::Number:
        return cell.number;
    case CellValue::Kind::Empty:
        return 0.0;
    case CellValue::Kind::Text:
        return WholeNumber(cell.text);
    }
    return std::nullopt;
}

std::string RowText(int row) {
    return "Row " + std::to_string(row) + ": ";
}

std::string RowName(int row) {
    return "Row " + std::to_string(row);
}

} // namespace

std::string ImportResult::message() const {
    std::string text;
    // A sheet of a thousand damaged names must still give a box that fits on the screen.
    const std::size_t listed = std::min(notes.size(), kNotesListed);
    for (std::size_t i = 0; i < listed; ++i) {
        if (!text.empty()) text += '\n';
        text += notes[i];
    }
    if (notes.size() > listed)
        text += "\n" + std::to_string(notes.size() - listed) +
                " more changes to names and categories are not listed.";
    const std::string stop = stopReason();
    if (!text.empty() && !stop.empty()) text += '\n';
    return text + stop;
}

std::string ImportResult::stopReason() const {
    const std::string at = RowText(row);
    switch (status) {
    case Status::Imported:
        return {};
    case Status::CannotOpen:
        return reason;
    case Status::ValueRowBeforeName:
        return at + "a value row comes before the first \"Name\" row.";
    case Status::TypeRowBeforeName:
        return at + "a \"Type\" row comes before the first \"Name\" row.";
    case Status::TooManyValueRows:
        return at + "a material has more than " + std::to_string(kMaxValueRowsPerMaterial) +
               " value rows.";
    case Status::NotANumber:
        return at + "column B of a value row is not a number.";
    case Status::MissingEnd:
        return at + "the sheet has no \"End\" row.";
    case Status::LibraryFull:
        return at + "the library already holds " + std::to_string(kMaxMaterials) + " materials.";
    case Status::Refused:
        return reason;
    }
    return {};
}

ImportResult ImportWorksheet(const Worksheet& sheet, Library& library) {
    library.Clear();
    ImportResult result;
    const auto stopAt = [&result](ImportResult::Status status, int row) {
        result.status = status;
        result.row = row;
        return result;
    };
    TextFitter fit(result.notes);
    int valueRows = 0;
    for (int row = 1; row <= kLastSheetRow; ++row) {
        const std::string label = CellText(sheet.cell(row, 1));
        if (EqualsNoCase(label, "End")) return stopAt(ImportResult::Status::Imported, row);
        const std::string_view key = TrimBlanks(label);
        const int current = library.LastMaterialIndex();
        if (EqualsNoCase(key, "Name")) {
            if (library.IsFull()) return stopAt(ImportResult::Status::LibraryFull, row);
            valueRows = 0;
            const std::string name = fit.name(CellText(sheet.cell(row, 2)), RowName(row));
            library.AddMaterial("", "", name, "");
        } else if (EqualsNoCase(key, "Type")) {
            if (current < 0) return stopAt(ImportResult::Status::TypeRowBeforeName, row);
            const std::string category = fit.category(CellText(sheet.cell(row, 2)), RowName(row));
            library.SetCategory(current, category);
        } else {
            if (current < 0) return stopAt(ImportResult::Status::ValueRowBeforeName, row);
            if (++valueRows > kMaxValueRowsPerMaterial)
                return stopAt(ImportResult::Status::TooManyValueRows, row);
            const std::optional<double> value = CellNumber(sheet.cell(row, 2));
            if (!value) return stopAt(ImportResult::Status::NotANumber, row);
            const int slot = CodeSlot(label);
            if (slot >= 0) {
                library.SetOriginalValue(current, slot, *value);
            }
        }
    }
    return stopAt(ImportResult::Status::MissingEnd, kLastSheetRow);
}

ImportResult ImportFirstSheet(const std::string& path, SpreadsheetReader& reader,
                              const std::function<ImportResult(const Worksheet&)>& import) {
    ImportResult result;
    result.status = ImportResult::Status::CannotOpen;
    std::unique_ptr<Workbook> workbook = reader.open(path, result.reason);
    if (!workbook) return result;
    std::unique_ptr<Worksheet> sheet = workbook->firstSheet(result.reason);
    if (!sheet) return result;
    return import(*sheet);
}

ImportResult ImportSpreadsheet(const std::string& path, SpreadsheetReader& reader,
                               Library& library) {
    return ImportFirstSheet(path, reader, [&library](const Worksheet& sheet) {
        return ImportWorksheet(sheet, library);
    });
}

} // namespace mb
