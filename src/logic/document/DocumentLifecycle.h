#pragma once

#include "LargePages.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace mb {

struct AppState;
struct RecoveryCopy;
class BackgroundWork;
class DocumentView;
class DocumentLock;
class FileDialogs;
class Locale;
class MessageBox;
class Recovery;
class SpreadsheetReader;
class clsRegistry;

inline constexpr const char* kNewFileCaption = "New File, not Saved";
inline constexpr const char* kOpenDialogTitle = "Open Library File...";
inline constexpr const char* kOpenDialogFilter =
    "VELTRA Material Files (*.lib)|*.lib|Excel Files  (*.xls)|*.xls|All Files  (*.*)|*.*";
inline constexpr const char* kImportDialogTitle = "Import...";
inline constexpr const char* kImportDialogFilter =
    "Spreadsheets and Exchange Files (*.xls *.xlsx *.ods *.csv *.json)|"
    "*.xls;*.xlsx;*.ods;*.csv;*.json|All Files  (*.*)|*.*";
inline constexpr const char* kSaveDialogTitle = "Save Library File As ...";
inline constexpr const char* kNothingToSave = "Nothing to be saved.";
inline constexpr const char* kSaveNewLibraryQuestion = "Do you want to save changes?";

/// "Recover the unsaved changes of NAME from TIME?"
std::string recoverQuestion(const std::string& name, const std::string& time);
/// "The last save of PATH did not finish. Restore the library as it was before that save?"
std::string unfinishedSaveQuestion(const std::string& path);
/// The save question when the library's file changed on disk after it was opened or saved.
std::string changedOnDiskQuestion(const std::string& path);
/// The warning for a library that another running instance holds open for editing.
std::string openElsewhereWarning(const std::string& path, const std::string& holder);
/// Whether a file dropped onto the window is one Open or Import reads: a library or a
/// workbook (".xls", ".xlsx", ".ods"), a ".csv" or a ".json", told by its extension.
bool isDroppableFile(const std::string& path);
/// Whether a dropped file is read as Import reads it rather than as Open does: one that
/// neither the open dialog's library filter nor its ".xls" filter takes.
bool isImportedOnDrop(const std::string& path);
/// What the save dialog proposes for a library read from the workbook `path`: the
/// workbook's name with ".lib" instead of its extension, in the workbook's folder.
std::string proposedLibraryPath(const std::string& path);

/// The editor window as the document commands see it: loaded afresh on first use after
/// an unload, so its selectors and boxes start empty.
class EditorWindowHost {
public:
    virtual ~EditorWindowHost() = default;
    /// The editor's logic, or nullptr while the window is not loaded.
    virtual DocumentView* loadedEditor() = 0;
    /// Loads the window if needed (running its load step) and returns its logic.
    virtual DocumentView& editor() = 0;
    virtual void showEditor() = 0;
    virtual void setEditorCaption(const std::string& caption) = 0;
    /// "" while the window is not loaded.
    virtual std::string editorCaption() const = 0;
    /// Unloads the window with its unload steps, which ask to save while the
    /// ask-on-unload flag is set. False when the user cancelled and the window stays.
    virtual bool unloadEditor() = 0;
    virtual void setSaveOnUnload(bool ask) = 0;
    /// Ends the process at once, without further questions.
    virtual void endProcess() = 0;
    /// Stores what the user is still typing (a grid cell, the description box) as
    /// leaving it would: menu shortcuts and toolbar buttons do not take the focus.
    virtual void storePendingEdits() = 0;
};

/// New, open, save, save as and close of the one library, with the save-changes prompt.
class DocumentLifecycle {
public:
    DocumentLifecycle(AppState& state, EditorWindowHost& host, MessageBox& messages,
                      FileDialogs& dialogs, SpreadsheetReader& spreadsheets, Locale& locale,
                      clsRegistry& registry, Recovery& recovery, DocumentLock& lock,
                      BackgroundWork* background = nullptr);
    ~DocumentLifecycle();

    void NewLibrary();
    /// Shows the open dialog until a library is read or the user cancels. With
    /// `initialPath`, that path is taken as if chosen in the dialog first.
    void OpenLibrary(const std::optional<std::string>& initialPath = std::nullopt);
    /// "&Import...": as OpenLibrary, but the dialog offers workbooks, ".csv" and ".json"
    /// files, and whatever is chosen is imported (the library then counts as never saved).
    void importLibrary(const std::optional<std::string>& initialPath = std::nullopt);
    /// A file dropped onto the window: imported or opened by its extension.
    void openDroppedFile(const std::string& path);
    /// Saves under the library's name; its disk work goes on in the background, where a
    /// `background` was given, after this returns.
    void SaveLibrary();
    /// Asks for a name and saves; returns once the save has finished.
    void SaveLibraryAs();
    /// Returns once a save still running has finished, its questions answered. Everything
    /// that replaces, closes or saves the library waits for it first.
    void waitForSave();
    /// Asks whether to save and closes the library; true when the user cancelled.
    bool ConfirmSaveChanges();
    /// Opens a recovered copy as the library, named after the file it came from (or as
    /// a library never saved). False when the user kept the open library or the copy
    /// holds no library.
    bool openRecoveredLibrary(const RecoveryCopy& copy);

    void ShowFirstMaterial();
    void RestoreUnitSystem();

    /// Told the path of each library opened or saved under a name (not of a workbook).
    std::function<void(const std::string& path)> libraryFileUsed;
    /// Told the path of each library file opened (not of a workbook or a recovered copy).
    std::function<void(const std::string& path)> libraryOpened;
    /// Told the path each time the library has been written whole by Save or Save As.
    std::function<void(const std::string& path)> librarySaved;

private:
    enum class ReadOutcome { Read, NotRead };
    /// Open and Import: `importing` reads every file as an import, else only a ".xls".
    void openOrImport(const std::optional<std::string>& initialPath, bool importing);
    ReadOutcome readChosenFile(const std::string& path, bool importing);
    /// A save of the library at `path` that died while it rewrote the file in place may
    /// have left it half old, half new: offers to put back the copy of its old content.
    void offerUnfinishedSave(const std::string& path);
    /// Asks about a never-saved library before it is replaced; false when the user
    /// cancelled or the save they asked for did not happen.
    bool mayReplaceNeverSaved();
    /// The steps after a library has been read: tree, editor window, selectors.
    void showOpenedLibrary(const std::string& caption);
    /// Takes the lock of the library's file (none for a library without one); warns when
    /// another instance holds it and `warn` is set.
    void lockCurrentFile(bool warn);
    /// False when the file changed on disk and the user did not want it overwritten.
    bool mayOverwriteFile();
    /// The lines below a write error's first line: the file, what Cancel does and
    /// where the recovery copy went (written now, before the box shows).
    std::string writeErrorDetails();
    void resetViewAndUnloadEditor();
    struct RunningSave;
    /// Groups and formats the library, and starts the disk work of its save; what follows
    /// it happens in saveFinished. False when there is no name to write to.
    bool startWrite();
    void runSave(std::shared_ptr<RunningSave> save);
    void saveFinished(const std::shared_ptr<RunningSave>& save);
    bool newLibraryUnsaved() const;
    void commitPendingEdit();
    bool treeIsEmpty();
    void prepareSaveRoom();
    // The library is closed or replaced: the room of its saves goes with it.
    void dropSaveRoom();

    AppState& state_;
    EditorWindowHost& host_;
    MessageBox& messages_;
    FileDialogs& dialogs_;
    SpreadsheetReader& spreadsheets_;
    Locale& locale_;
    clsRegistry& registry_;
    Recovery& recovery_;
    DocumentLock& lock_;
    std::unique_ptr<BackgroundWork> inline_; // when no background was given
    BackgroundWork& background_;
    bool lastSaveWritten_ = false;
    // The library text's memory (AppState::textRoom) is being touched in the background.
    bool saveRoomComing_ = false;
    int changeListener_ = 0;
    // Cancel on a write error ends the application: nothing may ask anything after it.
    bool processEnding_ = false;
};

} // namespace mb
