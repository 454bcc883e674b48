#pragma once

// The editor window's logic wired to fake controls and services: what a headless test
// of a handler or command needs in one object.

#include "AppState.h"
#include "BaseForm.h"
#include "FakeControls.h"
#include "FakeServices.h"

namespace mb::fake {

struct FakeEditorControls {
    FakeTree TreeView1;
    FakeGrid VSFlexGrid1;
    FakeComboBox unitsCombo, typeCombo;
    FakeTextBox materialTypeText, materialNameText, descriptionText;
    FakeButton cmdNewMaterial{"&Add New Material"};
    FakeButton reset{"&Reset"};
    FakeButton AddSet{"&Clear"};
    FakeFrame valueframe;
    std::array<FakeLabel, kUnitLabelCount> unitStringsLabel;
    FakeMessageBox messageBox;
    FakeLocale locale;

    BaseFormControls controls() {
        BaseFormControls c{TreeView1,       VSFlexGrid1,      unitsCombo,
                           typeCombo,       materialTypeText, materialNameText,
                           descriptionText, cmdNewMaterial,   reset,
                           AddSet,          valueframe,       {}};
        for (int i = 0; i < kUnitLabelCount; ++i)
            c.unitStringsLabel[i] = &unitStringsLabel[i];
        return c;
    }
};

/// Owns the fakes and the form; the grid reports leaving a cell to the form, as the
/// window would.
struct FakeEditor : FakeEditorControls {
    explicit FakeEditor(AppState& appState)
        : form(appState, controls(), BaseFormServices{messageBox, locale}) {
        VSFlexGrid1.onLeaveCell = [this] { form.VSFlexGrid1_LeaveCell(); };
    }

    /// What a user's click on a node does: the tree selects it, then reports the click.
    void clickNode(const std::string& key) { TreeView1.select(key), form.TreeView1_NodeClick(key); }
    /// A click on a grid cell: the grid moves there (leaving the old cell), then reports it.
    void clickCell(int row, int col) {
        VSFlexGrid1.setCurrentCell(row, col), form.VSFlexGrid1_Click();
    }
    /// The user chooses an entry of a selector.
    void chooseUnits(int index) {
        form.unitsCombo_GotFocus();
        unitsCombo.setListIndex(index);
        form.unitsCombo_Click();
    }
    void chooseType(int index) { typeCombo.setListIndex(index), form.typeCombo_Click(); }
    /// The category, name and description boxes.
    std::vector<std::string> boxes() const {
        return {materialTypeText.text(), materialNameText.text(), descriptionText.text()};
    }
    /// Whether the grid, "&Add New Material", "&Reset" and "&Clear" are shown.
    std::vector<bool> shown() const {
        return {VSFlexGrid1.isVisible(), cmdNewMaterial.isVisible(), reset.isVisible(),
                AddSet.isVisible()};
    }

    BaseForm form;
};

} // namespace mb::fake
