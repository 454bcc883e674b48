#pragma once

// What the main window's logic needs of its window: the toolbar, the status bar, the
// check marks of the View menu, and ending the process. The Qt main window implements
// them; tests use in-memory fakes.

#include "Controls.h"

#include <string>

namespace mb {

/// The toolbar: its buttons are addressed by key, compared exactly.
class ToolbarView : public Visibility {
public:
    /// A key that names no button is ignored.
    virtual void setButtonEnabled(const std::string& key, bool enabled) = 0;
    virtual bool isButtonEnabled(const std::string& key) const = 0;
    virtual void setButtonToolTip(const std::string& key, const std::string& tip) = 0;
};

/// The status bar with its one picture panel.
class StatusBarView : public Visibility {
public:
    /// Shows animation frame `frame` (102 to 112) in the panel.
    virtual void setPicture(int frame) = 0;
};

/// The menu bar, which shows one of the two menu sets.
enum class MenuSet { MainWindow, EditorWindow };
class MenuBarView {
public:
    virtual ~MenuBarView() = default;
    virtual void showMenuSet(MenuSet set) = 0;
    /// Sets the caption and enablement of an item of the set on show, by name; a name not
    /// on show is ignored. The caption is shown as given, an "&" included.
    virtual void setItem(const std::string& name, const std::string& caption, bool enabled) = 0;
};

/// The frame's title bar.
class TitleView {
public:
    virtual ~TitleView() = default;
    virtual void setTitle(const std::string& title) = 0;
};

/// A menu item's check mark.
class MenuCheck {
public:
    virtual ~MenuCheck() = default;
    virtual void setChecked(bool checked) = 0;
    virtual bool isChecked() const = 0;
};

/// Ends the process at once: no window's unload steps run.
class ProcessControl {
public:
    virtual ~ProcessControl() = default;
    virtual void endProcess() = 0;
};

/// The about box: made afresh when none exists, then shown modelessly.
class AboutBox {
public:
    virtual ~AboutBox() = default;
    virtual void show() = 0;
};

} // namespace mb
