#include "MaterialBrowser.h"

#include "EditorWindows.h"
#include "MDIForm1.h"

#include "Application.h"
#include "HelpLauncher.h"
#include "IsolatedSpreadsheetReader.h"
#include "QtBackgroundWork.h"
#include "QtClipboard.h"
#include "QtDocumentLock.h"
#include "QtExchangeDialogs.h"
#include "QtHelpViewer.h"
#include "QtRecoveryStore.h"
#include "QtRepeatingTimer.h"
#include "QtServices.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

namespace mb::qt {

namespace {

template <class T, class Real, class... Args>
T& Choose(T* given, std::unique_ptr<T>& own, Args&&... args) {
    if (given) return *given;
    own = std::make_unique<Real>(std::forward<Args>(args)...);
    return *own;
}

} // namespace

MaterialBrowser::MaterialBrowser(const BrowserServices& services)
    : mainWindow_(std::make_unique<MDIForm1>()) {
    MessageBox& messages =
        Choose<MessageBox, QtMessageBox>(services.messages, ownMessages_, mainWindow_.get());
    FileDialogs& dialogs =
        Choose<FileDialogs, QtFileDialogs>(services.dialogs, ownDialogs_, mainWindow_.get());
    SettingsBackend& settings =
        Choose<SettingsBackend, QtSettingsBackend>(services.settings, ownSettings_);
    HelpViewer& helpViewer = Choose<HelpViewer, QtHelpViewer>(services.helpViewer, ownHelpViewer_);
    RecoveryStore& recovery =
        Choose<RecoveryStore, QtRecoveryStore>(services.recovery, ownRecovery_);
    DocumentLock& lock = Choose<DocumentLock, QtDocumentLock>(services.lock, ownLock_);
    recoveryTimer_ = std::make_unique<QtRepeatingTimer>();
    background_ = std::make_unique<QtBackgroundWork>();
    // Workbooks are read by the reader program in a process of its own: a damaged one cannot
    // take the editor down with it.
    spreadsheets_ = std::make_unique<IsolatedSpreadsheetReader>(IsolatedSpreadsheetReader::locate(
        QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString(),
        MB_SHEETREADER_INSTALLED, MB_SHEETREADER_BUILT));
    locale_ = std::make_unique<QtLocale>();
    clipboard_ = std::make_unique<QtClipboard>();
    help_ = std::make_unique<HelpLauncher>(
        helpViewer, QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    editors_ = std::make_unique<EditorWindows>(state_, *mainWindow_, messages, *locale_, dialogs);
    application_ = std::make_unique<Application>(
        state_, *editors_, mainWindow_->logic(),
        ApplicationServices{messages, dialogs, *spreadsheets_, *locale_, settings, *help_,
                            mainWindow_->aboutBox(), mainWindow_->process(), recovery, lock,
                            *recoveryTimer_, clipboard_.get(), background_.get()});
    editors_->setApplication(*application_);
    exchange_ = std::make_unique<QtExchangeDialogs>(mainWindow_.get());
    application_->setExchangeDialogs(*exchange_);
    mainWindow_->setCommands(*application_);
    mainWindow_->closeRequested = [this] { return application_->mainWindowCloseRequested(); };
}

MaterialBrowser::~MaterialBrowser() {
    // The windows go before the commands and services they call into.
    mainWindow_->closeRequested = nullptr;
    mainWindow_.reset();
}

void MaterialBrowser::show() {
    mainWindow_->show();
    // After start-up is over, so that a file named on the command line is open by then and
    // a recovered library takes its place rather than the other way round.
    QTimer::singleShot(0, mainWindow_.get(), [this] { application_->offerRecovery(); });
}

void MaterialBrowser::openFile(const std::string& path) {
    // The desktop hands over whatever the user opened with the program, by its name: the
    // same file must not be a library when dropped and "not a library" when opened.
    application_->openDroppedFile(path);
}

} // namespace mb::qt
