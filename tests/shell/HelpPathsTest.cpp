#include "shell/HelpPaths.h"

#include "shell/HelpLauncher.h"
#include "ShellFakes.h"

#include <gtest/gtest.h>

namespace mb {
namespace {

TEST(HelpPathFromEnvironment, InstallationDirectoryFromVeltram) {
    EXPECT_EQ(HelpPathFromEnvironment(std::string("/opt/veltram")),
              "/opt/veltram/help/Material.chm");
}

TEST(HelpPathFromEnvironment, UnsetVariableLeavesTheSuffixAlone) {
    EXPECT_EQ(HelpPathFromEnvironment(std::nullopt), "/help/Material.chm");
    EXPECT_EQ(HelpPathFromEnvironment(std::string()), "/help/Material.chm");
}

TEST(HelpPathFromProgramDirectory, CutsTenCharactersNotAPathComponent) {
    // X:\tools\matbrowse and X:\tools\browser, with "/" for "\".
    ASSERT_EQ(std::string("/x/tools/matbrowse").size(), 18u);
    EXPECT_EQ(HelpPathFromProgramDirectory("/x/tools/matbrowse"), "/x/tools/help/Material.chm");
    ASSERT_EQ(std::string("/x/tools/browser").size(), 16u);
    EXPECT_EQ(HelpPathFromProgramDirectory("/x/tools/browser"), "/x/too/help/Material.chm");
}

TEST(HelpPathFromProgramDirectory, TrailingSeparatorIsNotCounted) {
    EXPECT_EQ(HelpPathFromProgramDirectory("/x/tools/matbrowse/"), "/x/tools/help/Material.chm");
    EXPECT_EQ(HelpPathFromProgramDirectory("/x/tools/matbrowse//"), "/x/tools/help/Material.chm");
}

TEST(HelpPathFromProgramDirectory, ShortDirectoriesAreUsedWhole) {
    EXPECT_EQ(HelpPathFromProgramDirectory("/opt/mb"), "/opt/mb/help/Material.chm");
    EXPECT_EQ(HelpPathFromProgramDirectory("/bin"), "/bin/help/Material.chm");
    EXPECT_EQ(HelpPathFromProgramDirectory("123456789"), "123456789/help/Material.chm");
    // Exactly ten characters leave nothing before the suffix.
    EXPECT_EQ(HelpPathFromProgramDirectory("/usr/local"), "/help/Material.chm");
}

class HelpLauncherTest : public testing::Test {
protected:
    test::FakeHelpViewer viewer;
    std::optional<std::string> veltram;
    std::vector<std::string> asked;
    HelpLauncher launcher{viewer, "/x/tools/matbrowse", [this](const std::string& name) {
                              asked.push_back(name);
                              return veltram;
                          }};
};

TEST_F(HelpLauncherTest, EnvironmentIsReadWhenHelpIsAskedFor) {
    veltram = "/srv/veltram";
    launcher.fromEnvironment();
    veltram.reset();
    launcher.fromEnvironment();
    EXPECT_EQ(asked, (std::vector<std::string>{"veltram", "veltram"}));
    EXPECT_EQ(viewer.opened,
              (std::vector<std::string>{"/srv/veltram/help/Material.chm", "/help/Material.chm"}));
}

TEST_F(HelpLauncherTest, ProgramDirectoryIgnoresTheEnvironment) {
    veltram = "/srv/veltram";
    launcher.fromProgramDirectory();
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(viewer.opened, std::vector<std::string>{"/x/tools/help/Material.chm"});
}

TEST(HelpLauncherProcess, ReadsTheRealEnvironment) {
    ::setenv("MB_HELP_TEST_VAR", "/somewhere", 1);
    EXPECT_EQ(HelpLauncher::ProcessEnvironment("MB_HELP_TEST_VAR"), "/somewhere");
    ::unsetenv("MB_HELP_TEST_VAR");
    EXPECT_EQ(HelpLauncher::ProcessEnvironment("MB_HELP_TEST_VAR"), std::nullopt);
}

} // namespace
} // namespace mb
