#pragma once

#include "MainWindowViews.h"

#include <cstdint>
#include <optional>
#include <string>

namespace mb {

class EditHistory;

/// Toolbar keys whose buttons follow the editor window.
inline constexpr const char* kSaveKey = "save";
inline constexpr const char* kDeleteMaterialKey = "deleteMaterial";
/// The toolbar keys and "&Edit" items of Undo and Redo, which follow the edit history.
inline constexpr const char* kUndoKey = "undo";
inline constexpr const char* kRedoKey = "redo";
inline constexpr const char* kUndoMenu = "undoMenu";
inline constexpr const char* kRedoMenu = "redoMenu";

/// The status-bar animation: a step counter advanced every tick. Frames 109 and 110 stay
/// up for two ticks each, because steps 9 and 11 show nothing new.
class StatusAnimation {
public:
    /// Advances one tick; the frame to show now, or nullopt to keep the picture.
    std::optional<int> tick();
    int16_t step() const { return step_; }

private:
    int16_t step_ = 0;
};

/// The main window's own behaviour (`MDIForm1`): toolbar states, the timer's animation,
/// showing and hiding the toolbar and the status bar, and the state of Undo and Redo. The
/// window forwards its events here and does nothing else.
class MainWindow {
public:
    MainWindow(ToolbarView& toolbar, StatusBarView& statusBar, MenuCheck& toolbarMenu,
               MenuCheck& statusbarMenu, MenuBarView& menus, TitleView& title);

    /// The main window's load step: its own menus, and "save", "deleteMaterial", "undo" and "redo"
    /// disabled.
    void MDIForm_Load();
    /// The 500 ms timer.
    void Timer1_Timer();
    void toolbarMenu_Click();
    void StatusbarMenu_Click();

    /// The editor window's load step: its menus replace the main window's and the
    /// buttons that need a library come on.
    void editorLoaded();
    /// The editor window has gone (not cancelled): the main window's menus, buttons and
    /// title return.
    void editorUnloaded();
    /// Undo and Redo, in the "&Edit" menu and on the toolbar, name the edit they would act
    /// on ("Undo Delete A36") and are enabled only when there is one.
    void editHistoryChanged(const EditHistory& history);
    /// The editor, always maximised, has no title bar of its own: its caption joins the
    /// frame's, as multiple-document frames show it.
    void editorCaptionChanged(const std::string& caption);

    const StatusAnimation& animation() const { return animation_; }

private:
    struct CommandState {
        std::string caption;
        bool enabled = false;
    };
    static void toggle(Visibility& bar, MenuCheck& check);
    /// Shows the Undo and Redo states; the menu is made afresh with each editor window.
    void showUndoRedo();

    ToolbarView& toolbar_;
    StatusBarView& statusBar_;
    MenuCheck& toolbarMenu_;
    MenuCheck& statusbarMenu_;
    MenuBarView& menus_;
    TitleView& title_;
    StatusAnimation animation_;
    CommandState undo_{"Undo"};
    CommandState redo_{"Redo"};
};

} // namespace mb
