#include "shell/MainWindow.h"

#include "ShellFakes.h"

#include <gtest/gtest.h>

namespace mb {
namespace {

class MainWindowTest : public testing::Test {
protected:
    test::FakeToolbar toolbar;
    test::FakeStatusBar statusBar;
    test::FakeMenuCheck toolbarCheck{true};
    test::FakeMenuCheck statusbarCheck{true};
    MainWindow window{toolbar, statusBar, toolbarCheck, statusbarCheck};

    // Frame on show after each of `ticks` ticks (0 while nothing has been shown).
    std::vector<int> shownAfterTicks(int ticks) {
        std::vector<int> shown;
        for (int i = 0; i < ticks; ++i) {
            window.Timer1_Timer();
            shown.push_back(statusBar.shown().value_or(0));
        }
        return shown;
    }
};

// --- Timer ---------------------------------------------------------------------------

TEST_F(MainWindowTest, FirstTickShowsNothingAndTheSecondShows102) {
    window.Timer1_Timer();
    EXPECT_TRUE(statusBar.pictures.empty());
    window.Timer1_Timer();
    EXPECT_EQ(statusBar.pictures, std::vector<int>{102});
}

TEST_F(MainWindowTest, FramesOfTheFirstTwoCycles) {
    // Tick 1 is the start (step 0); ticks 2 to 14 are the first cycle of 13.
    const std::vector<int> cycle = {102, 103, 104, 105, 106, 107, 108, 109,
                                    109, 110, 110, 111, 112};
    std::vector<int> expected = {0};
    expected.insert(expected.end(), cycle.begin(), cycle.end());
    expected.insert(expected.end(), cycle.begin(), cycle.end());
    EXPECT_EQ(shownAfterTicks(27), expected);
}

TEST_F(MainWindowTest, StepsNineAndElevenKeepThePicture) {
    shownAfterTicks(14);
    // Eleven pictures set in thirteen ticks of a cycle: two ticks set none.
    EXPECT_EQ(statusBar.pictures,
              (std::vector<int>{102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112}));
    EXPECT_EQ(window.animation().step(), 1);
}

TEST(StatusAnimationTest, StepRunsFromOneToThirteenAfterTheStart) {
    StatusAnimation a;
    EXPECT_EQ(a.step(), 0);
    EXPECT_EQ(a.tick(), std::nullopt);
    for (int s = 1; s <= 13; ++s) {
        EXPECT_EQ(a.step(), s);
        a.tick();
    }
    EXPECT_EQ(a.step(), 1);
    // Many cycles later it still cycles: the 16-bit step never runs away.
    for (int i = 0; i < 13 * 5000; ++i) a.tick();
    EXPECT_EQ(a.step(), 1);
    EXPECT_EQ(a.tick(), 102);
}

// --- Toolbar states --------------------------------------------------------------------

TEST_F(MainWindowTest, LoadDisablesSaveAndDeleteOnly) {
    window.MDIForm_Load();
    EXPECT_FALSE(toolbar.isButtonEnabled("save"));
    EXPECT_FALSE(toolbar.isButtonEnabled("deleteMaterial"));
    for (const char* key : {"new", "open", "help"}) EXPECT_TRUE(toolbar.isButtonEnabled(key)) << key;
}

TEST_F(MainWindowTest, EditorLoadAndUnloadSwitchSaveAndDelete) {
    window.MDIForm_Load();
    window.editorLoaded();
    EXPECT_TRUE(toolbar.isButtonEnabled("save"));
    EXPECT_TRUE(toolbar.isButtonEnabled("deleteMaterial"));
    window.editorUnloaded();
    EXPECT_FALSE(toolbar.isButtonEnabled("save"));
    EXPECT_FALSE(toolbar.isButtonEnabled("deleteMaterial"));
    for (const char* key : {"new", "open", "help"}) EXPECT_TRUE(toolbar.isButtonEnabled(key)) << key;
}

// --- Showing and hiding the bars -------------------------------------------------------

TEST_F(MainWindowTest, ToolbarToggleHidesThenShowsWithTheCheckMark) {
    window.toolbarMenu_Click();
    EXPECT_FALSE(toolbar.visible);
    EXPECT_FALSE(toolbarCheck.checked);
    window.toolbarMenu_Click();
    EXPECT_TRUE(toolbar.visible);
    EXPECT_TRUE(toolbarCheck.checked);
    EXPECT_TRUE(statusBar.visible) << "the other bar is left alone";
    EXPECT_TRUE(statusbarCheck.checked);
}

TEST_F(MainWindowTest, StatusbarToggleHidesThenShowsWithTheCheckMark) {
    window.StatusbarMenu_Click();
    EXPECT_FALSE(statusBar.visible);
    EXPECT_FALSE(statusbarCheck.checked);
    EXPECT_TRUE(toolbar.visible);
    window.StatusbarMenu_Click();
    EXPECT_TRUE(statusBar.visible);
    EXPECT_TRUE(statusbarCheck.checked);
}

TEST_F(MainWindowTest, ToggleFollowsTheBarNotTheCheckMark) {
    // A bar hidden some other way is shown by the next toggle.
    toolbar.visible = false;
    window.toolbarMenu_Click();
    EXPECT_TRUE(toolbar.visible);
    EXPECT_TRUE(toolbarCheck.checked);
}

TEST_F(MainWindowTest, TimerKeepsRunningWhileTheStatusBarIsHidden) {
    window.StatusbarMenu_Click();
    shownAfterTicks(3);
    EXPECT_EQ(statusBar.pictures, (std::vector<int>{102, 103}));
}

} // namespace
} // namespace mb
