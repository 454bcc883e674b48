#include "shell/Application.h"

#include "commands/EditingCommands.h"
#include "platform/Controls.h"
#include "shell/AppState.h"
#include "shell/MainWindow.h"
#include "views/BaseForm.h"

namespace mb {

Application::Application(AppState& state, EditorWindowFactory& editors, MainWindow& mainWindow,
                         const ApplicationServices& services)
    : ShellCommands(services.help, services.about, services.process), state_(state),
      editors_(editors), mainWindow_(mainWindow), registry_(services.settings),
      lifecycle_(state, *this, services.messages, services.dialogs, services.spreadsheets,
                 services.locale, registry_) {}

Application::~Application() = default;

BaseForm* Application::loadedEditor() { return editor_; }

BaseForm& Application::editor() {
    if (editor_) return *editor_;
    editor_ = &editors_.createEditor();
    // The editor window's load step.
    editor_->TreeView1.loadImages();
    mainWindow_.editorLoaded();
    editor_->TreeView1.setVisible(false);
    editor_->valueframe.setVisible(false);
    saveOnUnload_ = true;
    editing_ = std::make_unique<EditingCommands>(*editor_);
    return *editor_;
}

void Application::showEditor() {
    editor();
    editors_.showEditor();
}

void Application::setEditorCaption(const std::string& caption) {
    editor();
    editors_.setCaption(caption);
}

std::string Application::editorCaption() const { return editor_ ? editors_.caption() : ""; }

bool Application::unloadEditor() {
    if (!editor_ || unloading_) return true;
    if (saveOnUnload_) {
        // The question closes the library itself (and unloads this window) unless the
        // user cancels.
        return !lifecycle_.ConfirmSaveChanges();
    }
    unloading_ = true;
    mainWindow_.editorUnloaded();
    state_.doc.CurrentFileName.clear();
    const int index = editor_->unitsCombo.listIndex();
    if (storeUnitsOnUnload_ && index >= 0 && index < editor_->unitsCombo.count())
        registry_.SetValue(static_cast<int16_t>(index));
    editing_.reset();
    editor_ = nullptr;
    editors_.destroyEditor();
    unloading_ = false;
    return true;
}

void Application::endProcess() { process().endProcess(); }

bool Application::mainWindowCloseRequested() { return unloadEditor(); }

bool Application::IsUntitled() const { return state_.doc.IsUntitled; }

void Application::ExitFromEditor() {
    // Leaving through Exit ends the process at once: the unit system chosen in this
    // session is not kept, even though closing the library unloads the editor.
    storeUnitsOnUnload_ = false;
    const bool cancelled = lifecycle_.ConfirmSaveChanges();
    storeUnitsOnUnload_ = true;
    if (!cancelled) endProcess();
}

EditingCommands* Application::editing() { return editing_.get(); }

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
void Application::onCopyMaterial() {
    if (auto* e = editing()) e->onCopyMaterial();
}
void Application::onPasteMaterial() {
    if (auto* e = editing()) e->onPasteMaterial();
}

} // namespace mb
