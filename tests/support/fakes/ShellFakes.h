#pragma once

// In-memory stand-ins for the main window's views and the commands, recording what the
// logic asked of them.

#include "Commands.h"
#include "HelpViewer.h"
#include "MainWindowViews.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace mb::test {

struct FakeToolbar : ToolbarView {
    void setVisible(bool v) override { visible = v; }
    bool isVisible() const override { return visible; }
    void setButtonEnabled(const std::string& key, bool e) override {
        if (e)
            enabled.insert(key);
        else
            enabled.erase(key);
    }
    bool isButtonEnabled(const std::string& key) const override { return enabled.count(key); }
    void setButtonToolTip(const std::string& key, const std::string& tip) override {
        tips[key] = tip;
    }
    bool visible = true;
    std::set<std::string> enabled;
    std::map<std::string, std::string> tips;
};

struct FakeStatusBar : StatusBarView {
    void setVisible(bool v) override { visible = v; }
    bool isVisible() const override { return visible; }
    void setPicture(int frame) override { pictures.push_back(frame); }
    bool visible = true;
    std::vector<int> pictures;
};

struct FakeMenuCheck : MenuCheck {
    explicit FakeMenuCheck(bool initially) : checked(initially) {}
    void setChecked(bool c) override { checked = c; }
    bool isChecked() const override { return checked; }
    bool checked;
};

/// Records the menu sets shown, and each item set by name: "caption" when enabled,
/// "caption (off)" when not.
struct FakeMenuBar : MenuBarView {
    void showMenuSet(MenuSet set) override { shown.push_back(set); }
    void setItem(const std::string& name, const std::string& caption, bool enabled) override {
        items[name] = caption + (enabled ? "" : " (off)");
    }
    std::vector<MenuSet> shown;
    std::map<std::string, std::string> items;
};

struct FakeTitle : TitleView {
    void setTitle(const std::string& t) override { title = t; }
    std::string title;
};

struct FakeProcess : ProcessControl {
    void endProcess() override { ++ended; }
    int ended = 0;
};
struct FakeAboutBox : AboutBox {
    void show() override { ++shown; }
    int shown = 0;
};
struct FakeHelpViewer : HelpViewer {
    void open(const std::string& path) override { opened.push_back(path); }
    std::vector<std::string> opened;
};

#define MB_RECORD(name)                                                                            \
    void name() override {                                                                         \
        calls.push_back(#name);                                                                    \
    }

/// Records every command by name. `Base` is Commands, or ShellCommands when what the shell
/// answers itself (help, about, the main window's Exit) is under test.
template <class Base> class CommandRecorder : public Base {
public:
    using Base::Base;
    std::vector<std::string> calls;
    bool untitled = false;
    bool IsUntitled() const override { return untitled; }
    void openLibraryFile(const std::string& path) override { calls.push_back("Open " + path); }
    MB_RECORD(NewLibrary)
    MB_RECORD(OpenLibrary)
    MB_RECORD(SaveLibrary)
    MB_RECORD(SaveLibraryAs)
    MB_RECORD(closeLibrary)
    MB_RECORD(exitFromEditor)
    MB_RECORD(newMaterial)
    MB_RECORD(onNewMaterial)
    MB_RECORD(ClearValues)
    MB_RECORD(onMaterialSet)
    MB_RECORD(DeleteSelected)
    MB_RECORD(renameSelected)
    MB_RECORD(showComparison)
    MB_RECORD(onCopyMaterial)
    MB_RECORD(onPasteMaterial)
    MB_RECORD(undo)
    MB_RECORD(redo)
};

/// Help, about and Exit are recorded too, so a routing test sees which one ran.
class RecordingCommands : public CommandRecorder<Commands> {
public:
    MB_RECORD(exitFromMainWindow)
    MB_RECORD(showHelpFromMainWindow)
    MB_RECORD(showHelpFromEditor)
    MB_RECORD(showHelpFromToolbar)
    MB_RECORD(showAbout)
};

#undef MB_RECORD

} // namespace mb::test
