#pragma once

#include "MainWindowViews.h"

#include <cstdint>
#include <optional>

namespace mb {

/// Toolbar keys whose buttons follow the editor window.
inline constexpr const char* kSaveKey = "save";
inline constexpr const char* kDeleteMaterialKey = "deleteMaterial";

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
/// and showing and hiding the toolbar and the status bar. The window forwards its events
/// here and does nothing else.
class MainWindow {
public:
    MainWindow(ToolbarView& toolbar, StatusBarView& statusBar, MenuCheck& toolbarMenu,
               MenuCheck& statusbarMenu);

    /// The main window's load step: "save" and "deleteMaterial" start disabled.
    void MDIForm_Load();
    /// The 500 ms timer.
    void Timer1_Timer();
    void toolbarMenu_Click();
    void StatusbarMenu_Click();

    /// The editor window's load step: the buttons that need a library come on.
    void editorLoaded();
    /// The editor window has gone (not cancelled): those buttons go off again.
    void editorUnloaded();

    const StatusAnimation& animation() const { return animation_; }

private:
    static void toggle(Visibility& bar, MenuCheck& check);

    ToolbarView& toolbar_;
    StatusBarView& statusBar_;
    MenuCheck& toolbarMenu_;
    MenuCheck& statusbarMenu_;
    StatusAnimation animation_;
};

} // namespace mb
