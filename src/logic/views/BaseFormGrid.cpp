// The property grid's handlers of the editor window: starting an edit, validating and
// storing the edited value when its cell is left.

#include "AppState.h"
#include "BaseForm.h"
#include "Controls.h"
#include "NumberText.h"
#include "TextUtil.h"

namespace mb {

void BaseForm::VSFlexGrid1_Click() {
    if (VSFlexGrid1.col() != 2) return;
    textAtEditStart_ = VSFlexGrid1.text();
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
    // alter the value the user only looked at.
    if (cell.empty() || cell == textAtEditStart_) {
        // The material keeps its value; the next rebuild shows it again.
        EditStarted = false;
        return;
    }
    const std::string& separator = state.doc.DecimalSeparator;
    const std::string_view t = TrimBlanks(cell);
    const bool numeric = IsNumericText(t, separator);
    const int row = VSFlexGrid1.row();
    const int col = VSFlexGrid1.col();
    if (row >= 1 && col == 2 && !numeric) {
        VSFlexGrid1.setText("");
        return;
    }
    // Read with the user's separator, so "-0,5" counts as negative where "," is the point.
    const double number = numeric ? ParseNumberText(t, separator).value_or(0.0) : 0.0;
    if (numeric && number < 0 && !IsSignedProperty(row)) {
        messageBox.show("Value entered must be a positive number", MsgButtons::OK, MsgIcon::None,
                        kApplicationTitle);
        VSFlexGrid1.setText("");
        return;
    }
    StoreGridValue(row, col, cell);
    EditStarted = false;
    if (materialShown) materialShown();
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
    const std::string_view trimmed = TrimBlanks(code);
    for (std::string_view s : kSigned)
        if (EqualsNoCase(trimmed, s)) return true;
    return false;
}

GridEntryStore::CellEntry BaseForm::ReadCurrentCell() const {
    return entryStore_.Read(static_cast<int16_t>(VSFlexGrid1.row()), VSFlexGrid1, typeCombo);
}

void BaseForm::StoreGridValue(int row, int col, const std::string& text) {
    if (!EditStarted) return;
    entryStore_.Map(static_cast<int16_t>(row), static_cast<int16_t>(col), text,
                    static_cast<int16_t>(unitsCombo.listIndex()), VSFlexGrid1, typeCombo);
}

} // namespace mb
