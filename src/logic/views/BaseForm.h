#pragma once

#include "Controls.h"
#include "EditorView.h"
#include "GridEntryStore.h"
#include "clsFlexGrid.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace mb {

struct AppState;
struct LibraryChange;
class Button;
class ComboBox;
class Frame;
class GridControl;
class Label;
class Locale;
class MessageBox;
class TextBox;
class TreeControl;

/// The editor window's controls, by their names in the window.
struct BaseFormControls {
    TreeControl& TreeView1;
    GridControl& VSFlexGrid1;
    ComboBox& unitsCombo;
    ComboBox& typeCombo;
    TextBox& materialTypeText;
    TextBox& materialNameText;
    TextBox& descriptionText;
    Button& cmdNewMaterial;
    Button& reset;
    Button& AddSet;
    Frame& valueframe;
    /// The hidden unit-text labels: element 0 is unitStringsLabel1, element 11 unitStringsLabel12.
    std::array<Label*, kUnitLabelCount> unitStringsLabel;
};

/// What the editor window asks of the platform besides its controls.
struct BaseFormServices {
    MessageBox& messageBox;
    Locale& locale;
};

/// The editor window's logic: browsing the tree, the property grid and the unit and type
/// selectors. The window forwards its controls' notifications to the handlers below and
/// nothing else; commands and the document lifecycle see the form only as the views they
/// need (`EditorView`, `DocumentView`). The tree and the grid follow every change of the
/// library by its notice.
class BaseForm final : public DocumentView, private BaseFormControls {
public:
    BaseForm(AppState& state, const BaseFormControls& controls, const BaseFormServices& services);
    ~BaseForm() override;
    BaseForm(const BaseForm&) = delete;
    BaseForm& operator=(const BaseForm&) = delete;

    /// unitStringsLabel(1) .. unitStringsLabel(12).
    Label& unitStringsLabel(int n) const;

    /// Told whenever the grid has shown the selected material afresh, for what follows
    /// the material's values (its checks and its curve).
    void onMaterialShown(std::function<void()> shown) { materialShown_ = std::move(shown); }

    /// What storing the grid's current cell would do, for a value still being typed.
    GridEntryStore::CellEntry readCurrentCell() const;

    /// True from a click in the Value column until the edited value is stored, an empty
    /// cell is left, or a node is clicked.
    bool EditStarted = false;

    // EditorView
    TreeControl& tree() override { return TreeView1; }
    TextBox& categoryBox() override { return materialTypeText; }
    TextBox& nameBox() override { return materialNameText; }
    TextBox& descriptionBox() override { return descriptionText; }
    int unitsIndex() const override { return unitsCombo.listIndex(); }
    void showMaterialPane() override;
    void showNewMaterialPane() override;
    bool newMaterialPaneShown() const override { return cmdNewMaterial.isVisible(); }
    void showEmptyValueGrid() override;
    std::vector<std::array<std::string, 4>> shownRows(int n) override;

    // DocumentView
    void Form_Load() override;
    void showLibrary() override;
    void showSelectors() override;
    void clearLibrary() override;
    bool chooseUnitSystem(int index) override;

    // Tree browser.
    void TreeView1_NodeClick(const std::string& nodeKey) override;
    void TreeView1_Expand(const std::string& nodeKey);
    void TreeView1_Collapse(const std::string& nodeKey);
    int16_t CurrentMaterial() const override;

    // Property grid.
    void VSFlexGrid1_Click();
    void VSFlexGrid1_LeaveCell() override;
    void VSFlexGrid1_LostFocus();
    /// True for the codes whose values may be negative (shear moduli, Poisson's ratios,
    /// expansion coefficients), by the code shown in column 0 of `row`.
    bool IsSignedProperty(int row) const;
    /// Stores the edited cell into the selected material, only while an edit is going on.
    void StoreGridValue(int row, int col, const std::string& text);

    // Unit system and type selectors.
    /// "IPS", "SI" or "MKS" for the chosen entry, "" when none is chosen.
    std::string UnitSystem() const override;
    void unitsCombo_Click();
    void unitsCombo_GotFocus();
    void typeCombo_Click();
    /// Rebuilds the grid for the chosen type with the selected material's values.
    void ShowMaterialGrid();
    /// Lists the thirteen material types and selects the first (without acting on it).
    void FillTypeList();
    /// Lists "IPS", "SI", "MKS(G)" and selects the first (without acting on it).
    void fillUnitsList();

private:
    // It marks the grid's rows and reads the cell being typed.
    friend class MaterialFeedback;

    /// The tree and the grid after a change of the library.
    void followChange(const LibraryChange& change);
    /// What a grid rebuild reads of the form now.
    GridContext gridContext() const;
    /// Lays the grid out for the chosen type with the selected material's values.
    void fillGrid();
    /// The catalogue slot of the property in grid row `row`, -1 for none.
    int rowSlot(int row) const;
    /// Writes the selected material's stored value of grid row `row` into its Value cell.
    void showStoredValue(int row);

    AppState& state;
    MessageBox& messageBox;
    Locale& locale;
    std::function<void()> materialShown_;
    GridEntryStore entryStore_;
    // What the edited cell showed when its edit started, and its row.
    std::string textAtEditStart_;
    int editRow_ = -1;
    int changeListener_ = 0; // the tree and the grid follow every change of the library
    // The grid is storing a typed value: it shows that value already.
    bool storingCell_ = false;
    // A message box shown while a cell is being left moves the focus away from the grid,
    // which would leave the cell again before the first leave has finished.
    bool leavingCell_ = false;
};

} // namespace mb
