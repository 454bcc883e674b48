#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace mb {

class GridControl;
class Library;
struct GridRow;

inline constexpr int kUnitLabelCount = 12;

/// What a grid rebuild reads of the editor, taken as it is when the rebuild starts.
struct GridContext {
    Library& library;
    std::string decimalSeparator; ///< the user's
    int unitsIndex = -1;          ///< the unit system chosen, -1 for none
    int material = -1;            ///< the material selected, -1 for none
    /// The unit texts of the hidden labels unitStringsLabel1 .. unitStringsLabel12.
    std::array<std::string, kUnitLabelCount> unitTexts;
};

/// Lays out and fills the property grid for one rebuild: one row per property of the
/// chosen material type with code, description, the selected material's value in the
/// chosen unit system, and the unit text. It holds no library data; make one per rebuild.
class clsFlexGrid {
public:
    /// Takes the unit texts U0..U11 from `context`.
    explicit clsFlexGrid(GridContext context);

    /// Clears `grid`, lays out the rows of type `typeIndex` and fills in the values.
    void FillGrid(GridControl& grid, int typeIndex);
    /// Takes `flexgrid` as the grid to work on, sets four columns and writes the headers.
    void InitializeGrid(GridControl& flexgrid);
    /// Writes one cell; a number in the Value column is shown in general decimal form
    /// with the user's decimal separator.
    void Cell(int Col, int Row, const std::string& Text);
    /// Writes a row's code, description (both from catalogue slot `nProp`) and units.
    void UpdateProperty(int nProp, const std::string& units, int Row);
    /// The cells FillGrid would show for `material` under type `typeIndex`, header row
    /// first, without touching a grid: code, description, value and units.
    std::vector<std::array<std::string, 4>> shownRows(int typeIndex, int material);

    int16_t Cols = 4;
    std::array<std::string, 4> Header{"Property", "Description", "Value", "Units"};
    /// U[0] .. U[11]: the unit texts of unitStringsLabel1 .. unitStringsLabel12.
    std::array<std::string, kUnitLabelCount> U;

private:
    /// What a cell shows for `Text`: a number in the Value column in general decimal form.
    std::string shownText(int Col, int Row, const std::string& Text) const;
    std::string rowUnits(const GridRow& row, int material);
    std::string rowValue(const GridRow& row, int material);

    /// "IPS", "SI" or "MKS" as chosen.
    std::string UnitSystem() const;

    GridContext context_;
    GridControl* grid_ = nullptr;
};

} // namespace mb
