#pragma once

#include "Commands.h"
#include "DocumentLifecycle.h"
#include "RecentFiles.h"
#include "Recovery.h"
#include "clsRegistry.h"

#include <memory>
#include <optional>
#include <string>

namespace mb {

struct AppState;
class BackgroundWork;
class DocumentView;
class Clipboard;
class EditingCommands;
class MaterialClipboard;
class DocumentLock;
class ExchangeDialogs;
class MainWindow;
class RecoveryStore;
class RepeatingTimer;
class SettingsBackend;

/// How often a library with unsaved edits is copied to the recovery store.
inline constexpr int kRecoveryIntervalMs = 60 * 1000;

/// Makes and destroys the editor window. The Qt layer makes real windows inside the
/// main window; tests make fakes.
class EditorWindowFactory {
public:
    virtual ~EditorWindowFactory() = default;
    /// A new editor window, not yet shown; its logic.
    virtual DocumentView& createEditor() = 0;
    virtual void destroyEditor() = 0;
    virtual void showEditor() = 0;
    virtual void setCaption(const std::string& caption) = 0;
    virtual std::string caption() const = 0;
    /// The windows beside the editor, which live and go with it; none by default.
    virtual void addToComparison() {}
    virtual void showComparison() {}
    virtual void compareWithLibrary() {}
    virtual void checkLibrary() {}
    /// A library file was opened, or the library written to `path`: the windows that keep
    /// something beside the file follow.
    virtual void libraryOpened(const std::string& /*path*/) {}
    virtual void librarySaved(const std::string& /*path*/) {}
};

/// The services the application needs beside its windows.
struct ApplicationServices {
    MessageBox& messages;
    FileDialogs& dialogs;
    SpreadsheetReader& spreadsheets;
    Locale& locale;
    SettingsBackend& settings;
    HelpLauncher& help;
    AboutBox& about;
    ProcessControl& process;
    RecoveryStore& recovery;
    DocumentLock& lock;
    /// Drives the recovery copies; started by the application.
    RepeatingTimer& recoveryTimer;
    /// The desktop's clipboard, which Copy and Paste share with other programs; without
    /// one they keep to the window.
    Clipboard* clipboard = nullptr;
    /// Where a save's disk work runs, off the window's thread; without one it runs in place.
    BackgroundWork* background = nullptr;
};

/// The application's commands and the editor window's life: loading it on first use,
/// unloading it with the save question, and storing the unit system when it goes.
class Application final : public ShellCommands, public EditorWindowHost {
public:
    Application(AppState& state, EditorWindowFactory& editors, MainWindow& mainWindow,
                const ApplicationServices& services);
    ~Application() override;

    DocumentLifecycle& lifecycle() { return lifecycle_; }
    /// The dialogs of export and of the import from another library; until they are set,
    /// those two commands do nothing.
    void setExchangeDialogs(ExchangeDialogs& dialogs) { exchange_ = &dialogs; }

    // EditorWindowHost
    DocumentView* loadedEditor() override;
    DocumentView& editor() override;
    void showEditor() override;
    void setEditorCaption(const std::string& caption) override;
    std::string editorCaption() const override;
    bool unloadEditor() override;
    void setSaveOnUnload(bool ask) override { saveOnUnload_ = ask; }
    void endProcess() override;
    void storePendingEdits() override;

    /// The description box's focus notifications, passed on to the editing commands. While
    /// the box has the focus, what it holds is an edit that a command must store first.
    void descriptionText_GotFocus();
    void descriptionText_LostFocus();

    /// Offers each copy that an earlier run left in the recovery store, until the user takes
    /// one; a copy refused is removed.
    void offerRecovery();
    Recovery& recovery() { return recovery_; }

    /// The user closes the editor window; false when they cancelled at the save question.
    bool editorCloseRequested() {
        lifecycle_.waitForSave();
        return unloadEditor();
    }
    /// The user closes the main window: the editor goes first; false when cancelled.
    bool mainWindowCloseRequested();

    // Commands
    void NewLibrary() override { lifecycle_.NewLibrary(); }
    void OpenLibrary() override { lifecycle_.OpenLibrary(); }
    void openLibraryFile(const std::string& path) override { lifecycle_.OpenLibrary(path); }
    void openDroppedFile(const std::string& path) override { lifecycle_.openDroppedFile(path); }
    void importLibrary() override { lifecycle_.importLibrary(); }
    void exportMaterials() override;
    void importFromLibrary() override;
    void addToComparison() override;
    void showComparison() override;
    void compareWithLibrary() override;
    void checkLibrary() override;
    std::vector<RecentFile> recentFileList() const override { return recent_.entries(); }
    void openRecentFile(const std::string& path) override;
    void SaveLibrary() override { lifecycle_.SaveLibrary(); }
    void SaveLibraryAs() override { lifecycle_.SaveLibraryAs(); }
    bool IsUntitled() const override;
    void closeLibrary() override { lifecycle_.ConfirmSaveChanges(); }
    void exitFromEditor() override;

    void newMaterial() override;
    void onNewMaterial() override;
    void ClearValues() override;
    void onMaterialSet() override;
    void DeleteSelected() override;
    void renameSelected() override;
    void onCopyMaterial() override;
    void onPasteMaterial() override;
    void undo() override;
    void redo() override;

    /// The editing commands of the loaded editor, or nullptr without one.
    EditingCommands* editing();

private:
    AppState& state_;
    EditorWindowFactory& editors_;
    MainWindow& mainWindow_;
    MessageBox& messages_;
    FileDialogs& dialogs_;
    ExchangeDialogs* exchange_ = nullptr;
    RepeatingTimer& recoveryTimer_;
    clsRegistry registry_;
    Recovery recovery_;
    DocumentLifecycle lifecycle_;
    RecentFiles recent_;
    std::unique_ptr<MaterialClipboard> clipboard_;
    DocumentView* editor_ = nullptr;
    std::unique_ptr<EditingCommands> editing_;
    bool saveOnUnload_ = false;
    bool unloading_ = false;
    bool storeUnitsOnUnload_ = true;
    bool descriptionFocused_ = false;
};

} // namespace mb
