#include "Application.h"

#include "AppState.h"
#include "Controls.h"
#include "EditingCommands.h"
#include "EditorView.h"
#include "ExportMaterials.h"
#include "ImportFromLibrary.h"
#include "MainWindow.h"
#include "MaterialClipboard.h"
#include "RecoveryStore.h"
#include "RepeatingTimer.h"

#include <algorithm>

namespace mb {

Application::Application(AppState& state, EditorWindowFactory& editors, MainWindow& mainWindow,
                         const ApplicationServices& services)
    : ShellCommands(services.help, services.about, services.process), state_(state),
      editors_(editors), mainWindow_(mainWindow), messages_(services.messages),
      dialogs_(services.dialogs), recoveryTimer_(services.recoveryTimer),
      registry_(services.settings), recovery_(state, services.recovery),
      lifecycle_(state, *this, services.messages, services.dialogs, services.spreadsheets,
                 services.locale, registry_, recovery_, services.lock, services.background),
      recent_(services.settings) {
    if (services.clipboard) clipboard_ = std::make_unique<MaterialClipboard>(*services.clipboard);
    lifecycle_.libraryFileUsed = [this](const std::string& path) { recent_.add(path); };
    lifecycle_.libraryOpened = [this](const std::string& path) { editors_.libraryOpened(path); };
    lifecycle_.librarySaved = [this](const std::string& path) { editors_.librarySaved(path); };
    recoveryTimer_.start(kRecoveryIntervalMs, [this] { recovery_.check(); });
    state_.history.onChanged = [this] { mainWindow_.editHistoryChanged(state_.history); };
}

Application::~Application() {
    state_.history.onChanged = nullptr;
    recoveryTimer_.stop();
}

void Application::openRecentFile(const std::string& path) {
    const std::vector<RecentFile> entries = recent_.entries();
    const auto entry = std::find_if(entries.begin(), entries.end(),
                                    [&](const RecentFile& e) { return e.path == path; });
    // A relative path from an older list cannot be judged from here: it is tried, not
    // dropped.
    if (entry != entries.end() && !entry->exists && !path.empty() && path.front() == '/') {
        recent_.remove(path);
        messages_.show(recentFileGoneMessage(path), MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    lifecycle_.OpenLibrary(path);
}

void Application::storePendingEdits() {
    if (!editor_) return;
    editor_->VSFlexGrid1_LeaveCell();
    if (descriptionFocused_ && editing_) editing_->descriptionText_LostFocus();
}

void Application::descriptionText_GotFocus() {
    descriptionFocused_ = true;
    if (editing_) editing_->descriptionText_GotFocus();
}

void Application::descriptionText_LostFocus() {
    descriptionFocused_ = false;
    if (editing_) editing_->descriptionText_LostFocus();
}

void Application::offerRecovery() {
    RecoveryStore& store = recovery_.store();
    bool recovered = false;
    for (const LeftRecoveryCopy& left : store.claimLeftCopies()) {
        const std::optional<RecoveryCopy> copy = parseRecoveryCopy(left.content);
        // Not a copy this program can read: it stays for whoever wrote it.
        if (recovered || !copy) {
            store.release(left.id);
            continue;
        }
        const std::string& file = copy->header.fileName;
        const std::string name = file.empty() ? std::string("a new library") : file;
        if (messages_.show(recoverQuestion(name, left.time), MsgButtons::YesNo,
                           MsgIcon::Question) == MsgResult::No) {
            store.remove(left.id);
            continue;
        }
        if (!lifecycle_.openRecoveredLibrary(*copy)) {
            store.release(left.id);
            continue;
        }
        recovered = true;
        // The old copy goes only once this instance holds one of its own.
        std::string reason;
        if (recovery_.writeNow(reason))
            store.remove(left.id);
        else
            store.release(left.id);
    }
}

DocumentView* Application::loadedEditor() {
    return editor_;
}

DocumentView& Application::editor() {
    if (editor_) return *editor_;
    editor_ = &editors_.createEditor();
    editor_->Form_Load();
    mainWindow_.editorLoaded();
    saveOnUnload_ = true;
    editing_ = std::make_unique<EditingCommands>(state_, *editor_, messages_, clipboard_.get());
    return *editor_;
}

void Application::showEditor() {
    editor();
    editors_.showEditor();
}

void Application::setEditorCaption(const std::string& caption) {
    editor();
    editors_.setCaption(caption);
    mainWindow_.editorCaptionChanged(caption);
}

std::string Application::editorCaption() const {
    return editor_ ? editors_.caption() : "";
}

bool Application::unloadEditor() {
    if (!editor_ || unloading_) return true;
    if (saveOnUnload_) {
        // The question closes the library itself (and unloads this window) unless the
        // user cancels.
        return !lifecycle_.ConfirmSaveChanges();
    }
    unloading_ = true;
    descriptionFocused_ = false;
    mainWindow_.editorUnloaded();
    state_.doc.CurrentFileName.clear();
    const int index = editor_->unitsIndex();
    if (storeUnitsOnUnload_ && index >= 0) registry_.SetValue(static_cast<int16_t>(index));
    editing_.reset();
    editor_ = nullptr;
    editors_.destroyEditor();
    unloading_ = false;
    return true;
}

void Application::endProcess() {
    process().endProcess();
}

bool Application::mainWindowCloseRequested() {
    // The window does not go while its library is still being written.
    lifecycle_.waitForSave();
    return unloadEditor();
}

bool Application::IsUntitled() const {
    return state_.doc.IsUntitled;
}

void Application::exitFromEditor() {
    // Leaving through Exit ends the process at once: the unit system chosen in this
    // session is not kept, even though closing the library unloads the editor.
    storeUnitsOnUnload_ = false;
    const bool cancelled = lifecycle_.ConfirmSaveChanges();
    storeUnitsOnUnload_ = true;
    if (!cancelled) endProcess();
}

EditingCommands* Application::editing() {
    return editing_.get();
}

void Application::newMaterial() {
    if (auto* e = editing()) e->newMaterial();
}
void Application::onNewMaterial() {
    if (auto* e = editing()) e->onNewMaterial();
}
void Application::ClearValues() {
    if (auto* e = editing()) e->ClearValues();
}
void Application::onMaterialSet() {
    if (auto* e = editing()) e->onMaterialSet();
}
void Application::DeleteSelected() {
    if (auto* e = editing()) e->DeleteSelected();
}
void Application::renameSelected() {
    if (auto* e = editing()) e->renameSelected();
}
void Application::onCopyMaterial() {
    if (auto* e = editing()) e->onCopyMaterial();
}
void Application::onPasteMaterial() {
    if (auto* e = editing()) e->onPasteMaterial();
}
// What is still being typed is stored first, as an edit of its own: the undo then takes
// exactly that back.
void Application::undo() {
    storePendingEdits();
    if (auto* e = editing()) e->undo();
}
void Application::redo() {
    storePendingEdits();
    if (auto* e = editing()) e->redo();
}

void Application::exportMaterials() {
    if (!editor_ || !exchange_) return;
    storePendingEdits();
    mb::ExportMaterials(state_, *editor_, messages_, *exchange_, dialogs_).run();
}

void Application::importFromLibrary() {
    if (!editor_ || !exchange_) return;
    storePendingEdits();
    mb::ImportFromLibrary(state_, *editor_, messages_, *exchange_).run(dialogs_);
}

void Application::addToComparison() {
    if (editor_) editors_.addToComparison();
}

void Application::showComparison() {
    if (editor_) editors_.showComparison();
}

void Application::compareWithLibrary() {
    if (!editor_) return;
    storePendingEdits();
    editors_.compareWithLibrary();
}

void Application::checkLibrary() {
    if (!editor_) return;
    storePendingEdits();
    editors_.checkLibrary();
}

} // namespace mb
