#pragma once

#include <array>
#include <string>
#include <vector>

namespace mb {

/// The thirteen material model types, by their index in the type selector.
inline constexpr int kMaterialTypeCount = 13;
const std::array<std::string, kMaterialTypeCount>& materialTypeNames();

/// What a grid row shows in its Units column.
struct GridRowUnit {
    enum class Kind {
        UnitText,    ///< one of the editor's twelve unit texts U0..U11 (`text`)
        Empty,       ///< no unit text at all
        Record,      ///< the record's own label for the code (its IPS label)
        Temperature, ///< "Fahrenheit", "Kelvin" or "Celsius" by the units selector
        Degrees,     ///< the literal "Degrees"
    };
    Kind kind = Kind::Empty;
    int text = 0;
};

struct GridRow {
    std::string code;        ///< catalogue code shown in column 0
    int slot = -1;           ///< catalogue slot of the code
    std::string description; ///< text shown in column 1
    GridRowUnit unit;
};

/// Rows 1..n of the property grid for a type. Any index outside 0..12 (including "none
/// selected") gets the plasticity layout.
const std::vector<GridRow>& gridLayout(int typeIndex);

/// The catalogue code that an edit in `row` (1-based) stores into for `typeIndex`,
/// or nullptr when that type does not list the row or the index is outside 0..12.
/// For the anisotropic type every row from 22 on means DENS.
const std::string* mapRowCode(int typeIndex, int row);

} // namespace mb
