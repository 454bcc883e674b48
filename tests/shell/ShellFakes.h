#pragma once

// In-memory stand-ins for the main window's views and the commands, recording what the
// logic asked of them.

#include "platform/HelpViewer.h"
#include "shell/Commands.h"
#include "shell/MainWindowViews.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace mb::test {

class FakeToolbar : public ToolbarView {
public:
    FakeToolbar() {
        for (const char* key : {"separator", "new", "open", "save", "deleteMaterial",
                                "separator2", "help"})
            enabled[key] = true;
    }
    void setVisible(bool v) override { visible = v; }
    bool isVisible() const override { return visible; }
    void setButtonEnabled(const std::string& key, bool e) override {
        if (enabled.count(key)) enabled[key] = e;
    }
    bool isButtonEnabled(const std::string& key) const override {
        const auto it = enabled.find(key);
        return it != enabled.end() && it->second;
    }
    bool visible = true;
    std::map<std::string, bool> enabled;
};

class FakeStatusBar : public StatusBarView {
public:
    void setVisible(bool v) override { visible = v; }
    bool isVisible() const override { return visible; }
    void setPicture(int frame) override { pictures.push_back(frame); }
    /// The picture on show: the last one set, nullopt before any.
    std::optional<int> shown() const {
        return pictures.empty() ? std::nullopt : std::optional<int>(pictures.back());
    }
    bool visible = true;
    std::vector<int> pictures;
};

class FakeMenuCheck : public MenuCheck {
public:
    explicit FakeMenuCheck(bool initially) : checked(initially) {}
    void setChecked(bool c) override { checked = c; }
    bool isChecked() const override { return checked; }
    bool checked;
};

class FakeProcess : public ProcessControl {
public:
    void endProcess() override { ++ended; }
    int ended = 0;
};

class FakeAboutBox : public AboutBox {
public:
    void show() override { ++shown; }
    int shown = 0;
};

class FakeHelpViewer : public HelpViewer {
public:
    void open(const std::string& path) override { opened.push_back(path); }
    std::vector<std::string> opened;
};

/// Records every command by name. `Base` is Commands, or ShellCommands when what the shell
/// answers itself (help, about, the main window's Exit) is under test.
template <class Base>
class CommandRecorder : public Base {
public:
    using Base::Base;
    std::vector<std::string> calls;
    bool untitled = false;

    void NewLibrary() override { calls.push_back("NewLibrary"); }
    void OpenLibrary() override { calls.push_back("OpenLibrary"); }
    void SaveLibrary() override { calls.push_back("SaveLibrary"); }
    void SaveLibraryAs() override { calls.push_back("SaveLibraryAs"); }
    bool IsUntitled() const override { return untitled; }
    void CloseLibrary() override { calls.push_back("CloseLibrary"); }
    void ExitFromEditor() override { calls.push_back("ExitFromEditor"); }
    void OpenLibraryFile(const std::string& path) override {
        calls.push_back("OpenLibraryFile " + path);
    }
    void newMaterial() override { calls.push_back("newMaterial"); }
    void onNewMaterial() override { calls.push_back("onNewMaterial"); }
    void ClearValues() override { calls.push_back("ClearValues"); }
    void onMaterialSet() override { calls.push_back("onMaterialSet"); }
    void DeleteSelected() override { calls.push_back("DeleteSelected"); }
    void onCopyMaterial() override { calls.push_back("onCopyMaterial"); }
    void onPasteMaterial() override { calls.push_back("onPasteMaterial"); }
};

/// Help, about and Exit are recorded too, so a routing test sees which one of the three
/// help commands ran.
class RecordingCommands : public CommandRecorder<Commands> {
public:
    void ExitFromMainWindow() override { calls.push_back("ExitFromMainWindow"); }
    void ShowHelpFromMainWindow() override { calls.push_back("ShowHelpFromMainWindow"); }
    void ShowHelpFromEditor() override { calls.push_back("ShowHelpFromEditor"); }
    void ShowHelpFromToolbar() override { calls.push_back("ShowHelpFromToolbar"); }
    void ShowAbout() override { calls.push_back("ShowAbout"); }
};

} // namespace mb::test
