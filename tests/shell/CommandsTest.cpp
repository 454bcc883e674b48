#include "shell/Commands.h"

#include "shell/HelpLauncher.h"
#include "ShellFakes.h"

#include <gtest/gtest.h>

namespace mb {
namespace {

TEST(ShellCommandsTest, HelpFromEachPlaceAboutAndExit) {
    test::FakeHelpViewer viewer;
    std::optional<std::string> veltram = "/v";
    std::vector<std::string> asked;
    HelpLauncher launcher(viewer, "/x/tools/browser", [&](const std::string& name) {
        asked.push_back(name);
        return veltram;
    });
    test::FakeAboutBox about;
    test::FakeProcess process;
    test::CommandRecorder<ShellCommands> commands(launcher, about, process);

    // The main window's help follows the environment, read afresh each time; the editor's
    // and the toolbar's follow the program's directory.
    commands.ShowHelpFromMainWindow();
    veltram.reset();
    commands.ShowHelpFromMainWindow();
    commands.ShowHelpFromEditor();
    commands.ShowHelpFromToolbar();
    EXPECT_EQ(asked, (std::vector<std::string>{"veltram", "veltram"}));
    EXPECT_EQ(viewer.opened,
              (std::vector<std::string>{"/v/help/Material.chm", "/help/Material.chm",
                                        "/x/too/help/Material.chm", "/x/too/help/Material.chm"}));
    commands.ShowAbout();
    EXPECT_EQ(about.shown, 1);
    EXPECT_EQ(process.ended, 0);
    commands.ExitFromMainWindow();
    EXPECT_EQ(process.ended, 1);
    EXPECT_TRUE(commands.calls.empty());
}

} // namespace
} // namespace mb
