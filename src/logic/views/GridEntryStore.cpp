#include "GridEntryStore.h"

#include "AppState.h"
#include "Controls.h"
#include "MaterialModel.h"
#include "NodeKey.h"
#include "NumberText.h"
#include "PropertyCatalogue.h"
#include "TextUtil.h"
#include "TypedUnits.h"
#include "UnitConversion.h"

namespace mb {

int16_t CurrentMaterial(const TreeControl& tree) {
    const auto key = tree.selectedKey();
    if (!key || tree.childCount(*key) > 0) return -1;
    return static_cast<int16_t>(keyTailNumber(*key));
}

GridEntryStore::GridEntryStore(AppState& state, const TreeControl& tree, const ComboBox& unitsCombo)
    : state_(state), tree_(tree), unitsCombo_(unitsCombo) {}

int16_t GridEntryStore::CurrentMaterial() const {
    return mb::CurrentMaterial(tree_);
}

GridEntryStore::CellEntry GridEntryStore::read(int16_t Row, const GridControl& Grid,
                                               const ComboBox& typeCombo) const {
    // The row tables do not overlap, so looking the row up directly finds the same code
    // as searching them one after another.
    const std::string* code = mapRowCode(typeCombo.listIndex(), Row);
    if (!code) return {};
    const std::string cell = Grid.text();
    const std::string& separator = state_.doc.DecimalSeparator;
    const int slot = PropertyCatalogue::instance().findExact(*code);
    const std::optional<TypedValue> typed =
        readTypedValue(cell, slot, unitSystemName(unitsCombo_.listIndex()), separator);
    if (typed) return {CellEntry::Effect::Set, code, typed->si};
    // A number too large for a double changes nothing; anything else that is no value
    // takes the value out.
    if (!cell.empty() && isNumericText(cell, separator)) return {};
    return {CellEntry::Effect::Clear, code};
}

void GridEntryStore::Map(int16_t Row, int16_t /*Col*/, const std::string& /*value*/,
                         int16_t /*UnitSystem*/, const GridControl& Grid,
                         const ComboBox& typeCombo) {
    const std::string* code = mapRowCode(typeCombo.listIndex(), Row);
    if (!code) return;
    const int m = CurrentMaterial();
    // A key whose number lies outside the library names no material to store into.
    if (m < 0 || m >= kMaxMaterials) return;
    EditHistory& history = state_.history;
    const auto edit = history.begin("Change " + std::string(trimBlanks(*code)) + " of " +
                                    std::string(trimBlanks(state_.library.entry(m).Name)));
    const CellEntry entry = read(Row, Grid, typeCombo);
    if (entry.effect == CellEntry::Effect::Clear) history.ClearValue(m, *entry.code);
    if (entry.effect == CellEntry::Effect::Set) history.SetValue(m, *entry.code, entry.si);
}

} // namespace mb
