#include "GridEntryStore.h"

#include "Controls.h"
#include "Library.h"
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

GridEntryStore::GridEntryStore(Library& library, const TreeControl& tree,
                               const ComboBox& unitsCombo, const std::string& decimalSeparator)
    : library_(library), tree_(tree), unitsCombo_(unitsCombo), decimalSeparator_(decimalSeparator) {
}

int16_t GridEntryStore::CurrentMaterial() const {
    return mb::CurrentMaterial(tree_);
}

GridEntryStore::CellEntry GridEntryStore::Read(int16_t Row, const GridControl& Grid,
                                               const ComboBox& typeCombo) const {
    // The row tables do not overlap, so looking the row up directly finds the same code
    // as searching them one after another.
    const std::string* code = MapRowCode(typeCombo.listIndex(), Row);
    if (!code) return {};
    const std::string cell = Grid.text();
    if (cell.empty() || !IsNumericText(cell, decimalSeparator_))
        return {CellEntry::Effect::Clear, code};
    const auto number = ParseNumberText(TrimBlanks(cell), decimalSeparator_);
    if (!number) return {};
    const int slot = PropertyCatalogue::instance().FindExact(*code);
    const double si = clsUnitConversion().ChangeUnits(UnitSystemName(unitsCombo_.listIndex()), "SI",
                                                      slot, *number);
    return {CellEntry::Effect::Set, code, si};
}

void GridEntryStore::Map(int16_t Row, int16_t /*Col*/, const std::string& /*value*/,
                         int16_t /*UnitSystem*/, const GridControl& Grid,
                         const ComboBox& typeCombo) {
    const int m = CurrentMaterial();
    // A key whose number lies outside the library names no material to store into.
    if (m < 0 || m >= kMaxMaterials) return;
    const CellEntry entry = Read(Row, Grid, typeCombo);
    if (entry.effect == CellEntry::Effect::Clear) library_.ClearValue(m, *entry.code);
    if (entry.effect == CellEntry::Effect::Set) library_.SetValue(m, *entry.code, entry.si);
}

} // namespace mb
