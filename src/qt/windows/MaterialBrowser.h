#pragma once

#include "AppState.h"

#include <memory>
#include <string>

namespace mb {
class Application;
class BackgroundWork;
class Clipboard;
class DocumentLock;
class FileDialogs;
class HelpLauncher;
class HelpViewer;
class Locale;
class MessageBox;
class RecoveryStore;
class RepeatingTimer;
class SettingsBackend;
class SpreadsheetReader;

namespace qt {

class EditorWindows;
class QtExchangeDialogs;
class MDIForm1;

/// Services a test may put in place of the real ones; null means the real one.
struct BrowserServices {
    MessageBox* messages = nullptr;
    FileDialogs* dialogs = nullptr;
    SettingsBackend* settings = nullptr;
    HelpViewer* helpViewer = nullptr;
    RecoveryStore* recovery = nullptr;
    DocumentLock* lock = nullptr;
};

/// The whole application put together: the state, the main window, the editor windows
/// it hosts, the platform services and the commands.
class MaterialBrowser {
public:
    explicit MaterialBrowser(const BrowserServices& services = {});
    ~MaterialBrowser();
    MaterialBrowser(const MaterialBrowser&) = delete;
    MaterialBrowser& operator=(const MaterialBrowser&) = delete;

    /// Shows the main window; once the event loop runs, offers what an earlier run left
    /// for recovery.
    void show();
    /// Opens a library, or imports a workbook, CSV or JSON file, as a drop of the file on
    /// the window would (the command line's file).
    void openFile(const std::string& path);

    AppState& state() { return state_; }
    MDIForm1& mainWindow() { return *mainWindow_; }
    EditorWindows& editors() { return *editors_; }
    Application& application() { return *application_; }

private:
    AppState state_;
    std::unique_ptr<MDIForm1> mainWindow_;
    std::unique_ptr<MessageBox> ownMessages_;
    std::unique_ptr<FileDialogs> ownDialogs_;
    std::unique_ptr<SettingsBackend> ownSettings_;
    std::unique_ptr<HelpViewer> ownHelpViewer_;
    std::unique_ptr<RecoveryStore> ownRecovery_;
    std::unique_ptr<DocumentLock> ownLock_;
    std::unique_ptr<RepeatingTimer> recoveryTimer_;
    // Before the application, which saves through it: it goes after it, waiting for a save.
    std::unique_ptr<BackgroundWork> background_;
    std::unique_ptr<SpreadsheetReader> spreadsheets_;
    std::unique_ptr<Locale> locale_;
    std::unique_ptr<Clipboard> clipboard_;
    std::unique_ptr<HelpLauncher> help_;
    std::unique_ptr<EditorWindows> editors_;
    std::unique_ptr<QtExchangeDialogs> exchange_;
    std::unique_ptr<Application> application_;
};

} // namespace qt
} // namespace mb
