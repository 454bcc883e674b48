#include "SpreadsheetImport.h"

#include "Library.h"
#include "LibraryTextRules.h"
#include "PropertyCatalogue.h"
#include "Spreadsheet.h"
#include "TextUtil.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>

namespace mb {

namespace {

// Shortest text that reads back as the same number: a name typed as 42 stays "42".
std::string NumberText(double v) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    return ec == std::errc() ? std::string(buffer, end) : std::string();
}

std::string CellText(const CellValue& cell) {
    switch (cell.kind) {
    case CellValue::Kind::Text:
        return cell.text;
    case CellValue::Kind::Number:
        return NumberText(cell.number);
    case CellValue::Kind::Empty:
        break;
    }
    return {};
}

// A value row's column B: an empty cell counts as 0, and a text counts when it is a
// number written out in full (a sheet may hold "210E9" typed as text).
std::optional<double> CellNumber(const CellValue& cell) {
    switch (cell.kind) {
    case CellValue::Kind::Number:
        return cell.number;
    case CellValue::Kind::Empty:
        return 0.0;
    case CellValue::Kind::Text: {
        const std::string_view t = TrimBlanks(cell.text);
        if (t.empty()) return std::nullopt;
        double v = 0;
        const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
        if (ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
        // "inf" and "nan" read as numbers, but no file can hold them: a save would turn
        // them into the largest double and zero.
        if (!std::isfinite(v)) return std::nullopt;
        return v;
    }
    }
    return std::nullopt;
}

// Slot of the property a value row's label names, or -1 for a row that names none.
int PropertySlot(std::string_view label) {
    const std::string_view code = TrimBlanks(label);
    if (code.empty()) return -1; // an empty code would land on a reserved slot
    clsMaterial probe;
    probe.Property(code);
    probe.PropIndex();
    const int slot = probe.Index();
    if (slot < 0 || PropertyCatalogue::instance().PropCode(slot).empty()) return -1;
    return slot;
}

std::string RowText(int row) {
    return "Row " + std::to_string(row) + ": ";
}

// A cell can hold anything, line breaks included; written as it is, a name "Steel", LF,
// "A36" would make two lines of the library, and a CR LF followed by "MATL:" a material
// of its own.
std::string FitName(std::string name, int row, std::vector<std::string>& notes) {
    if (HasControlCharacter(name)) {
        name = ReplaceControlCharacters(name);
        notes.push_back(RowText(row) +
                        "line breaks, tabs and other control characters in the name were "
                        "replaced by blanks.");
    }
    // Blanks around the name are kept as the sheet has them unless they alone push it
    // past the columns of the name field.
    if (name.size() > kNameColumns) {
        const std::string_view visible = TrimBlanks(name);
        if (visible.size() > kNameColumns) {
            name = CutToColumns(visible, kNameColumns);
            notes.push_back(
                RowText(row) + "the name has more than " + std::to_string(kNameColumns) +
                " characters, the most a library keeps; it was shortened to \"" + name + "\".");
        } else {
            name = std::string(visible);
        }
    }
    return name;
}

// A category line has no width limit, but it must stay one line.
std::string FitCategory(std::string category, int row, std::vector<std::string>& notes) {
    if (!HasControlCharacter(category)) return category;
    notes.push_back(RowText(row) +
                    "line breaks, tabs and other control characters in the category were "
                    "replaced by blanks.");
    return ReplaceControlCharacters(category);
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
    int valueRows = 0;
    for (int row = 1; row <= kLastSheetRow; ++row) {
        const std::string label = CellText(sheet.cell(row, 1));
        if (EqualsNoCase(label, "End")) return stopAt(ImportResult::Status::Imported, row);
        const std::string_view key = TrimBlanks(label);
        const int current = library.LastMaterialIndex();
        if (EqualsNoCase(key, "Name")) {
            if (library.IsFull()) return stopAt(ImportResult::Status::LibraryFull, row);
            valueRows = 0;
            const std::string name = FitName(CellText(sheet.cell(row, 2)), row, result.notes);
            library.AddMaterial("", "", name, "");
        } else if (EqualsNoCase(key, "Type")) {
            if (current < 0) return stopAt(ImportResult::Status::TypeRowBeforeName, row);
            const std::string category =
                FitCategory(CellText(sheet.cell(row, 2)), row, result.notes);
            library.SetCategory(current, category);
        } else {
            if (current < 0) return stopAt(ImportResult::Status::ValueRowBeforeName, row);
            if (++valueRows > kMaxValueRowsPerMaterial)
                return stopAt(ImportResult::Status::TooManyValueRows, row);
            const std::optional<double> value = CellNumber(sheet.cell(row, 2));
            if (!value) return stopAt(ImportResult::Status::NotANumber, row);
            const int slot = PropertySlot(label);
            if (slot >= 0) {
                library.SetOriginalValue(current, slot, *value);
            }
        }
    }
    return stopAt(ImportResult::Status::MissingEnd, kLastSheetRow);
}

ImportResult ImportSpreadsheet(const std::string& path, SpreadsheetReader& reader,
                               Library& library) {
    ImportResult result;
    result.status = ImportResult::Status::CannotOpen;
    std::unique_ptr<Workbook> workbook = reader.open(path, result.reason);
    if (!workbook) return result;
    std::unique_ptr<Worksheet> sheet = workbook->firstSheet(result.reason);
    if (!sheet) return result;
    return ImportWorksheet(*sheet, library);
}

} // namespace mb
