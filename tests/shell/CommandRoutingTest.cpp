#include "shell/CommandRouting.h"

#include "shell/MainWindow.h"
#include "ShellFakes.h"

#include <gtest/gtest.h>

#include <algorithm>

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
    MainWindow window{toolbar, statusBar, toolbarCheck, statusbarCheck};
    CommandRouter router{commands, window};

    Calls menu(MenuSet set, std::initializer_list<const char*> names) {
        commands.calls.clear();
        for (const char* name : names) router.menuItemClicked(set, name);
        return commands.calls;
    }
    Calls toolbarKeys(std::initializer_list<const char*> keys) {
        commands.calls.clear();
        for (const char* key : keys) router.Toolbar1_ButtonClick(key);
        return commands.calls;
    }
};

// Captions and shortcuts are checked on the real window's menus.

TEST_F(RoutingTest, EveryMenuItemStartsItsCommand) {
    EXPECT_EQ(menu(MenuSet::MainWindow, {"fileNewMenu", "fileOpenMenu", "separatorMenu",
                                         "fileExitMenu", "aboutMaterial", "aboutMaterialMenu"}),
              (Calls{"NewLibrary", "OpenLibrary", "ExitFromMainWindow", "ShowHelpFromMainWindow",
                     "ShowAbout"}));
    EXPECT_EQ(menu(MenuSet::EditorWindow,
                   {"fileNewMenu", "fileOpenMenu", "fileCloseMenu", "separatorMenu", "saveMenu",
                    "saveAsMenu", "separator1", "fileExitMenu", "newMaterial", "set", "resetMenu",
                    "delete", "copyMaterial", "pasteMaterial", "helpTopicsMenu", "aboutMenu"}),
              (Calls{"NewLibrary", "OpenLibrary", "CloseLibrary", "SaveLibrary", "SaveLibraryAs",
                     "ExitFromEditor", "newMaterial", "ClearValues", "onMaterialSet",
                     "DeleteSelected", "onCopyMaterial", "onPasteMaterial", "ShowHelpFromEditor",
                     "ShowAbout"}));
    // The "&View" items are the main window's own business, not commands.
    EXPECT_TRUE(menu(MenuSet::EditorWindow, {"toolbarMenu", "StatusbarMenu"}).empty());
    EXPECT_FALSE(toolbar.visible);
    EXPECT_FALSE(statusBar.visible);
    // Items of the other menu, and unknown names, start nothing.
    EXPECT_TRUE(menu(MenuSet::MainWindow, {"saveMenu", "fileCloseMenu"}).empty());
    EXPECT_TRUE(menu(MenuSet::EditorWindow, {"aboutMaterial", "nothing"}).empty());
}

TEST_F(RoutingTest, SaveMeansSaveAsWhileUntitled) {
    commands.untitled = true;
    EXPECT_EQ(menu(MenuSet::EditorWindow, {"saveMenu"}), Calls{"SaveLibraryAs"});
    EXPECT_EQ(toolbarKeys({"save"}), Calls{"SaveLibraryAs"});
    commands.untitled = false;
    EXPECT_EQ(toolbarKeys({"save"}), Calls{"SaveLibrary"});
}

TEST_F(RoutingTest, EditorButtonsDoWhatTheirMenuTwinsDo) {
    for (const auto& [button, item, call] :
         {std::tuple{"reset", "resetMenu", "onMaterialSet"}, {"AddSet", "set", "ClearValues"}}) {
        commands.calls.clear();
        router.buttonClicked(button);
        router.menuItemClicked(MenuSet::EditorWindow, item);
        EXPECT_EQ(commands.calls, (Calls{call, call})) << button;
    }
    commands.calls.clear();
    router.buttonClicked("cmdNewMaterial");
    router.buttonClicked("Reset"); // names are exact
    EXPECT_EQ(commands.calls, Calls{"onNewMaterial"});
}

TEST_F(RoutingTest, ToolbarClicksByKey) {
    EXPECT_EQ(toolbarKeys({"new", "open", "deleteMaterial", "help"}),
              (Calls{"NewLibrary", "OpenLibrary", "DeleteSelected", "ShowHelpFromToolbar"}));
    // "reset" is in the click table though no button carries it.
    for (const ToolbarRoute& b : ToolbarTable()) EXPECT_NE(b.key, "reset");
    EXPECT_EQ(toolbarKeys({"reset"}), Calls{"ClearValues"});
    // Keys are exact: anything else, separators included, does nothing.
    EXPECT_TRUE(toolbarKeys({"separator", "separator2", "Save", "NEW", "delete", "", "about",
                             "deleteMaterial "})
                    .empty());
    EXPECT_TRUE(toolbar.visible);
    EXPECT_TRUE(statusBar.visible);
}

TEST(ToolbarTableTest, DeleteButtonShowsTheDeleteImage) {
    // The one button whose image is not named after its key.
    const auto& table = ToolbarTable();
    const auto it = std::find_if(table.begin(), table.end(),
                                 [](const ToolbarRoute& b) { return b.key == "deleteMaterial"; });
    ASSERT_NE(it, table.end());
    EXPECT_EQ(it->image, "delete");
}

} // namespace
} // namespace mb
