#include "BaseForm.h"

#include "AppState.h"
#include "Controls.h"
#include "DecimalSeparator.h"
#include "MaterialModel.h"
#include "NodeKey.h"
#include "UnitConversion.h"
#include "clsFlexGrid.h"

namespace mb {

BaseForm::BaseForm(AppState& appState, const BaseFormControls& controls,
                   const BaseFormServices& services)
    : BaseFormControls(controls), state(appState), messageBox(services.messageBox),
      locale(services.locale), entryStore_(appState, controls.TreeView1, controls.unitsCombo) {
    changeListener_ =
        state.history.addListener([this](const LibraryChange& change) { followChange(change); });
}

void BaseForm::followChange(const LibraryChange& change) {
    const std::optional<std::string> selected = TreeView1.selectedKey();
    const int shown = CurrentMaterial();
    mb::followChange(state.library, TreeView1, change);
    // A tree built afresh keeps its selection: the same node, or the material on show
    // under its new key while numbers still name the same materials.
    if (selected && !TreeView1.selectedKey()) {
        if (TreeView1.exists(*selected)) {
            TreeView1.select(*selected);
        } else if (!change.numbersShifted && state.library.isValidNumber(shown)) {
            const LibraryEntry& e = state.library.entry(shown);
            TreeView1.select(materialNodeKey(e.Category, e.Name, shown));
        }
    }
    // A number the grid shows may name another material now; otherwise only a change of
    // the shown material's records alters what the grid shows. An undo or a redo that goes
    // on to show the material it concerns leaves the grid to that showing.
    if (storingCell_ || !VSFlexGrid1.isVisible() || change.focusShownAfter) return;
    if (change.numbersShifted || (change.valuesChanged && change.touches(shown))) fillGrid();
}

// ---- The pane and the library as a whole ----------------------------------------------

void BaseForm::showMaterialPane() {
    VSFlexGrid1.setVisible(true);
    cmdNewMaterial.setVisible(false);
    reset.setVisible(true);
    AddSet.setVisible(true);
}

void BaseForm::showNewMaterialPane() {
    VSFlexGrid1.setVisible(false);
    cmdNewMaterial.setVisible(true);
    reset.setVisible(false);
    AddSet.setVisible(false);
}

void BaseForm::showEmptyValueGrid() {
    {
        clsFlexGrid presenter(gridContext());
        presenter.InitializeGrid(VSFlexGrid1);
        for (int row = 1; row < VSFlexGrid1.rows(); ++row)
            presenter.Cell(2, row, "");
    }
    VSFlexGrid1.setVisible(true);
}

std::vector<std::array<std::string, 4>> BaseForm::shownRows(int n) {
    return clsFlexGrid(gridContext()).shownRows(typeCombo.listIndex(), n);
}

void BaseForm::Form_Load() {
    TreeView1.loadImages();
    TreeView1.setVisible(false);
    valueframe.setVisible(false);
}

void BaseForm::showLibrary() {
    BuildTree(state.library, TreeView1);
}

void BaseForm::showSelectors() {
    valueframe.setVisible(true);
    fillUnitsList();
    FillTypeList();
}

void BaseForm::clearLibrary() {
    ResetLibraryView(state.library, TreeView1, valueframe);
}

bool BaseForm::chooseUnitSystem(int index) {
    if (index < 0 || index >= unitsCombo.count()) return false;
    unitsCombo.setListIndex(index);
    unitsCombo_Click();
    return true;
}

GridContext BaseForm::gridContext() const {
    GridContext context{
        state.library, state.doc.DecimalSeparator, unitsCombo.listIndex(), CurrentMaterial(), {}};
    for (int n = 1; n <= kUnitLabelCount; ++n)
        context.unitTexts[static_cast<std::size_t>(n - 1)] = unitStringsLabel(n).caption();
    return context;
}

BaseForm::~BaseForm() {
    state.history.removeListener(changeListener_);
}

Label& BaseForm::unitStringsLabel(int n) const {
    return *BaseFormControls::unitStringsLabel.at(static_cast<std::size_t>(n - 1));
}

// ---- Tree browser ---------------------------------------------------------------------

void BaseForm::TreeView1_NodeClick(const std::string& nodeKey) {
    Library& library = state.library;
    EditStarted = false;
    // Clears a highlight that a drag left behind.
    TreeView1.setDropHighlight(TreeView1.hitTest(0, 0));
    if (!IsCategoryKey(library.LastNodeKey)) TreeView1.setImage(library.LastNodeKey, "leaf");
    library.LastNodeKey = nodeKey;

    if (IsCategoryKey(nodeKey)) {
        materialTypeText.setText(nodeKey);
        materialNameText.setText("");
        descriptionText.setText("");
        showNewMaterialPane();
    } else {
        showMaterialPane();
        TreeView1.setImage(nodeKey, "leaf1");

        const int i = keyTailNumber(nodeKey);
        if (i >= 0 && i < static_cast<int>(library.LibraryIndex().size())) {
            const LibraryEntry& entry = library.LibraryIndex()[static_cast<std::size_t>(i)];
            materialTypeText.setText(entry.Category);
            materialNameText.setText(entry.Name);
            descriptionText.setText(entry.Description);
        }
    }
    ShowMaterialGrid();
}

void BaseForm::TreeView1_Expand(const std::string& nodeKey) {
    TreeView1.setImage(nodeKey, "openbook");
}

void BaseForm::TreeView1_Collapse(const std::string& nodeKey) {
    TreeView1.setImage(nodeKey, "closedbook");
}

int16_t BaseForm::CurrentMaterial() const {
    return mb::CurrentMaterial(TreeView1);
}

// ---- Unit system and type selectors ---------------------------------------------------

std::string BaseForm::UnitSystem() const {
    return std::string(unitSystemName(unitsCombo.listIndex()));
}

void BaseForm::unitsCombo_Click() {
    const int index = unitsCombo.listIndex();
    if (index >= 0 && index < kUnitSystemCount) {
        const UnitTextTable& texts = unitTexts(index);
        for (int n = 1; n <= 10; ++n)
            unitStringsLabel(n).setCaption(texts[n - 1]);
        // The shear modulus and compressive strength rows show the stress unit again.
        unitStringsLabel(11).setCaption(texts[0]);
        unitStringsLabel(12).setCaption(texts[0]);
    }
    typeCombo_Click();
    // Read afresh for the values typed from now on; the rebuild above used the old one.
    ReadLocaleDecimalSeparator(state, locale);
}

void BaseForm::unitsCombo_GotFocus() {
    // A value still being edited belongs to the unit system chosen while it was typed.
    VSFlexGrid1_LeaveCell();
}

void BaseForm::typeCombo_Click() {
    VSFlexGrid1.finishEditing();
    ShowMaterialGrid();
}

void BaseForm::ShowMaterialGrid() {
    fillGrid();
    if (materialShown_) materialShown_();
}

void BaseForm::fillGrid() {
    clsFlexGrid grid(gridContext());
    grid.FillGrid(VSFlexGrid1, typeCombo.listIndex());
}

void BaseForm::FillTypeList() {
    typeCombo.clear();
    for (const std::string& name : materialTypeNames())
        typeCombo.addItem(name);
    typeCombo.setListIndex(0);
}

void BaseForm::fillUnitsList() {
    unitsCombo.clear();
    for (int i = 0; i < kUnitSystemCount; ++i)
        unitsCombo.addItem(std::string(unitSystemCaption(i)));
    unitsCombo.setListIndex(0);
}

} // namespace mb
