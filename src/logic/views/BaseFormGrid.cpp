// The property grid's handlers of the editor window: starting an edit, validating and
// storing the edited value when its cell is left.

#include "AppState.h"
#include "BaseForm.h"
#include "Controls.h"
#include "MaterialModel.h"
#include "NumberText.h"
#include "PropertyCatalogue.h"
#include "TextUtil.h"
#include "TypedUnits.h"

namespace mb {

void BaseForm::VSFlexGrid1_Click() {
    if (VSFlexGrid1.col() != 2) return;
    textAtEditStart_ = VSFlexGrid1.text();
    editRow_ = VSFlexGrid1.row();
    VSFlexGrid1.editCell();
    EditStarted = true;
}

void BaseForm::VSFlexGrid1_LeaveCell() {
    if (!EditStarted || leavingCell_) return;
    leavingCell_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } resetFlag{leavingCell_};

    const std::string cell = VSFlexGrid1.text();
    // The text shown is the value rounded to the grid's digits: storing it unchanged would
    // alter the value the user only looked at. So would storing a cell the edit never
    // reached, which a refused value leaves the grid to move on to.
    if (cell.empty() || cell == textAtEditStart_ || VSFlexGrid1.row() != editRow_) {
        // The material keeps its value; the next rebuild shows it again.
        EditStarted = false;
        return;
    }
    const std::string& separator = state.doc.DecimalSeparator;
    const std::string_view t = trimBlanks(cell);
    const int row = VSFlexGrid1.row();
    const int col = VSFlexGrid1.col();
    // A number in the shown system, or one with a unit of the row's quantity.
    const std::optional<TypedValue> typed =
        readTypedValue(t, rowSlot(row), UnitSystem(), separator);
    const bool numeric = typed || isNumericText(t, separator);
    if (row >= 1 && col == 2 && !numeric) {
        VSFlexGrid1.setText("");
        return;
    }
    // Read with the user's separator, so "-0,5" counts as negative where "," is the point.
    const double number = typed ? typed->number : 0.0;
    if (numeric && number < 0 && !IsSignedProperty(row)) {
        messageBox.show("Value entered must be a positive number", MsgButtons::OK, MsgIcon::None,
                        kApplicationTitle);
        VSFlexGrid1.setText("");
        return;
    }
    StoreGridValue(row, col, cell);
    EditStarted = false;
    // A value typed with its unit is shown as stored, in the system on show.
    if (typed && typed->withUnit) showStoredValue(row);
}

int BaseForm::rowSlot(int row) const {
    const std::string* code = mapRowCode(typeCombo.listIndex(), static_cast<int16_t>(row));
    return code ? PropertyCatalogue::instance().findExact(*code) : -1;
}

void BaseForm::showStoredValue(int row) {
    const int m = CurrentMaterial();
    const std::string* code = mapRowCode(typeCombo.listIndex(), static_cast<int16_t>(row));
    if (!code || !state.library.hasRecord(m)) return;
    clsMaterial& material = state.library.material(m);
    material.Property(*code);
    material.PropIndex();
    if (!material.HasValue(material.Index())) return;
    // As a rebuild writes it: the file's number text in general decimal form.
    const std::string& separator = state.doc.DecimalSeparator;
    if (const auto shown = ParseNumberText(material.PropValue(UnitSystem()), separator))
        VSFlexGrid1.setText(formatGeneralNumber(*shown, separator));
}

void BaseForm::VSFlexGrid1_LostFocus() {
    if (leavingCell_) return;
    // Moving the current cell leaves the edited one, which stores its value.
    VSFlexGrid1.setCurrentCell(1, 1);
}

bool BaseForm::IsSignedProperty(int row) const {
    static constexpr std::string_view kSigned[] = {"GXY",  "GYZ",  "GXZ",  "NUXY", "NUYZ",
                                                   "NUXZ", "ALPX", "ALPY", "ALPZ"};
    const std::string code = VSFlexGrid1.textMatrix(row, 0);
    const std::string_view trimmed = trimBlanks(code);
    for (std::string_view s : kSigned)
        if (equalsNoCase(trimmed, s)) return true;
    return false;
}

GridEntryStore::CellEntry BaseForm::readCurrentCell() const {
    return entryStore_.read(static_cast<int16_t>(VSFlexGrid1.row()), VSFlexGrid1, typeCombo);
}

void BaseForm::StoreGridValue(int row, int col, const std::string& text) {
    if (!EditStarted) return;
    storingCell_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } resetFlag{storingCell_};
    entryStore_.Map(static_cast<int16_t>(row), static_cast<int16_t>(col), text,
                    static_cast<int16_t>(unitsCombo.listIndex()), VSFlexGrid1, typeCombo);
}

} // namespace mb
