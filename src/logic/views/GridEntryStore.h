#pragma once

#include <cstdint>
#include <string>

namespace mb {

struct AppState;
class ComboBox;
class GridControl;
class TreeControl;

/// The material selected in the tree: the number in the last four characters of the
/// selected node's key when that node has no children, -1 otherwise (no selection, or a
/// category that holds materials).
int16_t CurrentMaterial(const TreeControl& tree);

/// Stores what the user typed into a Value cell of the property grid into the material
/// selected in the tree, converted to SI, as an edit of its own in the edit history. The
/// editor window keeps one for this purpose; it reads the view state (tree selection, units
/// selector, the decimal separator) each time it is used.
class GridEntryStore {
public:
    GridEntryStore(AppState& state, const TreeControl& tree, const ComboBox& unitsCombo);

    /// Stores the grid's current cell, shown in row `Row` for the type chosen in `typeCombo`,
    /// into the selected material: a number in the shown system, or with a unit of its
    /// quantity ("200 GPa"). An empty cell, or one that is no value, clears the property's
    /// value.
    /// `Col`, `value` and `UnitSystem` are not used: the cell and the units selector decide.
    void Map(int16_t Row, int16_t Col, const std::string& value, int16_t UnitSystem,
             const GridControl& Grid, const ComboBox& typeCombo);

    int16_t CurrentMaterial() const;

    /// What `Map` would do with the grid's current cell in row `Row`.
    struct CellEntry {
        enum class Effect { Nothing, Clear, Set };
        Effect effect = Effect::Nothing;
        const std::string* code = nullptr; ///< the code stored into
        double si = 0;                     ///< the value stored, for Set
    };
    CellEntry read(int16_t Row, const GridControl& Grid, const ComboBox& typeCombo) const;

private:
    AppState& state_;
    const TreeControl& tree_;
    const ComboBox& unitsCombo_;
};

} // namespace mb
