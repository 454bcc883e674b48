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
};

TEST_F(MainWindowTest, TimerFramesOverTwoCycles) {
    // Tick 1 is the start and shows nothing (0); ticks 2 to 14 are the first cycle of 13,
    // in which ticks 9 and 11 keep the picture of the tick before.
    const std::vector<int> cycle = {102, 103, 104, 105, 106, 107, 108, 109,
                                    109, 110, 110, 111, 112};
    std::vector<int> expected = {0};
    for (int c = 0; c < 2; ++c) expected.insert(expected.end(), cycle.begin(), cycle.end());
    std::vector<int> shown;
    for (int i = 0; i < 27; ++i) {
        window.Timer1_Timer();
        shown.push_back(statusBar.shown().value_or(0));
        if (i == 13) {
            // Keeping means setting no picture at all: eleven pictures in a cycle.
            EXPECT_EQ(statusBar.pictures, (std::vector<int>{102, 103, 104, 105, 106, 107, 108,
                                                            109, 110, 111, 112}));
        }
    }
    EXPECT_EQ(shown, expected);
}

TEST(StatusAnimationTest, TheSixteenBitStepNeverRunsAway) {
    StatusAnimation a;
    for (int i = 0; i < 1 + 13 * 5000; ++i) a.tick();
    EXPECT_EQ(a.step(), 1);
    EXPECT_EQ(a.tick(), 102);
}

// Showing and hiding the bars is checked on the real window; what only the logic can
// reach is checked here.
TEST_F(MainWindowTest, ToggleFollowsTheBarNotTheCheckMark) {
    toolbar.visible = false; // hidden some other way: the next toggle shows it
    window.toolbarMenu_Click();
    EXPECT_TRUE(toolbar.visible);
    EXPECT_TRUE(toolbarCheck.checked);
}

TEST_F(MainWindowTest, TimerKeepsRunningBehindAHiddenStatusBar) {
    window.StatusbarMenu_Click();
    for (int i = 0; i < 3; ++i) window.Timer1_Timer();
    EXPECT_FALSE(statusBar.visible);
    EXPECT_EQ(statusBar.pictures, (std::vector<int>{102, 103}));
}

} // namespace
} // namespace mb
