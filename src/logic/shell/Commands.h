#pragma once

#include "RecentFiles.h"

#include <string>
#include <vector>

namespace mb {

class AboutBox;
class HelpLauncher;
class ProcessControl;

/// Every command a menu item, an editor button or a toolbar button can start. The
/// routing tables say which starts which; the commands themselves live with the
/// document lifecycle and the editing commands.
class Commands {
public:
    virtual ~Commands() = default;

    // Document lifecycle.
    virtual void NewLibrary() = 0;
    virtual void OpenLibrary() = 0;
    virtual void SaveLibrary() = 0;
    virtual void SaveLibraryAs() = 0;
    /// True after New until the library is saved under a name: Save then means Save As.
    virtual bool IsUntitled() const = 0;
    /// The editor's "&Close": asks whether to save; whether the user cancelled is not used.
    virtual void closeLibrary() = 0;
    /// The editor's "E&xit": asks whether to save, then ends the process unless cancelled.
    virtual void exitFromEditor() = 0;
    /// The main window's "E&xit": ends the process at once, with no question.
    virtual void exitFromMainWindow() = 0;
    /// Opens the named file without the open dialog (a file named on the command line).
    virtual void openLibraryFile(const std::string& path) = 0;
    /// A file dropped onto the window: opened as Open opens it, or imported.
    virtual void openDroppedFile(const std::string& path) { openLibraryFile(path); }
    /// "&Import...": a workbook, CSV or JSON file read as a new library.
    virtual void importLibrary() {}
    /// "&Export...": materials of the open library written to another format.
    virtual void exportMaterials() {}
    /// "Import &Materials from Library...": materials of another library added to this one.
    virtual void importFromLibrary() {}
    /// The windows beside the editor: the comparison of materials, the comparison with
    /// another library and the list of the library's findings.
    virtual void addToComparison() {}
    virtual void showComparison() {}
    virtual void compareWithLibrary() {}
    virtual void checkLibrary() {}
    /// What "Recent Files" shows, newest first.
    virtual std::vector<RecentFile> recentFileList() const { return {}; }
    /// A click on a recent file: opens it, or says it has gone and forgets it.
    virtual void openRecentFile(const std::string& /*path*/) {}

    // Editing commands.
    virtual void newMaterial() = 0;
    virtual void onNewMaterial() = 0;
    virtual void ClearValues() = 0;
    virtual void onMaterialSet() = 0;
    virtual void DeleteSelected() = 0;
    /// Opens the selected material's label in the tree for typing its new name.
    virtual void renameSelected() {}
    virtual void onCopyMaterial() = 0;
    virtual void onPasteMaterial() = 0;
    /// Takes the last edit of the library back; asks nothing.
    virtual void undo() = 0;
    /// Makes the last edit taken back again; asks nothing.
    virtual void redo() = 0;

    // Help and about.
    virtual void showHelpFromMainWindow() = 0;
    virtual void showHelpFromEditor() = 0;
    virtual void showHelpFromToolbar() = 0;
    virtual void showAbout() = 0;
};

/// The commands the shell answers itself: help, the about box and the main window's
/// Exit. The document lifecycle derives from it and supplies the rest.
class ShellCommands : public Commands {
public:
    ShellCommands(HelpLauncher& help, AboutBox& about, ProcessControl& process);

    void exitFromMainWindow() override;
    void showHelpFromMainWindow() override;
    void showHelpFromEditor() override;
    void showHelpFromToolbar() override;
    void showAbout() override;

protected:
    ProcessControl& process() { return process_; }

private:
    HelpLauncher& help_;
    AboutBox& about_;
    ProcessControl& process_;
};

} // namespace mb
