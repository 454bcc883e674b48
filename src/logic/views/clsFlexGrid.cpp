#include "clsFlexGrid.h"

#include "Controls.h"
#include "Library.h"
#include "MaterialModel.h"
#include "NumberText.h"
#include "PropertyCatalogue.h"
#include "UnitConversion.h"

namespace mb {

clsFlexGrid::clsFlexGrid(GridContext context)
    : U(context.unitTexts), context_(std::move(context)) {}

std::string clsFlexGrid::UnitSystem() const {
    return std::string(unitSystemName(context_.unitsIndex));
}

void clsFlexGrid::InitializeGrid(GridControl& flexgrid) {
    grid_ = &flexgrid;
    grid_->setCols(Cols);
    for (int c = 0; c < Cols; ++c)
        Cell(c, 0, Header[c]);
}

std::string clsFlexGrid::shownText(int Col, int Row, const std::string& Text) const {
    const std::string& separator = context_.decimalSeparator;
    if (Col == 2 && Row >= 1 && isNumericText(Text, separator)) {
        if (const auto number = ParseNumberText(Text, separator))
            return formatGeneralNumber(*number, separator);
    }
    return Text;
}

void clsFlexGrid::Cell(int Col, int Row, const std::string& Text) {
    if (!grid_) return;
    grid_->setCurrentCell(Row, Col);
    grid_->setText(shownText(Col, Row, Text));
    grid_->autoSizeColumn(Col);
}

void clsFlexGrid::UpdateProperty(int nProp, const std::string& units, int Row) {
    const auto& catalogue = PropertyCatalogue::instance();
    Cell(0, Row, catalogue.PropCode(nProp));
    Cell(1, Row, catalogue.PropDescription(nProp));
    Cell(3, Row, units);
}

std::string clsFlexGrid::rowUnits(const GridRow& row, int material) {
    switch (row.unit.kind) {
    case GridRowUnit::Kind::UnitText:
        return U[row.unit.text];
    case GridRowUnit::Kind::Empty:
        return "";
    case GridRowUnit::Kind::Degrees:
        return "Degrees";
    case GridRowUnit::Kind::Temperature:
        switch (context_.unitsIndex) {
        case UnitSystemIndex::IPS:
            return "Fahrenheit";
        case UnitSystemIndex::SI:
            return "Kelvin";
        case UnitSystemIndex::MKS:
            return "Celsius";
        default:
            return "";
        }
    case GridRowUnit::Kind::Record: {
        Library& library = context_.library;
        if (material > -1) {
            clsMaterial& m = library.material(material);
            m.Property(row.code);
            return m.UnitsString();
        }
        if (library.hasRecord(0)) {
            clsMaterial& first = library.material(0);
            first.ChangeUnits("", UnitSystem(), false);
            first.Property(row.code);
            return first.UnitsString();
        }
        // No material and no first record to ask: the record label is the same for every
        // record, so any record gives it.
        clsMaterial scratch;
        scratch.Property(row.code);
        return scratch.UnitsString();
    }
    }
    return "";
}

std::string clsFlexGrid::rowValue(const GridRow& row, int material) {
    if (material < 0) return "";
    clsMaterial& m = context_.library.material(material);
    m.Property(row.code);
    m.PropIndex();
    if (!m.HasValue(m.Index())) return "";
    return m.PropValue(UnitSystem());
}

std::vector<std::array<std::string, 4>> clsFlexGrid::shownRows(int typeIndex, int material) {
    const auto& layout = gridLayout(typeIndex);
    if (material >= kMaxMaterials) material = -1;
    const int shown = typeIndex < 0 ? -1 : material;
    const auto& catalogue = PropertyCatalogue::instance();
    std::vector<std::array<std::string, 4>> rows;
    rows.reserve(layout.size() + 1);
    rows.push_back(Header);
    for (const GridRow& row : layout) {
        const bool fromCatalogue = row.slot >= 0 && row.slot != Slot::REFTEMP;
        // As FillGrid's last pass: the value first, then the units.
        std::string value = shownText(2, static_cast<int>(rows.size()), rowValue(row, shown));
        rows.push_back({fromCatalogue ? catalogue.PropCode(row.slot) : row.code,
                        fromCatalogue ? catalogue.PropDescription(row.slot) : row.description,
                        std::move(value), rowUnits(row, shown)});
    }
    return rows;
}

void clsFlexGrid::FillGrid(GridControl& grid, int typeIndex) {
    grid.clear();
    grid.setCurrentCell(0, 0);
    InitializeGrid(grid);

    const auto& layout = gridLayout(typeIndex);
    const int count = static_cast<int>(layout.size());
    grid.setRows(count + 1);

    int material = context_.material;
    // A key numbering no possible material has no record to show.
    if (material >= kMaxMaterials) material = -1;
    // No type chosen: the plasticity rows are laid out, but nothing is filled in.
    const int shown = typeIndex < 0 ? -1 : material;

    for (int r = 1; r <= count; ++r) {
        const GridRow& row = layout[r - 1];
        const std::string units = rowUnits(row, shown);
        if (row.slot >= 0 && row.slot != Slot::REFTEMP) {
            UpdateProperty(row.slot, units, r);
        } else {
            Cell(0, r, row.code);
            Cell(1, r, row.description);
            Cell(3, r, units);
        }
    }
    for (int r = 1; r <= count; ++r) {
        const GridRow& row = layout[r - 1];
        Cell(2, r, rowValue(row, shown));
        Cell(3, r, rowUnits(row, shown));
    }
}

} // namespace mb
