#include "MainWindow.h"

#include "EditHistory.h"
#include "LibraryOperations.h"

#include <tuple>

namespace mb {

std::optional<int> StatusAnimation::tick() {
    const int16_t s = step_;
    step_ = s == 13 ? int16_t{1} : static_cast<int16_t>(s + 1);
    if (s >= 1 && s <= 8) return 101 + s;
    switch (s) {
    case 10:
        return 110;
    case 12:
        return 111;
    case 13:
        return 112;
    default:
        return std::nullopt;
    }
}

MainWindow::MainWindow(ToolbarView& toolbar, StatusBarView& statusBar, MenuCheck& toolbarMenu,
                       MenuCheck& statusbarMenu, MenuBarView& menus, TitleView& title)
    : toolbar_(toolbar), statusBar_(statusBar), toolbarMenu_(toolbarMenu),
      statusbarMenu_(statusbarMenu), menus_(menus), title_(title) {}

void MainWindow::MDIForm_Load() {
    menus_.showMenuSet(MenuSet::MainWindow);
    title_.setTitle(kApplicationTitle);
    toolbar_.setButtonEnabled(kDeleteMaterialKey, false);
    toolbar_.setButtonEnabled(kSaveKey, false);
    showUndoRedo();
}

void MainWindow::Timer1_Timer() {
    if (const auto frame = animation_.tick()) statusBar_.setPicture(*frame);
}

void MainWindow::toggle(Visibility& bar, MenuCheck& check) {
    if (!bar.isVisible()) {
        bar.setVisible(true);
        check.setChecked(true);
    } else {
        bar.setVisible(false);
        check.setChecked(false);
    }
}

void MainWindow::toolbarMenu_Click() {
    toggle(toolbar_, toolbarMenu_);
}

void MainWindow::StatusbarMenu_Click() {
    toggle(statusBar_, statusbarMenu_);
}

void MainWindow::editorLoaded() {
    menus_.showMenuSet(MenuSet::EditorWindow);
    toolbar_.setButtonEnabled(kDeleteMaterialKey, true);
    toolbar_.setButtonEnabled(kSaveKey, true);
    showUndoRedo();
}

void MainWindow::editorUnloaded() {
    toolbar_.setButtonEnabled(kDeleteMaterialKey, false);
    toolbar_.setButtonEnabled(kSaveKey, false);
    menus_.showMenuSet(MenuSet::MainWindow);
    title_.setTitle(kApplicationTitle);
}

void MainWindow::editorCaptionChanged(const std::string& caption) {
    title_.setTitle(std::string(kApplicationTitle) + " - [" + caption + "]");
}

void MainWindow::editHistoryChanged(const EditHistory& history) {
    undo_ = {undoCaption(history), history.canUndo()};
    redo_ = {redoCaption(history), history.canRedo()};
    showUndoRedo();
}

void MainWindow::showUndoRedo() {
    for (const auto& [key, item, state] :
         {std::tuple{kUndoKey, kUndoMenu, &undo_}, std::tuple{kRedoKey, kRedoMenu, &redo_}}) {
        toolbar_.setButtonEnabled(key, state->enabled);
        toolbar_.setButtonToolTip(key, state->caption);
        menus_.setItem(item, state->caption, state->enabled);
    }
}

} // namespace mb
