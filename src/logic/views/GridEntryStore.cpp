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
    const std::string cell = Grid.text();
    if (cell.empty() || !IsNumericText(cell, decimalSeparator_)) {
        library_.ClearValue(m, *code);
        return;
    }
    const auto number = ParseNumberText(TrimBlanks(cell), decimalSeparator_);
    if (!number) return;
    const int slot = PropertyCatalogue::instance().FindExact(*code);
    const double si = library_.Material(m).Converter().ChangeUnits(
        UnitSystemName(unitsCombo_.listIndex()), "SI", slot, *number);
    library_.SetValue(m, *code, si);
}

} // namespace mb
