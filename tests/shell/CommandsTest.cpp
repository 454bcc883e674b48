#include "shell/Commands.h"

#include "shell/HelpLauncher.h"
#include "ShellFakes.h"

#include <gtest/gtest.h>

namespace mb {
namespace {

// Help from each of the three places opens its own location.
class PartialCommands : public ShellCommands {
public:
    using ShellCommands::ShellCommands;
    void NewLibrary() override {}
    void OpenLibrary() override {}
    void SaveLibrary() override {}
    void SaveLibraryAs() override {}
    bool IsUntitled() const override { return false; }
    void CloseLibrary() override {}
    void ExitFromEditor() override {}
    void OpenLibraryFile(const std::string&) override {}
    void newMaterial() override {}
    void onNewMaterial() override {}
    void ClearValues() override {}
    void onMaterialSet() override {}
    void DeleteSelected() override {}
    void onCopyMaterial() override {}
    void onPasteMaterial() override {}
};

TEST(ShellCommandsTest, HelpAboutAndExitAreAnsweredByTheShell) {
    test::FakeHelpViewer viewer;
    HelpLauncher launcher(viewer, "/x/tools/browser",
                          [](const std::string&) { return std::optional<std::string>("/v"); });
    test::FakeAboutBox about;
    test::FakeProcess process;
    PartialCommands commands(launcher, about, process);

    commands.ShowHelpFromMainWindow();
    commands.ShowHelpFromEditor();
    commands.ShowHelpFromToolbar();
    EXPECT_EQ(viewer.opened,
              (std::vector<std::string>{"/v/help/Material.chm", "/x/too/help/Material.chm",
                                        "/x/too/help/Material.chm"}));
    commands.ShowAbout();
    commands.ShowAbout();
    EXPECT_EQ(about.shown, 2);
    EXPECT_EQ(process.ended, 0);
    commands.ExitFromMainWindow();
    EXPECT_EQ(process.ended, 1);
}

} // namespace
} // namespace mb
