#include "CommandRouting.h"

#include "Commands.h"
#include "MainWindow.h"

namespace mb {

const std::vector<MenuRoute>& menuTable(MenuSet set) {
    static const std::vector<MenuRoute> mainWindow = {
        {"fileMenu",
         "&File",
         {
             {"fileNewMenu", "&New   ", "", Action::NewLibrary},
             {"fileOpenMenu", "&Open...   ", "Ctrl+O", Action::OpenLibrary},
             {"recentFilesMenu", "Recent &Files", "", Action::RecentFiles},
             {"separatorMenu", "-", "", Action::Separator},
             {"importMenu", "&Import...", "", Action::ImportLibrary},
             {"importSeparator", "-", "", Action::Separator},
             {"fileExitMenu", "E&xit   ", "", Action::ExitMainWindow},
         }},
        {"help",
         "&Help",
         {
             {"aboutMaterial", "&Help Topics", "F1", Action::HelpFromMainWindow},
             {"aboutMaterialMenu", "&About Material Browser", "", Action::About},
         }},
    };
    static const std::vector<MenuRoute> editorWindow = {
        {"fileMenu",
         "&File",
         {
             {"fileNewMenu", "&New", "", Action::NewLibrary},
             {"fileOpenMenu", "&Open...", "Ctrl+O", Action::OpenLibrary},
             {"fileCloseMenu", "&Close", "", Action::Close},
             {"recentFilesMenu", "Recent &Files", "", Action::RecentFiles},
             {"separatorMenu", "-", "", Action::Separator},
             {"saveMenu", "&Save", "Ctrl+S", Action::Save},
             {"saveAsMenu", "Save &As...", "Ctrl+A", Action::SaveAs},
             {"importSeparator", "-", "", Action::Separator},
             {"importMenu", "&Import...", "", Action::ImportLibrary},
             {"exportMenu", "&Export...", "", Action::ExportMaterials},
             {"importFromLibraryMenu", "Import &Materials from Library...", "",
              Action::ImportFromLibrary},
             {"compareWithLibrary", "Compare with &Library...", "", Action::CompareWithLibrary},
             {"separator1", "-", "", Action::Separator},
             {"fileExitMenu", "E&xit", "", Action::ExitEditor},
         }},
        {"edit",
         "&Edit",
         {
             {"newMaterial", "&New", "", Action::NewMaterial},
             {"set", "&Clear", "", Action::ClearValues},
             {"resetMenu", "&Reset", "", Action::MaterialSet},
             {"delete", "&Delete ", "", Action::DeleteSelected},
             {"renameMaterial", "Rena&me", "", Action::RenameSelected},
             {"copyMaterial", "&Copy", "Ctrl+C", Action::CopyMaterial},
             {"pasteMaterial", "&Paste", "Ctrl+V", Action::PasteMaterial},
             {"undoSeparator", "-", "", Action::Separator},
             {"undoMenu", "Undo", "Ctrl+Z", Action::Undo},
             {"redoMenu", "Redo", "Ctrl+Shift+Z", Action::Redo, false, 0, "Ctrl+Y"},
             {"comparisonSeparator", "-", "", Action::Separator},
             {"addToComparison", "&Add to Comparison", "Ctrl+D", Action::AddToComparison},
             {"showComparison", "Comparison &Window", "", Action::ShowComparison},
             {"checkSeparator", "-", "", Action::Separator},
             {"checkLibrary", "Check &Library", "", Action::CheckLibrary},
         }},
        {"view",
         "&View",
         {
             {"toolbarMenu", "&Toolbar", "", Action::ToggleToolbar, true},
             {"StatusbarMenu", "&Statusbar", "", Action::ToggleStatusbar, true},
         }},
        {"help",
         "&Help",
         {
             {"helpTopicsMenu", "&Help Topics", "F1", Action::HelpFromEditor, false, 1},
             {"aboutMenu", "&About Material Browser", "", Action::About},
         }},
    };
    return set == MenuSet::MainWindow ? mainWindow : editorWindow;
}

const std::vector<ButtonRoute>& editorButtonTable() {
    static const std::vector<ButtonRoute> table = {
        {"cmdNewMaterial", "&Add New Material", Action::AddNewMaterial},
        {"reset", "&Reset", Action::MaterialSet},
        {"AddSet", "&Clear", Action::ClearValues},
    };
    return table;
}

const std::vector<ToolbarRoute>& toolbarTable() {
    static const std::vector<ToolbarRoute> table = {
        {"separator", "", "", Action::Separator},
        {"new", "Open new file", "new", Action::NewLibrary},
        {"open", "Open existing file", "open", Action::OpenLibrary},
        {"save", "Save file", "save", Action::Save},
        {"deleteMaterial", "Delete the selected material", "delete", Action::DeleteSelected},
        {"separator2", "", "", Action::Separator},
        {"help", "Help", "help", Action::HelpFromToolbar},
        {"separator3", "", "", Action::Separator},
        {"undo", "Undo", "undo", Action::Undo},
        {"redo", "Redo", "redo", Action::Redo},
    };
    return table;
}

std::optional<Action> menuItemAction(MenuSet set, std::string_view name) {
    for (const MenuRoute& menu : menuTable(set))
        for (const MenuItemRoute& item : menu.items)
            if (item.name == name && item.action != Action::Separator) return item.action;
    return std::nullopt;
}

std::optional<Action> editorButtonAction(std::string_view name) {
    for (const ButtonRoute& button : editorButtonTable())
        if (button.name == name) return button.action;
    return std::nullopt;
}

std::optional<Action> toolbarClickAction(std::string_view key) {
    if (key == "reset") return Action::ClearValues;
    for (const ToolbarRoute& button : toolbarTable())
        if (button.key == key && button.action != Action::Separator) return button.action;
    return std::nullopt;
}

CommandRouter::CommandRouter(Commands& commands, MainWindow& mainWindow)
    : commands_(commands), mainWindow_(mainWindow) {}

void CommandRouter::run(Action action) {
    switch (action) {
    case Action::Separator:
    case Action::RecentFiles: // the submenu's own items open the files
        break;
    case Action::NewLibrary:
        commands_.NewLibrary();
        break;
    case Action::OpenLibrary:
        commands_.OpenLibrary();
        break;
    case Action::Save:
        if (commands_.IsUntitled())
            commands_.SaveLibraryAs();
        else
            commands_.SaveLibrary();
        break;
    case Action::SaveAs:
        commands_.SaveLibraryAs();
        break;
    case Action::Close:
        commands_.closeLibrary();
        break;
    case Action::ExitEditor:
        commands_.exitFromEditor();
        break;
    case Action::ExitMainWindow:
        commands_.exitFromMainWindow();
        break;
    case Action::NewMaterial:
        commands_.newMaterial();
        break;
    case Action::AddNewMaterial:
        commands_.onNewMaterial();
        break;
    case Action::ClearValues:
        commands_.ClearValues();
        break;
    case Action::MaterialSet:
        commands_.onMaterialSet();
        break;
    case Action::DeleteSelected:
        commands_.DeleteSelected();
        break;
    case Action::RenameSelected:
        commands_.renameSelected();
        break;
    case Action::CopyMaterial:
        commands_.onCopyMaterial();
        break;
    case Action::PasteMaterial:
        commands_.onPasteMaterial();
        break;
    case Action::Undo:
        commands_.undo();
        break;
    case Action::Redo:
        commands_.redo();
        break;
    case Action::ToggleToolbar:
        mainWindow_.toolbarMenu_Click();
        break;
    case Action::ToggleStatusbar:
        mainWindow_.StatusbarMenu_Click();
        break;
    case Action::HelpFromMainWindow:
        commands_.showHelpFromMainWindow();
        break;
    case Action::HelpFromEditor:
        commands_.showHelpFromEditor();
        break;
    case Action::HelpFromToolbar:
        commands_.showHelpFromToolbar();
        break;
    case Action::About:
        commands_.showAbout();
        break;
    case Action::ImportLibrary:
        commands_.importLibrary();
        break;
    case Action::ExportMaterials:
        commands_.exportMaterials();
        break;
    case Action::ImportFromLibrary:
        commands_.importFromLibrary();
        break;
    case Action::CompareWithLibrary:
        commands_.compareWithLibrary();
        break;
    case Action::AddToComparison:
        commands_.addToComparison();
        break;
    case Action::ShowComparison:
        commands_.showComparison();
        break;
    case Action::CheckLibrary:
        commands_.checkLibrary();
        break;
    }
}

void CommandRouter::menuItemClicked(MenuSet set, std::string_view name) {
    if (const auto action = menuItemAction(set, name)) run(*action);
}

void CommandRouter::buttonClicked(std::string_view name) {
    if (const auto action = editorButtonAction(name)) run(*action);
}

void CommandRouter::Toolbar1_ButtonClick(std::string_view key) {
    if (const auto action = toolbarClickAction(key)) run(*action);
}

} // namespace mb
