#pragma once

#include "Controls.h"
#include "GridEntryStore.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace mb {

struct AppState;
class Button;
class ComboBox;
class Frame;
class GridControl;
class Label;
class Locale;
class MessageBox;
class TextBox;
class TreeControl;

inline constexpr int kUnitLabelCount = 12;

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
/// nothing else. The controls and the state are public so that the editing commands,
/// the document lifecycle and the main window can work on the same form.
class BaseForm : public BaseFormControls {
public:
    BaseForm(AppState& state, const BaseFormControls& controls, const BaseFormServices& services);
    ~BaseForm();
    BaseForm(const BaseForm&) = delete;
    BaseForm& operator=(const BaseForm&) = delete;

    AppState& state;

    /// unitStringsLabel(1) .. unitStringsLabel(12).
    Label& unitStringsLabel(int n) const;

    MessageBox& messageBox;
    Locale& locale;

    /// Runs whenever the grid has shown the selected material afresh or stored a value
    /// into it, for what follows the material's values (its checks and its curve).
    std::function<void()> materialShown;

    /// What storing the grid's current cell would do, for a value still being typed.
    GridEntryStore::CellEntry ReadCurrentCell() const;

    /// True from a click in the Value column until the edited value is stored, an empty
    /// cell is left, or a node is clicked.
    bool EditStarted = false;

    // Tree browser.
    void TreeView1_NodeClick(const std::string& nodeKey);
    void TreeView1_Expand(const std::string& nodeKey);
    void TreeView1_Collapse(const std::string& nodeKey);
    /// The material selected in the tree, -1 for none or a category with materials.
    int16_t CurrentMaterial() const;

    // Property grid.
    void VSFlexGrid1_Click();
    void VSFlexGrid1_LeaveCell();
    void VSFlexGrid1_LostFocus();
    /// True for the codes whose values may be negative (shear moduli, Poisson's ratios,
    /// expansion coefficients), by the code shown in column 0 of `row`.
    bool IsSignedProperty(int row) const;
    /// Stores the edited cell into the selected material, only while an edit is going on.
    void StoreGridValue(int row, int col, const std::string& text);

    // Unit system and type selectors.
    /// "IPS", "SI" or "MKS" for the chosen entry, "" when none is chosen.
    std::string UnitSystem() const;
    void unitsCombo_Click();
    void unitsCombo_GotFocus();
    void typeCombo_Click();
    /// Rebuilds the grid for the chosen type with the selected material's values.
    void ShowMaterialGrid();
    /// Lists the thirteen material types and selects the first (without acting on it).
    void FillTypeList();
    /// Lists "IPS", "SI", "MKS(G)" and selects the first (without acting on it).
    void FillUnitsList();

private:
    /// The catalogue slot of the property in grid row `row`, -1 for none.
    int RowSlot(int row) const;
    /// Writes the selected material's stored value of grid row `row` into its Value cell.
    void ShowStoredValue(int row);

    GridEntryStore entryStore_;
    // What the edited cell showed when its edit started, and its row.
    std::string textAtEditStart_;
    int editRow_ = -1;
    int changeListener_ = 0; // the tree follows every change of the library
    // A message box shown while a cell is being left moves the focus away from the grid,
    // which would leave the cell again before the first leave has finished.
    bool leavingCell_ = false;
};

} // namespace mb
