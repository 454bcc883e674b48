#include "CommandRouting.h"

#include "HelpLauncher.h"
#include "MainWindow.h"
#include "ShellFakes.h"

#include <gtest/gtest.h>

namespace mb {
namespace {

using Calls = std::vector<std::string>;

class RoutingTest : public testing::Test {
protected:
    test::RecordingCommands commands;
    test::FakeToolbar toolbar;
    test::FakeStatusBar statusBar;
    test::FakeMenuCheck toolbarCheck{true};
    test::FakeMenuCheck statusbarCheck{true};
    test::FakeMenuBar menus;
    test::FakeTitle title;
    MainWindow window{toolbar, statusBar, toolbarCheck, statusbarCheck, menus, title};
    CommandRouter router{commands, window};

    /// 'M' main-window menu, 'E' editor menu, 'B' editor button, 'T' toolbar key.
    Calls click(char from, const char* name) {
        commands.calls.clear();
        if (from == 'B')
            router.buttonClicked(name);
        else if (from == 'T')
            router.Toolbar1_ButtonClick(name);
        else
            router.menuItemClicked(from == 'M' ? MenuSet::MainWindow : MenuSet::EditorWindow, name);
        return commands.calls;
    }
};

// Captions and shortcuts are checked on the real window's menus, and the items the
// window tests use (Open, Close, Rename, Copy, Paste, Undo, Redo, Comparison Window, the
// Save and Add New Material buttons) there too.
TEST_F(RoutingTest, EveryItemButtonAndKeyStartsItsCommand) {
    const std::tuple<char, const char*, const char*> cases[] = {
        {'M', "fileExitMenu", "exitFromMainWindow"},
        {'M', "aboutMaterial", "showHelpFromMainWindow"},
        {'M', "saveMenu", nullptr},
        {'M', "aboutMaterialMenu", "showAbout"},
        {'E', "saveMenu", "SaveLibrary"},
        {'E', "saveAsMenu", "SaveLibraryAs"},
        {'E', "fileExitMenu", "exitFromEditor"},
        {'E', "newMaterial", "newMaterial"},
        {'E', "set", "ClearValues"},
        {'E', "resetMenu", "onMaterialSet"},
        {'E', "delete", "DeleteSelected"},
        {'E', "helpTopicsMenu", "showHelpFromEditor"},
        {'E', "aboutMenu", "showAbout"},
        {'E', "aboutMaterial", nullptr},
        // The "&Reset" and "&Clear" buttons do what their menu twins do; names are exact.
        {'B', "reset", "onMaterialSet"},
        {'B', "AddSet", "ClearValues"},
        {'B', "Reset", nullptr},
        {'T', "new", "NewLibrary"},
        {'T', "deleteMaterial", "DeleteSelected"},
        {'T', "help", "showHelpFromToolbar"},
        {'T', "undo", "undo"},
        {'T', "redo", "redo"},
        {'T', "separator", nullptr},
        // "reset" is in the click table though no button carries it; keys are exact.
        {'T', "reset", "ClearValues"},
        {'T', "Save", nullptr},
        {'T', "deleteMaterial ", nullptr},
    };
    for (const auto& [from, name, call] : cases)
        EXPECT_EQ(click(from, name), call ? Calls{call} : Calls{}) << from << " " << name;
    commands.untitled = true; // never saved: Save means Save As
    EXPECT_EQ(click('E', "saveMenu"), Calls{"SaveLibraryAs"});
    EXPECT_EQ(click('T', "save"), Calls{"SaveLibraryAs"});
    // The "&View" items toggle the bars themselves, following the bar, not the check mark.
    toolbar.visible = false;
    EXPECT_TRUE(click('E', "toolbarMenu").empty());
    EXPECT_TRUE(toolbar.visible && toolbarCheck.checked);
    EXPECT_TRUE(click('E', "StatusbarMenu").empty());
    EXPECT_TRUE(!statusBar.visible && !statusbarCheck.checked);
}

// The menu sets and the caption while an editor is open are checked on the real window;
// the buttons need a library, and the caption goes with the editor.
TEST_F(RoutingTest, TheEditorWindowBringsItsButtonsAndTakesThemAwayWithItsCaption) {
    window.MDIForm_Load();
    EXPECT_TRUE(toolbar.enabled.empty());
    window.editorLoaded();
    window.editorCaptionChanged("/data/steels.lib");
    EXPECT_EQ(toolbar.enabled, (std::set<std::string>{"deleteMaterial", "save"}));
    window.editorUnloaded();
    EXPECT_EQ(title.title, "VELTRA/M Material Browser");
    EXPECT_TRUE(toolbar.enabled.empty());
}

TEST_F(RoutingTest, TimerFramesOverTwoCycles) {
    // Tick 1 shows nothing; a cycle of 13 follows in which ticks 9 and 11 set no picture,
    // so 109 and 110 stay up for two ticks.
    const std::vector<int> cycle = {102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112};
    std::vector<int> expected = cycle;
    expected.insert(expected.end(), cycle.begin(), cycle.end());
    for (int i = 0; i < 27; ++i)
        window.Timer1_Timer();
    EXPECT_EQ(statusBar.pictures, expected);
    EXPECT_EQ(window.animation().step(), 1);
}

TEST(ShellCommandsTest, HelpPathOfEachCommand) {
    using Show = void (Commands::*)();
    const Show main = &Commands::showHelpFromMainWindow, editor = &Commands::showHelpFromEditor;
    const std::tuple<Show, std::optional<std::string>, const char*, const char*> cases[] = {
        {main, "/opt/veltram", "/x/tools/browser", "/opt/veltram/help/Material.chm"},
        {main, std::nullopt, "/x/tools/browser", "/help/Material.chm"}, // unset reads as empty
        // The program's directory loses ten characters, whatever the path components.
        {editor, "/v", "/x/tools/matbrowse", "/x/tools/help/Material.chm"},
        {&Commands::showHelpFromToolbar, "/v", "/x/tools/browser", "/x/too/help/Material.chm"},
        {editor, "/v", "/x/tools/matbrowse//", "/x/tools/help/Material.chm"},
        {editor, "/v", "/opt/mb", "/opt/mb/help/Material.chm"}, // too short to cut: whole
        {editor, "/v", "/usr/local", "/help/Material.chm"},
    };
    test::FakeAboutBox about;
    test::FakeProcess process;
    for (const auto& [show, veltram, dir, path] : cases) {
        test::FakeHelpViewer viewer;
        HelpLauncher launcher(viewer, dir, [&v = veltram](const std::string& name) {
            return name == "veltram" ? v : std::nullopt;
        });
        test::CommandRecorder<ShellCommands> commands(launcher, about, process);
        (commands.*show)();
        EXPECT_EQ(viewer.opened, Calls{path}) << dir;
        EXPECT_TRUE(commands.calls.empty());
    }
}

} // namespace
} // namespace mb
