#include "SpreadsheetImport.h"
#include "ShortestNumber.h"

#include "ExchangeText.h"
#include "Library.h"
#include "PropertyCatalogue.h"
#include "ShownSheet.h"
#include "Spreadsheet.h"
#include "TextUtil.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace mb {

namespace {

bool IsBlank(const CellValue& cell) {
    return cell.kind == CellValue::Kind::Empty ||
           (cell.kind == CellValue::Kind::Text && trimBlanks(cell.text).empty());
}

std::string RowName(int row) {
    return "Row " + std::to_string(row);
}

std::string MaterialsBefore(int count) {
    if (count == 0) return "No material came before it.";
    if (count == 1) return "The 1 material before it was imported.";
    return "The " + std::to_string(count) + " materials before it were imported.";
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
                " more cells or rows not taken as they stood are not listed here.";
    const std::string stopped = stopReason();
    if (!text.empty() && !stopped.empty()) text += '\n';
    return text + stopped;
}

std::string ImportResult::stopReason() const {
    if (status == Status::Imported) return {};
    if (status == Status::CannotOpen) return reason;
    return "The import stopped at " + place + (file.empty() ? "" : " of \"" + file + "\"") + ": " +
           reason + ". " + MaterialsBefore(materials);
}

ImportResult& ImportResult::stop(Status why, int atRow, std::string where, std::string what,
                                 const Library& library) {
    status = why;
    row = atRow;
    place = std::move(where);
    reason = std::move(what);
    materials = library.materialCount();
    return *this;
}

ImportResult importWorksheet(const Worksheet& sheet, Library& library) {
    using Status = ImportResult::Status;
    library.clear();
    ImportResult result;
    const ShownSheet shown(sheet);
    if (!shown.followsEveryMerge())
        return result.stop(Status::Refused, 1, "row 1",
                           "the sheet merges more cells than the import can follow", library);
    TextFitter fit(result.notes);
    int valueRows = 0;
    std::array<int, kSlotCount> givenAt{}; // the row that gave each property of the material
    const int lastRow = shown.extent().rows;
    for (int row = 1; row <= lastRow; ++row) {
        const CellValue a = shown.cell(row, 1);
        const CellValue b = shown.cell(row, 2);
        const std::string label = cellText(a);
        if (a.kind == CellValue::Kind::Text && equalsNoCase(label, "End")) {
            result.row = row;
            result.materials = library.materialCount();
            return result;
        }
        // A blank row sets a block apart; it is no value row.
        if (IsBlank(a) && IsBlank(b) && a.kind != CellValue::Kind::Formula) continue;
        const std::string where = RowName(row);
        const std::string_view key = trimBlanks(label);
        const int current = library.LastMaterialIndex();
        const auto textOfB = [&](std::string_view what) {
            if (b.kind == CellValue::Kind::Formula)
                result.notes.push_back("Cell " + cellName(row, 2) +
                                       ": a formula whose value the file does not keep; the " +
                                       std::string(what) + " was left empty.");
            return cellText(b);
        };
        if (equalsNoCase(key, "Name")) {
            if (library.isFull())
                return result.stop(Status::LibraryFull, row, "row " + std::to_string(row),
                                   "the library already holds " + std::to_string(kMaxMaterials) +
                                       " materials",
                                   library);
            valueRows = 0;
            givenAt.fill(0);
            const std::string name = fit.name(textOfB("name"), where);
            library.addMaterial("", "", name, "");
            continue;
        }
        if (equalsNoCase(key, "Type")) {
            if (current < 0)
                return result.stop(Status::TypeRowBeforeName, row, "row " + std::to_string(row),
                                   "a \"Type\" row comes before the first \"Name\" row", library);
            library.setCategory(current, fit.category(textOfB("category"), where));
            continue;
        }
        if (current < 0)
            return result.stop(Status::ValueRowBeforeName, row, "row " + std::to_string(row),
                               "a value row comes before the first \"Name\" row", library);
        if (++valueRows > kMaxValueRowsPerMaterial)
            return result.stop(
                Status::TooManyValueRows, row, "row " + std::to_string(row),
                "the material " + quotedCell(CellValue::ofText(library.entry(current).Name)) +
                    " has more than " + std::to_string(kMaxValueRowsPerMaterial) + " value rows",
                library);
        std::optional<double> value;
        if (b.kind == CellValue::Kind::Number && std::isfinite(b.number))
            value = b.number;
        else if (b.kind == CellValue::Kind::Text && !IsBlank(b))
            value = wholeNumber(b.text);
        if (!value && !IsBlank(b) && b.kind != CellValue::Kind::Formula)
            return result.stop(Status::NotANumber, row, "row " + std::to_string(row),
                               "column B holds " + quotedCell(b) + ", not a number", library);
        const int slot = codeSlot(label);
        if (slot < 0) {
            result.notes.push_back(where + ": " +
                                   (IsBlank(a) ? std::string("column A holds no property code")
                                               : quotedCell(a) + " is not a property code") +
                                   (value
                                        ? "; its value " + shortestNumber(*value) + " was left out."
                                        : "; the row was left out."));
            continue;
        }
        const std::string& code = PropertyCatalogue::instance().PropCode(slot);
        if (b.kind == CellValue::Kind::Formula) {
            result.notes.push_back("Cell " + cellName(row, 2) +
                                   ": a formula whose value the file does not keep; " + code +
                                   " was left unset.");
            continue;
        }
        if (!value) continue; // an empty cell: the property has no value
        int& before = givenAt[static_cast<std::size_t>(slot)];
        if (before > 0)
            result.notes.push_back(where + ": a second value for " + code + " (row " +
                                   std::to_string(before) + " gave one); this one was taken.");
        before = row;
        library.setOriginalValue(current, slot, *value);
    }
    return result.stop(Status::MissingEnd, std::max(lastRow, 1),
                       "row " + std::to_string(std::max(lastRow, 1)),
                       "the sheet ends without an \"End\" row", library);
}

ImportResult importFirstSheet(const std::string& path, SpreadsheetReader& reader,
                              const std::function<ImportResult(const Worksheet&)>& import) {
    ImportResult result;
    result.status = ImportResult::Status::CannotOpen;
    Result<std::unique_ptr<Workbook>> workbook = reader.open(path);
    if (!workbook) {
        result.reason = workbook.failure().what;
    } else if (Result<std::unique_ptr<Worksheet>> sheet = workbook.value()->firstSheet(); !sheet) {
        result.reason = sheet.failure().what;
    } else {
        result = import(*sheet.value());
    }
    result.file = path;
    return result;
}

ImportResult ImportSpreadsheet(const std::string& path, SpreadsheetReader& reader,
                               Library& library) {
    return importFirstSheet(path, reader, [&library](const Worksheet& sheet) {
        return importWorksheet(sheet, library);
    });
}

} // namespace mb
