#include "GridEntryStore.h"

#include "AppState.h"
#include "Controls.h"
#include "MaterialModel.h"
#include "NodeKey.h"
#include "NumberText.h"
#include "PropertyCatalogue.h"
#include "TextUtil.h"
#include "UnitConversion.h"

namespace mb {

int16_t CurrentMaterial(const TreeControl& tree) {
    const auto key = tree.selectedKey();
    if (!key || tree.childCount(*key) > 0) return -1;
    return static_cast<int16_t>(KeyTailNumber(*key));
}

GridEntryStore::GridEntryStore(AppState& state, const TreeControl& tree, const ComboBox& unitsCombo)
    : state_(state), tree_(tree), unitsCombo_(unitsCombo) {}

int16_t GridEntryStore::CurrentMaterial() const {
    return mb::CurrentMaterial(tree_);
}

void GridEntryStore::Map(int16_t Row, int16_t /*Col*/, const std::string& /*value*/,
                         int16_t /*UnitSystem*/, const GridControl& Grid,
                         const ComboBox& typeCombo) {
    // The row tables do not overlap, so looking the row up directly finds the same code
    // as searching them one after another.
    const std::string* code = MapRowCode(typeCombo.listIndex(), Row);
    if (!code) return;

    const int m = CurrentMaterial();
    // A key whose number lies outside the library names no material to store into.
    if (m < 0 || m >= kMaxMaterials) return;
    const std::string& separator = state_.doc.DecimalSeparator;
    EditHistory& history = state_.history;
    const auto edit = history.begin("Change " + std::string(TrimBlanks(*code)) + " of " +
                                    std::string(TrimBlanks(state_.library.Entry(m).Name)));
    const std::string cell = Grid.text();
    if (cell.empty() || !IsNumericText(cell, separator)) {
        history.ClearValue(m, *code);
        return;
    }
    const auto number = ParseNumberText(TrimBlanks(cell), separator);
    if (!number) return;
    const int slot = PropertyCatalogue::instance().FindExact(*code);
    const double si = state_.library.Material(m).Converter().ChangeUnits(
        UnitSystemName(unitsCombo_.listIndex()), "SI", slot, *number);
    history.SetValue(m, *code, si);
}

} // namespace mb
