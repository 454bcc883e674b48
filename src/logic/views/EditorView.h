#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace mb {

class TextBox;
class TreeControl;

/// The editor form as the editing commands see it: the tree and the three boxes they
/// work on, what a click on a node shows, and the pane's two faces (a material shown, or
/// a new one being typed). The grid and the chart are not here: they follow the library's
/// change notices by themselves.
class EditorView {
public:
    virtual ~EditorView() = default;

    /// The tree as the editor sees it (through the find box's filter).
    virtual TreeControl& tree() = 0;
    virtual TextBox& categoryBox() = 0;
    virtual TextBox& nameBox() = 0;
    virtual TextBox& descriptionBox() = 0;

    /// Shows the node keyed `nodeKey`, as a click on it does.
    virtual void TreeView1_NodeClick(const std::string& nodeKey) = 0;
    /// The material selected in the tree, -1 for none or a category with materials.
    virtual int16_t CurrentMaterial() const = 0;
    /// "IPS", "SI" or "MKS" for the chosen entry, "" when none is chosen.
    virtual std::string UnitSystem() const = 0;
    /// The unit system's entry in the selector, -1 for none.
    virtual int unitsIndex() const = 0;

    /// The grid and "&Reset" and "&Clear" shown, "&Add New Material" hidden.
    virtual void showMaterialPane() = 0;
    /// The grid and the material's buttons hidden, "&Add New Material" shown.
    virtual void showNewMaterialPane() = 0;
    virtual bool newMaterialPaneShown() const = 0;
    /// The grid as laid out now with every Value cell empty, shown.
    virtual void showEmptyValueGrid() = 0;
    /// The cells the grid would show for material n under the chosen type, header first.
    virtual std::vector<std::array<std::string, 4>> shownRows(int n) = 0;
};

/// The editor form as the document lifecycle and the main window drive it: loading the
/// window, showing a library read afresh, clearing it when the library goes.
class DocumentView : public EditorView {
public:
    /// The window's load step: the tree's pictures loaded, the tree and the values hidden.
    virtual void Form_Load() = 0;
    /// Builds the tree from the library as it was read (or made afresh).
    virtual void showLibrary() = 0;
    /// Shows the values' frame and lists the unit systems and types, the first of each
    /// chosen without acting on it.
    virtual void showSelectors() = 0;
    /// Forgets the library's index; the tree emptied and hidden with the values.
    virtual void clearLibrary() = 0;
    /// Chooses unit system `index` as a click on it does; false for an entry not listed.
    virtual bool chooseUnitSystem(int index) = 0;
    /// Stores a value still being typed into the grid, as leaving its cell does.
    virtual void VSFlexGrid1_LeaveCell() = 0;
};

} // namespace mb
