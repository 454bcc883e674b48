#include "shell/CommandRouting.h"

#include "shell/MainWindow.h"
#include "ShellFakes.h"

#include <gtest/gtest.h>

namespace mb {
namespace {

class RoutingTest : public testing::Test {
protected:
    test::RecordingCommands commands;
    test::FakeToolbar toolbar;
    test::FakeStatusBar statusBar;
    test::FakeMenuCheck toolbarCheck{true};
    test::FakeMenuCheck statusbarCheck{true};
    MainWindow window{toolbar, statusBar, toolbarCheck, statusbarCheck};
    CommandRouter router{commands, window};

    std::vector<std::string> after(const std::function<void()>& click) {
        commands.calls.clear();
        click();
        return commands.calls;
    }
};

using Calls = std::vector<std::string>;

// --- Menus -----------------------------------------------------------------------------

struct ItemCase {
    MenuSet set;
    const char* menu;
    const char* name;
    const char* caption;
    const char* shortcut;
    const char* call; ///< "" for separators and the bar toggles
};

std::ostream& operator<<(std::ostream& os, const ItemCase& c) {
    return os << (c.set == MenuSet::MainWindow ? "main " : "editor ") << c.name;
}

const std::vector<ItemCase>& AllItems() {
    static const std::vector<ItemCase> items = {
        {MenuSet::MainWindow, "fileMenu", "fileNewMenu", "&New   ", "", "NewLibrary"},
        {MenuSet::MainWindow, "fileMenu", "fileOpenMenu", "&Open...   ", "Ctrl+O", "OpenLibrary"},
        {MenuSet::MainWindow, "fileMenu", "separatorMenu", "-", "", ""},
        {MenuSet::MainWindow, "fileMenu", "fileExitMenu", "E&xit   ", "", "ExitFromMainWindow"},
        {MenuSet::MainWindow, "help", "aboutMaterial", "&Help Topics", "F1", "ShowHelpFromMainWindow"},
        {MenuSet::MainWindow, "help", "aboutMaterialMenu", "&About Material Browser", "", "ShowAbout"},
        {MenuSet::EditorWindow, "fileMenu", "fileNewMenu", "&New", "", "NewLibrary"},
        {MenuSet::EditorWindow, "fileMenu", "fileOpenMenu", "&Open...", "Ctrl+O", "OpenLibrary"},
        {MenuSet::EditorWindow, "fileMenu", "fileCloseMenu", "&Close", "", "CloseLibrary"},
        {MenuSet::EditorWindow, "fileMenu", "separatorMenu", "-", "", ""},
        {MenuSet::EditorWindow, "fileMenu", "saveMenu", "&Save", "Ctrl+S", "SaveLibrary"},
        {MenuSet::EditorWindow, "fileMenu", "saveAsMenu", "Save &As...", "Ctrl+A", "SaveLibraryAs"},
        {MenuSet::EditorWindow, "fileMenu", "separator1", "-", "", ""},
        {MenuSet::EditorWindow, "fileMenu", "fileExitMenu", "E&xit", "", "ExitFromEditor"},
        {MenuSet::EditorWindow, "edit", "newMaterial", "&New", "", "newMaterial"},
        {MenuSet::EditorWindow, "edit", "set", "&Clear", "", "ClearValues"},
        {MenuSet::EditorWindow, "edit", "resetMenu", "&Reset", "", "onMaterialSet"},
        {MenuSet::EditorWindow, "edit", "delete", "&Delete ", "", "DeleteSelected"},
        {MenuSet::EditorWindow, "edit", "copyMaterial", "&Copy", "Ctrl+C", "onCopyMaterial"},
        {MenuSet::EditorWindow, "edit", "pasteMaterial", "&Paste", "Ctrl+V", "onPasteMaterial"},
        {MenuSet::EditorWindow, "view", "toolbarMenu", "&Toolbar", "", ""},
        {MenuSet::EditorWindow, "view", "StatusbarMenu", "&Statusbar", "", ""},
        {MenuSet::EditorWindow, "help", "helpTopicsMenu", "&Help Topics", "F1", "ShowHelpFromEditor"},
        {MenuSet::EditorWindow, "help", "aboutMenu", "&About Material Browser", "", "ShowAbout"},
    };
    return items;
}

TEST(MenuTableTest, MenusInOrderWithTheirCaptions) {
    std::vector<std::pair<std::string, std::string>> main, editor;
    for (const MenuRoute& m : MenuTable(MenuSet::MainWindow)) main.emplace_back(m.name, m.caption);
    for (const MenuRoute& m : MenuTable(MenuSet::EditorWindow)) editor.emplace_back(m.name, m.caption);
    using P = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(main, (P{{"fileMenu", "&File"}, {"help", "&Help"}}));
    EXPECT_EQ(editor, (P{{"fileMenu", "&File"}, {"edit", "&Edit"}, {"view", "&View"}, {"help", "&Help"}}));
}

TEST(MenuTableTest, EveryItemInOrderWithCaptionAndShortcut) {
    std::vector<std::string> expected, actual;
    for (const ItemCase& c : AllItems())
        expected.push_back(std::string(c.set == MenuSet::MainWindow ? "M " : "E ") + c.menu + "/" +
                           c.name + " [" + c.caption + "] " + c.shortcut);
    for (MenuSet set : {MenuSet::MainWindow, MenuSet::EditorWindow})
        for (const MenuRoute& m : MenuTable(set))
            for (const MenuItemRoute& i : m.items)
                actual.push_back(std::string(set == MenuSet::MainWindow ? "M " : "E ") + m.name +
                                 "/" + i.name + " [" + i.caption + "] " + i.shortcut);
    EXPECT_EQ(actual, expected);
}

TEST(MenuTableTest, ViewItemsAreCheckedAtStartAndHelpHasContextOne) {
    for (const MenuRoute& m : MenuTable(MenuSet::EditorWindow))
        for (const MenuItemRoute& i : m.items) {
            const bool view = m.name == "view";
            EXPECT_EQ(i.checkedAtStart, view) << i.name;
            EXPECT_EQ(i.helpContext, i.name == "helpTopicsMenu" ? 1 : 0) << i.name;
        }
    for (const MenuRoute& m : MenuTable(MenuSet::MainWindow))
        for (const MenuItemRoute& i : m.items) EXPECT_FALSE(i.checkedAtStart) << i.name;
}

class MenuItemRouting : public RoutingTest, public testing::WithParamInterface<ItemCase> {};

TEST_P(MenuItemRouting, StartsItsCommand) {
    const ItemCase& c = GetParam();
    const Calls calls = after([&] { router.menuItemClicked(c.set, c.name); });
    if (*c.call) EXPECT_EQ(calls, Calls{c.call});
    else EXPECT_TRUE(calls.empty());
}

INSTANTIATE_TEST_SUITE_P(AllMenus, MenuItemRouting, testing::ValuesIn(AllItems()));

TEST_F(RoutingTest, ViewItemsToggleTheBars) {
    router.menuItemClicked(MenuSet::EditorWindow, "toolbarMenu");
    EXPECT_FALSE(toolbar.visible);
    EXPECT_FALSE(toolbarCheck.checked);
    router.menuItemClicked(MenuSet::EditorWindow, "StatusbarMenu");
    EXPECT_FALSE(statusBar.visible);
    EXPECT_FALSE(statusbarCheck.checked);
    router.menuItemClicked(MenuSet::EditorWindow, "toolbarMenu");
    EXPECT_TRUE(toolbar.visible);
    EXPECT_TRUE(toolbarCheck.checked);
    EXPECT_TRUE(commands.calls.empty());
}

TEST_F(RoutingTest, SaveMeansSaveAsWhileUntitled) {
    commands.untitled = true;
    EXPECT_EQ(after([&] { router.menuItemClicked(MenuSet::EditorWindow, "saveMenu"); }),
              Calls{"SaveLibraryAs"});
    EXPECT_EQ(after([&] { router.Toolbar1_ButtonClick("save"); }), Calls{"SaveLibraryAs"});
    commands.untitled = false;
    EXPECT_EQ(after([&] { router.menuItemClicked(MenuSet::EditorWindow, "saveMenu"); }),
              Calls{"SaveLibrary"});
    EXPECT_EQ(after([&] { router.Toolbar1_ButtonClick("save"); }), Calls{"SaveLibrary"});
}

TEST_F(RoutingTest, ItemsOfTheOtherMenuOrUnknownNamesStartNothing) {
    EXPECT_TRUE(after([&] { router.menuItemClicked(MenuSet::MainWindow, "saveMenu"); }).empty());
    EXPECT_TRUE(after([&] { router.menuItemClicked(MenuSet::MainWindow, "fileCloseMenu"); }).empty());
    EXPECT_TRUE(after([&] { router.menuItemClicked(MenuSet::EditorWindow, "aboutMaterial"); }).empty());
    EXPECT_TRUE(after([&] { router.menuItemClicked(MenuSet::EditorWindow, "nothing"); }).empty());
}

// --- Editor buttons ----------------------------------------------------------------------

TEST(EditorButtonTableTest, NamesCaptionsInOrder) {
    std::vector<std::string> actual;
    for (const ButtonRoute& b : EditorButtonTable()) actual.push_back(b.name + " [" + b.caption + "]");
    EXPECT_EQ(actual, (std::vector<std::string>{"cmdNewMaterial [&Add New Material]",
                                                "reset [&Reset]", "AddSet [&Clear]"}));
}

TEST_F(RoutingTest, EditorButtonsAndTheirMenuTwins) {
    EXPECT_EQ(after([&] { router.buttonClicked("cmdNewMaterial"); }), Calls{"onNewMaterial"});
    EXPECT_EQ(after([&] { router.buttonClicked("reset"); }), Calls{"onMaterialSet"});
    EXPECT_EQ(after([&] { router.buttonClicked("AddSet"); }), Calls{"ClearValues"});
    // "&Reset" and "&Clear" do the same from the button and the "&Edit" menu.
    EXPECT_EQ(after([&] { router.menuItemClicked(MenuSet::EditorWindow, "resetMenu"); }),
              Calls{"onMaterialSet"});
    EXPECT_EQ(after([&] { router.menuItemClicked(MenuSet::EditorWindow, "set"); }),
              Calls{"ClearValues"});
    EXPECT_TRUE(after([&] { router.buttonClicked("Reset"); }).empty());
}

// --- Toolbar -----------------------------------------------------------------------------

TEST(ToolbarTableTest, ButtonsFromTheLeftWithTooltipsAndImages) {
    std::vector<std::string> actual;
    for (const ToolbarRoute& b : ToolbarTable())
        actual.push_back(b.key + " [" + b.tooltip + "] " + b.image);
    EXPECT_EQ(actual, (std::vector<std::string>{
                          "separator [] ", "new [Open new file] new",
                          "open [Open existing file] open", "save [Save file] save",
                          "deleteMaterial [Delete the selected material] delete",
                          "separator2 [] ", "help [Help] help"}));
}

TEST_F(RoutingTest, ToolbarClicksByKey) {
    EXPECT_EQ(after([&] { router.Toolbar1_ButtonClick("new"); }), Calls{"NewLibrary"});
    EXPECT_EQ(after([&] { router.Toolbar1_ButtonClick("open"); }), Calls{"OpenLibrary"});
    EXPECT_EQ(after([&] { router.Toolbar1_ButtonClick("deleteMaterial"); }), Calls{"DeleteSelected"});
    EXPECT_EQ(after([&] { router.Toolbar1_ButtonClick("help"); }), Calls{"ShowHelpFromToolbar"});
}

TEST_F(RoutingTest, ResetKeyClearsValuesThoughNoButtonCarriesIt) {
    for (const ToolbarRoute& b : ToolbarTable()) EXPECT_NE(b.key, "reset");
    EXPECT_EQ(after([&] { router.Toolbar1_ButtonClick("reset"); }), Calls{"ClearValues"});
}

TEST_F(RoutingTest, OtherKeysDoNothing) {
    for (const char* key : {"separator", "separator2", "Save", "NEW", "delete", "", "about",
                            "deleteMaterial "}) {
        EXPECT_TRUE(after([&] { router.Toolbar1_ButtonClick(key); }).empty()) << '"' << key << '"';
    }
    EXPECT_TRUE(toolbar.visible);
    EXPECT_TRUE(statusBar.visible);
}

} // namespace
} // namespace mb
