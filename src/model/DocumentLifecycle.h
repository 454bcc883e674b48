#pragma once

#include <optional>
#include <string>

namespace mb {

struct AppState;
class BaseForm;
class FileDialogs;
class Locale;
class MessageBox;
class SpreadsheetReader;
class clsRegistry;

inline constexpr const char* kNewFileCaption = "New File, not Saved";
inline constexpr const char* kOpenDialogTitle = "Open Library File...";
inline constexpr const char* kOpenDialogFilter =
    "VELTRA Material Files (*.lib)|*.lib|Excel Files  (*.xls)|*.xls|All Files  (*.*)|*.*";
inline constexpr const char* kSaveDialogTitle = "Save Library File As ...";
inline constexpr const char* kNothingToSave = "Nothing to be saved.";

/// The editor window as the document commands see it: loaded afresh on first use after
/// an unload, so its selectors and boxes start empty.
class EditorWindowHost {
public:
    virtual ~EditorWindowHost() = default;
    /// The editor's logic, or nullptr while the window is not loaded.
    virtual BaseForm* loadedEditor() = 0;
    /// Loads the window if needed (running its load step) and returns its logic.
    virtual BaseForm& editor() = 0;
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
};

/// New, open, save, save as and close of the one library, with the save-changes prompt.
class DocumentLifecycle {
public:
    DocumentLifecycle(AppState& state, EditorWindowHost& host, MessageBox& messages,
                      FileDialogs& dialogs, SpreadsheetReader& spreadsheets, Locale& locale,
                      clsRegistry& registry);

    void NewLibrary();
    /// Shows the open dialog until a library is read or the user cancels. With
    /// `initialPath`, that path is taken as if chosen in the dialog first.
    void OpenLibrary(const std::optional<std::string>& initialPath = std::nullopt);
    void SaveLibrary();
    void SaveLibraryAs();
    /// Asks whether to save and closes the library; true when the user cancelled.
    bool ConfirmSaveChanges();
    /// Save as the menus do it: save as while the library was never saved.
    void Save();

    void ShowFirstMaterial();
    void RestoreUnitSystem();

private:
    enum class ReadOutcome { Read, NotRead };
    ReadOutcome ReadChosenFile(const std::string& path);
    void ResetViewAndUnloadEditor();
    /// Groups and writes; false when nothing was written.
    bool WriteCurrentFile();
    bool NewLibraryUnsaved() const;
    void CommitPendingEdit();
    bool TreeIsEmpty();

    AppState& state_;
    EditorWindowHost& host_;
    MessageBox& messages_;
    FileDialogs& dialogs_;
    SpreadsheetReader& spreadsheets_;
    Locale& locale_;
    clsRegistry& registry_;
    bool lastSaveWritten_ = false;
    // Cancel on a write error ends the application: nothing may ask anything after it.
    bool processEnding_ = false;
};

} // namespace mb
