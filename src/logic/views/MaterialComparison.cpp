#include "MaterialComparison.h"

#include "Library.h"
#include "MaterialModel.h"
#include "MaterialQuery.h"
#include "NumberText.h"
#include "PropertyCatalogue.h"
#include "TextUtil.h"
#include "UnitConversion.h"

#include <algorithm>
#include <functional>

namespace mb {

namespace {

int SystemIndex(std::string_view unitSystem) {
    for (int i = 0; i < kUnitSystemCount; ++i)
        if (unitSystemName(i) == unitSystem) return i;
    return -1;
}

// The first grid row that shows a slot, in any type's layout: the comparison labels a
// property as the editor's grid does.
const GridRow* GridRowOf(int slot) {
    for (int type = 0; type < kMaterialTypeCount; ++type)
        for (const GridRow& row : gridLayout(type))
            if (row.slot == slot) return &row;
    return nullptr;
}

std::size_t ValuesHash(const Library& library, int n) {
    if (!library.hasRecord(n)) return 0;
    const clsMaterial& record = *library.Materials()[static_cast<std::size_t>(n)];
    std::size_t hash = 0;
    for (int slot = 0; slot < kVisitedSlots; ++slot)
        if (record.HasValue(slot))
            hash = hash * 1000003u ^ (std::hash<double>{}(record.slotValue(slot)) + slot);
    return hash;
}

std::string CsvField(const std::string& field) {
    const bool quote = field.find_first_of(",\"\r\n") != std::string::npos ||
                       (!field.empty() && (field.front() == ' ' || field.back() == ' '));
    if (!quote) return field;
    std::string out = "\"";
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string Joined(const std::vector<std::vector<std::string>>& lines, char separator,
                   std::string (*field)(const std::string&)) {
    std::string out;
    for (const auto& line : lines) {
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (i > 0) out += separator;
            out += field(line[i]);
        }
        out += '\n';
    }
    return out;
}

std::string AsIs(const std::string& field) {
    return field;
}

} // namespace

std::string shownUnits(int slot, std::string_view unitSystem) {
    const int system = SystemIndex(unitSystem);
    const GridRow* row = GridRowOf(slot);
    if (!row || system < 0) return "";
    switch (row->unit.kind) {
    case GridRowUnit::Kind::UnitText: {
        // The grid's last two texts repeat the stress unit.
        const int text = row->unit.text < 10 ? row->unit.text : 0;
        return std::string(trimBlanks(unitTexts(system)[static_cast<std::size_t>(text)]));
    }
    case GridRowUnit::Kind::Empty:
        return "";
    case GridRowUnit::Kind::Degrees:
        return "Degrees";
    case GridRowUnit::Kind::Temperature: {
        static const char* const names[] = {"Fahrenheit", "Kelvin", "Celsius"};
        return names[system];
    }
    case GridRowUnit::Kind::Record:
        // A record labels a code in IPS whatever the system shown, and so does the grid.
        return std::string(trimBlanks(UnitsIPS(slot)));
    }
    return "";
}

// The file's number text of the converted value, in general form, so that a value reads
// the same here as in the editor.
std::string shownValue(int slot, double si, std::string_view unitSystem,
                       std::string_view separator) {
    const double value = clsUnitConversion().ChangeUnits("SI", unitSystem, slot, si);
    return generalNumberText(value, separator);
}

std::string shownValueWithUnits(int slot, double si, std::string_view unitSystem,
                                std::string_view separator) {
    const std::string units = shownUnits(slot, unitSystem);
    const std::string value = shownValue(slot, si, unitSystem, separator);
    return units.empty() ? value : value + " " + units;
}

std::vector<std::vector<std::string>> ComparisonTable::lines() const {
    std::vector<std::vector<std::string>> out;
    std::vector<std::string> header = {"Property", "Description"};
    header.insert(header.end(), names.begin(), names.end());
    header.push_back("Units");
    header.push_back("Differs");
    out.push_back(std::move(header));
    for (const ComparisonRow& row : rows) {
        std::vector<std::string> line = {row.code, row.description};
        line.insert(line.end(), row.values.begin(), row.values.end());
        line.push_back(row.units);
        line.push_back(row.differs ? "*" : "");
        out.push_back(std::move(line));
    }
    return out;
}

std::string ComparisonTable::tabSeparated() const {
    return Joined(lines(), '\t', AsIs);
}

std::string ComparisonTable::csv() const {
    return Joined(lines(), ',', CsvField);
}

bool MaterialComparison::add(const Library& library, int n) {
    follow(library);
    if (!library.isValidNumber(n)) return false;
    if (std::any_of(columns_.begin(), columns_.end(),
                    [n](const Column& c) { return c.number == n; }))
        return false;
    columns_.push_back({n, nameKey(library.entry(n).Name), ValuesHash(library, n)});
    return true;
}

void MaterialComparison::remove(int column) {
    if (column < 0 || column >= columnCount()) return;
    columns_.erase(columns_.begin() + column);
}

void MaterialComparison::move(int from, int to) {
    if (from < 0 || from >= columnCount() || to < 0 || to >= columnCount() || from == to) return;
    const Column moved = columns_[static_cast<std::size_t>(from)];
    columns_.erase(columns_.begin() + from);
    columns_.insert(columns_.begin() + to, moved);
}

void MaterialComparison::clear() {
    columns_.clear();
    count_ = 0;
}

std::vector<int> MaterialComparison::materials() const {
    std::vector<int> out;
    for (const Column& c : columns_)
        out.push_back(c.number);
    return out;
}

bool MaterialComparison::follow(const Library& library) {
    const int count = library.materialCount();
    bool changed = false;
    std::vector<Column> kept;
    for (Column c : columns_) {
        const bool same =
            library.isValidNumber(c.number) && nameKey(library.entry(c.number).Name) == c.name;
        if (!same) {
            changed = true;
            int found = -1;
            for (int i = 0; i < count && found < 0; ++i)
                if (nameKey(library.entry(i).Name) == c.name) found = i;
            if (found >= 0) {
                c.number = found;
            } else if (count == count_ && library.isValidNumber(c.number) &&
                       ValuesHash(library, c.number) == c.values) {
                // Nothing was added or taken away, the name is gone and the values are as
                // they were: the material was renamed in place.
                c.name = nameKey(library.entry(c.number).Name);
            } else {
                continue;
            }
        }
        c.values = ValuesHash(library, c.number);
        kept.push_back(c);
    }
    columns_ = std::move(kept);
    count_ = count;
    return changed;
}

ComparisonTable MaterialComparison::table(const Library& library, std::string_view unitSystem,
                                          std::string_view separator) const {
    ComparisonTable table;
    std::vector<const clsMaterial*> records;
    for (const Column& c : columns_) {
        if (!library.isValidNumber(c.number) || !library.hasRecord(c.number)) continue;
        table.names.emplace_back(trimBlanks(library.entry(c.number).Name));
        records.push_back(library.Materials()[static_cast<std::size_t>(c.number)].get());
    }
    const auto& catalogue = PropertyCatalogue::instance();
    for (int slot = 0; slot < kVisitedSlots; ++slot) {
        if (std::none_of(records.begin(), records.end(),
                         [slot](const clsMaterial* r) { return r->HasValue(slot); }))
            continue;
        ComparisonRow row;
        row.slot = slot;
        row.code = catalogue.PropCode(slot);
        row.description = catalogue.PropDescription(slot);
        row.units = shownUnits(slot, unitSystem);
        // A material without the property says nothing about it: among materials of
        // different types nearly every row would be marked, and the mark would say nothing.
        const clsMaterial* first = nullptr;
        for (const clsMaterial* r : records) {
            const bool has = r->HasValue(slot);
            row.values.push_back(has ? shownValue(slot, r->slotValue(slot), unitSystem, separator)
                                     : "");
            if (!has) continue;
            if (!first)
                first = r;
            else if (!valuesEqual(r->slotValue(slot), first->slotValue(slot)))
                row.differs = true;
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

} // namespace mb
