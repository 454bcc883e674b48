#include "TableLayout.h"

#include "ExchangeText.h"
#include "Library.h"
#include "PropertyCatalogue.h"
#include "ShownSheet.h"
#include "TextUtil.h"
#include "UnitConversion.h"

#include <array>
#include <bitset>
#include <cmath>
#include <optional>

namespace mb {

namespace {

constexpr std::array<std::string_view, 4> kTextHeadings = {"Category", "Name", "Name code",
                                                           "Description"};
constexpr int kFirstCodeColumn = static_cast<int>(kTextHeadings.size()) + 1;
constexpr int kUnitRow = 2;
constexpr int kFirstMaterialRow = 3;

const std::string& UnitLabel(int system, int slot) {
    switch (system) {
    case UnitSystemIndex::IPS:
        return UnitsIPS(slot);
    case UnitSystemIndex::MKS:
        return UnitsMKS(slot);
    default:
        return UnitsSI(slot);
    }
}

bool IsEmpty(const CellValue& cell) {
    return cell.kind == CellValue::Kind::Empty ||
           (cell.kind == CellValue::Kind::Text && trimBlanks(cell.text).empty());
}

} // namespace

CellRows exportTable(const std::vector<ExportedCategory>& selection, int unitSystem) {
    const std::vector<int> slots = slotsWithValues(selection);
    const std::string_view system = unitSystemName(unitSystem);
    CellRows rows(2);
    for (const std::string_view heading : kTextHeadings) {
        rows[0].push_back(CellValue::ofText(std::string(heading)));
        rows[1].push_back(CellValue::empty());
    }
    for (const int slot : slots) {
        rows[0].push_back(CellValue::ofText(PropertyCatalogue::instance().PropCode(slot)));
        rows[1].push_back(CellValue::ofText(latin1ToUtf8(trimBlanks(UnitLabel(unitSystem, slot)))));
    }
    const clsUnitConversion converter;
    for (const ExportedCategory& c : selection) {
        for (const ExportedMaterial& m : c.materials) {
            std::vector<CellValue>& row = rows.emplace_back();
            row.reserve(kTextHeadings.size() + slots.size());
            for (const std::string* text : {&c.name, &m.name, &m.nameCode, &m.description})
                row.push_back(text->empty() ? CellValue::empty()
                                            : CellValue::ofText(latin1ToUtf8(*text)));
            // A row of empty cells is passed over by the import: a material without any text
            // gets a blank for a name, which a save writes as it writes no name at all.
            if (m.name.empty() && m.nameCode.empty() && c.name.empty() && m.description.empty())
                row[1] = CellValue::ofText(" ");
            for (const int slot : slots)
                row.push_back(m.record->HasValue(slot)
                                  ? CellValue::ofNumber(converter.ChangeUnits(
                                        "SI", system, slot, m.record->slotValue(slot)))
                                  : CellValue::empty());
        }
    }
    return rows;
}

bool isTableLayout(const Worksheet& sheet) {
    const ShownSheet shown(sheet);
    for (std::size_t i = 0; i < kTextHeadings.size(); ++i) {
        const CellValue cell = shown.cell(1, static_cast<int>(i) + 1);
        if (cell.kind != CellValue::Kind::Text ||
            !equalsNoCase(trimBlanks(cell.text), kTextHeadings[i]))
            return false;
    }
    return true;
}

ImportResult importTable(const Worksheet& sheet, Library& library) {
    using Status = ImportResult::Status;
    library.clear();
    ImportResult result;
    const ShownSheet shown(sheet);
    if (!shown.followsEveryMerge())
        return result.stop(Status::Refused, 1, "row 1",
                           "the sheet merges more cells than the import can follow", library);
    const Worksheet::Extent extent = shown.extent();
    const auto cellAt = [](int row, int column) { return "cell " + cellName(row, column); };
    // A sheet that says it goes on past what a sheet can have here would lose that part.
    const Worksheet::Extent own = sheet.extent();
    if (own.columns != INT_MAX && own.columns > kLastSheetColumn)
        for (int row = 1; row <= extent.rows; ++row)
            for (int column = kLastSheetColumn + 1; column <= own.columns; ++column)
                if (!IsEmpty(sheet.cell(row, column)))
                    return result.stop(Status::Refused, row, cellAt(row, column),
                                       "the table goes on past column " +
                                           cellName(1, kLastSheetColumn).substr(0, 2) +
                                           ", the last a sheet can have",
                                       library);
    if (own.rows != INT_MAX && own.rows > kLastSheetRow)
        return result.stop(Status::Refused, kLastSheetRow, "row " + std::to_string(kLastSheetRow),
                           "the table goes on past it, the last row a sheet can have", library);

    // A code column for each heading up to the sheet's last column; a column without a
    // heading cannot say what its values are, but the columns after it still can.
    std::vector<int> slots, columns;
    std::bitset<kSlotCount> seen;
    for (int column = kFirstCodeColumn; column <= extent.columns; ++column) {
        const CellValue heading = shown.cell(1, column);
        if (IsEmpty(heading)) {
            int values = 0;
            for (int row = kFirstMaterialRow; row <= extent.rows; ++row)
                values += IsEmpty(shown.cell(row, column)) ? 0 : 1;
            if (values > 0)
                result.notes.push_back("Cell " + cellName(1, column) +
                                       ": the column has no property code; its " +
                                       (values == 1 ? std::string("value was")
                                                    : std::to_string(values) + " values were") +
                                       " left out.");
            continue;
        }
        const int slot = codeSlot(cellText(heading));
        if (slot < 0)
            return result.stop(Status::Refused, 1, cellAt(1, column),
                               quotedCell(heading) + " is not a property code", library);
        if (seen[static_cast<std::size_t>(slot)])
            return result.stop(
                Status::Refused, 1, cellAt(1, column),
                "a second column for " + PropertyCatalogue::instance().PropCode(slot), library);
        seen.set(static_cast<std::size_t>(slot));
        slots.push_back(slot);
        columns.push_back(column);
    }

    // The one system whose labels all columns carry; where several fit they agree.
    std::array<bool, kUnitSystemCount> fits{true, true, true};
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const std::string unit(
            trimBlanks(utf8ToLibraryText(cellText(shown.cell(kUnitRow, columns[i])))));
        bool any = false;
        for (int system = 0; system < kUnitSystemCount; ++system) {
            const bool matches = trimBlanks(UnitLabel(system, slots[i])) == unit;
            any = any || matches;
            fits[static_cast<std::size_t>(system)] =
                fits[static_cast<std::size_t>(system)] && matches;
        }
        if (!any)
            return result.stop(Status::Refused, kUnitRow, cellAt(kUnitRow, columns[i]),
                               "\"" + excerpt(unit) + "\" is not a unit of " +
                                   PropertyCatalogue::instance().PropCode(slots[i]) +
                                   " in IPS, SI or MKS",
                               library);
    }
    int system = -1;
    for (const int s : {UnitSystemIndex::SI, UnitSystemIndex::IPS, UnitSystemIndex::MKS})
        if (system < 0 && fits[static_cast<std::size_t>(s)]) system = s;
    if (system < 0)
        return result.stop(Status::Refused, kUnitRow, "row " + std::to_string(kUnitRow),
                           "the units are not all of one system (IPS, SI or MKS)", library);

    TextFitter fit(result.notes);
    const clsUnitConversion converter;
    std::array<std::optional<double>, kSlotCount> values;
    for (int row = kFirstMaterialRow; row <= extent.rows; ++row) {
        std::array<CellValue, kTextHeadings.size()> texts;
        bool blank = true;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            texts[i] = shown.cell(row, static_cast<int>(i) + 1);
            blank = blank && texts[i].kind == CellValue::Kind::Empty;
        }
        std::vector<CellValue> cells;
        cells.reserve(columns.size());
        for (const int column : columns) {
            cells.push_back(shown.cell(row, column));
            blank = blank && cells.back().kind == CellValue::Kind::Empty;
        }
        // A blank row sets groups of materials apart; the table goes on after it.
        if (blank) continue;
        const std::string where = "Row " + std::to_string(row);
        if (library.isFull())
            return result.stop(Status::LibraryFull, row, "row " + std::to_string(row),
                               "the library already holds " + std::to_string(kMaxMaterials) +
                                   " materials",
                               library);
        const auto text = [&](std::size_t i, std::string_view what) {
            if (texts[i].kind == CellValue::Kind::Formula)
                result.notes.push_back("Cell " + cellName(row, static_cast<int>(i) + 1) +
                                       ": a formula whose value the file does not keep; the " +
                                       std::string(what) + " was left empty.");
            return cellText(texts[i]);
        };
        const std::string category = fit.category(text(0, "category"), where);
        const std::string name = fit.name(text(1, "name"), where);
        const std::string nameCode = fit.nameCode(text(2, "name code"), where);
        const std::string description = fit.description(text(3, "description"), where);
        values.fill(std::nullopt);
        for (std::size_t i = 0; i < slots.size(); ++i) {
            const CellValue& cell = cells[i];
            if (cell.kind == CellValue::Kind::Formula) {
                result.notes.push_back("Cell " + cellName(row, columns[i]) +
                                       ": a formula whose value the file does not keep; " +
                                       PropertyCatalogue::instance().PropCode(slots[i]) +
                                       " was left unset.");
                continue;
            }
            if (IsEmpty(cell)) continue;
            const std::optional<double> value =
                cell.kind == CellValue::Kind::Number
                    ? (std::isfinite(cell.number) ? std::optional(cell.number) : std::nullopt)
                    : wholeNumber(cell.text);
            if (!value)
                return result.stop(Status::Refused, row, cellAt(row, columns[i]),
                                   quotedCell(cell) + " is not a number", library);
            values[static_cast<std::size_t>(slots[i])] =
                converter.ChangeUnits(unitSystemName(system), "SI", slots[i], *value);
        }
        const int n = library.addMaterial(category, nameCode, name, description);
        for (const int slot : slots)
            if (const std::optional<double>& v = values[static_cast<std::size_t>(slot)])
                library.setOriginalValue(n, slot, *v);
    }
    result.row = extent.rows;
    result.materials = library.materialCount();
    return result;
}

ImportResult importAnyLayout(const Worksheet& sheet, Library& library) {
    return isTableLayout(sheet) ? importTable(sheet, library) : importWorksheet(sheet, library);
}

} // namespace mb
