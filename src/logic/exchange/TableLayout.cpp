#include "TableLayout.h"

#include "ExchangeText.h"
#include "Library.h"
#include "PropertyCatalogue.h"
#include "TextUtil.h"
#include "UnitConversion.h"

#include <array>
#include <bitset>
#include <cmath>

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
           (cell.kind == CellValue::Kind::Text && TrimBlanks(cell.text).empty());
}

ImportResult Refused(ImportResult result, std::string reason) {
    result.status = ImportResult::Status::Refused;
    result.reason = std::move(reason);
    return result;
}

} // namespace

CellRows ExportTable(const std::vector<ExportedCategory>& selection, int unitSystem) {
    const std::vector<int> slots = SlotsWithValues(selection);
    const std::string_view system = UnitSystemName(unitSystem);
    CellRows rows(2);
    for (const std::string_view heading : kTextHeadings) {
        rows[0].push_back(CellValue::Text(std::string(heading)));
        rows[1].push_back(CellValue::Empty());
    }
    for (const int slot : slots) {
        rows[0].push_back(CellValue::Text(PropertyCatalogue::instance().PropCode(slot)));
        rows[1].push_back(CellValue::Text(std::string(TrimBlanks(UnitLabel(unitSystem, slot)))));
    }
    const clsUnitConversion converter;
    for (const ExportedCategory& c : selection) {
        for (const ExportedMaterial& m : c.materials) {
            std::vector<CellValue>& row = rows.emplace_back();
            row.reserve(kTextHeadings.size() + slots.size());
            for (const std::string* text : {&c.name, &m.name, &m.nameCode, &m.description})
                row.push_back(text->empty() ? CellValue::Empty() : CellValue::Text(*text));
            // A row of empty cells ends the table: a material without any text gets a blank
            // for a name, which a save writes as it writes no name at all.
            if (m.name.empty() && m.nameCode.empty() && c.name.empty() && m.description.empty())
                row[1] = CellValue::Text(" ");
            for (const int slot : slots)
                row.push_back(m.record->HasValue(slot)
                                  ? CellValue::Number(converter.ChangeUnits(
                                        "SI", system, slot, m.record->SlotValue(slot)))
                                  : CellValue::Empty());
        }
    }
    return rows;
}

bool IsTableLayout(const Worksheet& sheet) {
    for (std::size_t i = 0; i < kTextHeadings.size(); ++i) {
        const CellValue cell = sheet.cell(1, static_cast<int>(i) + 1);
        if (cell.kind != CellValue::Kind::Text ||
            !EqualsNoCase(TrimBlanks(cell.text), kTextHeadings[i]))
            return false;
    }
    return true;
}

ImportResult ImportTable(const Worksheet& sheet, Library& library) {
    library.Clear();
    ImportResult result;
    // The code columns run up to the first empty heading.
    std::vector<int> slots;
    std::bitset<kSlotCount> seen;
    for (int column = kFirstCodeColumn;; ++column) {
        const CellValue heading = sheet.cell(1, column);
        if (IsEmpty(heading)) break;
        const std::string code = CellText(heading);
        const int slot = CodeSlot(code);
        if (slot < 0)
            return Refused(result, "Cell " + CellName(1, column) + ": \"" + Excerpt(code) +
                                       "\" is not a property code.");
        if (seen[static_cast<std::size_t>(slot)])
            return Refused(result, "Cell " + CellName(1, column) + ": a second column for " +
                                       PropertyCatalogue::instance().PropCode(slot) + ".");
        seen.set(static_cast<std::size_t>(slot));
        slots.push_back(slot);
    }
    const int lastColumn = kFirstCodeColumn + static_cast<int>(slots.size()) - 1;

    // The one system whose labels all columns carry; where several fit they agree.
    std::array<bool, kUnitSystemCount> fits{true, true, true};
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const int column = kFirstCodeColumn + static_cast<int>(i);
        const std::string unit(TrimBlanks(CellText(sheet.cell(kUnitRow, column))));
        bool any = false;
        for (int system = 0; system < kUnitSystemCount; ++system) {
            const bool matches = TrimBlanks(UnitLabel(system, slots[i])) == unit;
            any = any || matches;
            fits[static_cast<std::size_t>(system)] =
                fits[static_cast<std::size_t>(system)] && matches;
        }
        if (!any)
            return Refused(result, "Cell " + CellName(kUnitRow, column) + ": \"" + Excerpt(unit) +
                                       "\" is not a unit of " +
                                       PropertyCatalogue::instance().PropCode(slots[i]) +
                                       " in IPS, SI or MKS.");
    }
    int system = -1;
    for (const int s : {UnitSystemIndex::SI, UnitSystemIndex::IPS, UnitSystemIndex::MKS})
        if (system < 0 && fits[static_cast<std::size_t>(s)]) system = s;
    if (system < 0)
        return Refused(result, "Row " + std::to_string(kUnitRow) +
                                   ": the units are not all of one system (IPS, SI or MKS).");

    TextFitter fit(result.notes);
    const clsUnitConversion converter;
    for (int row = kFirstMaterialRow; row <= kLastSheetRow; ++row) {
        std::vector<CellValue> cells;
        bool empty = true;
        for (int column = 1; column <= lastColumn; ++column) {
            cells.push_back(sheet.cell(row, column));
            empty = empty && cells.back().kind == CellValue::Kind::Empty;
        }
        if (empty) {
            result.row = row;
            return result;
        }
        const std::string where = "Row " + std::to_string(row);
        if (library.IsFull())
            return Refused(result, where + ": the library already holds " +
                                       std::to_string(kMaxMaterials) + " materials.");
        const std::string category = fit.category(CellText(cells[0]), where);
        const std::string name = fit.name(CellText(cells[1]), where);
        const std::string nameCode = fit.nameCode(CellText(cells[2]), where);
        const std::string description = fit.description(CellText(cells[3]), where);
        std::array<double, kSlotCount> values{};
        for (std::size_t i = 0; i < slots.size(); ++i) {
            const CellValue& cell = cells[kTextHeadings.size() + i];
            if (IsEmpty(cell)) continue;
            const std::optional<double> value = cell.kind == CellValue::Kind::Number
                                                    ? std::optional(cell.number)
                                                    : WholeNumber(cell.text);
            if (!value || !std::isfinite(*value))
                return Refused(result,
                               "Cell " + CellName(row, kFirstCodeColumn + static_cast<int>(i)) +
                                   ": \"" + Excerpt(CellText(cell)) + "\" is not a number.");
            values[static_cast<std::size_t>(slots[i])] =
                converter.ChangeUnits(UnitSystemName(system), "SI", slots[i], *value);
        }
        const int n = library.AddMaterial(category, nameCode, name, description);
        for (std::size_t i = 0; i < slots.size(); ++i)
            if (!IsEmpty(cells[kTextHeadings.size() + i]))
                library.SetOriginalValue(n, slots[i], values[static_cast<std::size_t>(slots[i])]);
    }
    return Refused(result, "Row " + std::to_string(kLastSheetRow) +
                               ": the table goes on past the last row a sheet can have.");
}

ImportResult ImportAnyLayout(const Worksheet& sheet, Library& library) {
    return IsTableLayout(sheet) ? ImportTable(sheet, library) : ImportWorksheet(sheet, library);
}

} // namespace mb
