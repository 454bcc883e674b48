#pragma once

#include "MainWindowViews.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mb {

class Commands;
class MainWindow;

/// What a menu item, button or toolbar button starts.
enum class Action {
    Separator, ///< a separator: starts nothing
    NewLibrary,
    OpenLibrary,
    Save, ///< Save As while the library has never been saved, else Save
    SaveAs,
    Close,
    ExitEditor,
    ExitMainWindow,
    NewMaterial,    ///< "&Edit" / "&New": checks the selection first
    AddNewMaterial, ///< the "&Add New Material" button
    ClearValues,
    MaterialSet,
    DeleteSelected,
    RenameSelected, ///< opens the selected material's label in the tree for typing
    CopyMaterial,
    PasteMaterial,
    Undo,
    Redo,
    ToggleToolbar,
    ToggleStatusbar,
    HelpFromMainWindow,
    HelpFromEditor,
    HelpFromToolbar,
    About,
    RecentFiles, ///< a submenu of the libraries used last; its items open them
    ImportLibrary,
    ExportMaterials,
    ImportFromLibrary,
    CompareWithLibrary,
    AddToComparison,
    ShowComparison, ///< brings the comparison window up, with the keyboard in it
    CheckLibrary,
};

struct MenuItemRoute {
    std::string name;
    std::string caption;  ///< exactly as shown, trailing blanks included; "-" for a separator
    std::string shortcut; ///< in "Ctrl+O" form; "" for none
    Action action;
    bool checkedAtStart = false; ///< carries a check mark when the window is made
    int helpContext = 0;
    std::string otherShortcut = ""; ///< a second key for the same item; "" for none
};

struct MenuRoute {
    std::string name;
    std::string caption;
    std::vector<MenuItemRoute> items;
};

/// The main window's own menu shows while no editor window exists; the editor's
/// replaces it while one does.

const std::vector<MenuRoute>& menuTable(MenuSet set);

struct ButtonRoute {
    std::string name;
    std::string caption;
    Action action;
};

/// The editor window's three command buttons.
const std::vector<ButtonRoute>& editorButtonTable();

struct ToolbarRoute {
    std::string key; ///< compared exactly, case-sensitively
    std::string tooltip;
    std::string image; ///< "" for a separator
    Action action;
};

/// The toolbar's buttons from the left.
const std::vector<ToolbarRoute>& toolbarTable();

std::optional<Action> menuItemAction(MenuSet set, std::string_view name);
std::optional<Action> editorButtonAction(std::string_view name);
/// The toolbar's click table: its buttons' keys and "reset", which no button carries.
/// Separators and unknown keys start nothing.
std::optional<Action> toolbarClickAction(std::string_view key);

/// Starts the command of a menu item, button or toolbar button. Showing and hiding the
/// bars is the main window's own business; everything else goes to `Commands`.
class CommandRouter {
public:
    CommandRouter(Commands& commands, MainWindow& mainWindow);

    void run(Action action);
    void menuItemClicked(MenuSet set, std::string_view name);
    void buttonClicked(std::string_view name);
    void Toolbar1_ButtonClick(std::string_view key);

private:
    Commands& commands_;
    MainWindow& mainWindow_;
};

} // namespace mb
