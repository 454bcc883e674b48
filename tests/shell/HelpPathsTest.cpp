#include "shell/HelpPaths.h"

#include "shell/HelpLauncher.h"

#include <gtest/gtest.h>

namespace mb {
namespace {

TEST(HelpPathFromEnvironment, VeltramSetOrUnset) {
    EXPECT_EQ(HelpPathFromEnvironment(std::string("/opt/veltram")),
              "/opt/veltram/help/Material.chm");
    // An unset variable reads as empty text: only the suffix is left.
    EXPECT_EQ(HelpPathFromEnvironment(std::nullopt), "/help/Material.chm");
    EXPECT_EQ(HelpPathFromEnvironment(std::string()), "/help/Material.chm");
}

TEST(HelpPathFromProgramDirectory, CutsTenCharactersNotAPathComponent) {
    // X:\tools\matbrowse (18 characters) and X:\tools\browser (16), with "/" for "\".
    const std::pair<const char*, const char*> cases[] = {
        {"/x/tools/matbrowse", "/x/tools/help/Material.chm"},
        {"/x/tools/browser", "/x/too/help/Material.chm"},
        // A trailing separator is not counted.
        {"/x/tools/matbrowse/", "/x/tools/help/Material.chm"},
        {"/x/tools/matbrowse//", "/x/tools/help/Material.chm"},
        // Directories shorter than ten characters are used whole; exactly ten leave nothing.
        {"/opt/mb", "/opt/mb/help/Material.chm"},
        {"123456789", "123456789/help/Material.chm"},
        {"/usr/local", "/help/Material.chm"},
    };
    for (const auto& [dir, expected] : cases)
        EXPECT_EQ(HelpPathFromProgramDirectory(dir), expected) << dir;
}

TEST(HelpLauncherTest, ReadsTheRealEnvironment) {
    ::setenv("MB_HELP_TEST_VAR", "/somewhere", 1);
    EXPECT_EQ(HelpLauncher::ProcessEnvironment("MB_HELP_TEST_VAR"), "/somewhere");
    ::unsetenv("MB_HELP_TEST_VAR");
    EXPECT_EQ(HelpLauncher::ProcessEnvironment("MB_HELP_TEST_VAR"), std::nullopt);
}

} // namespace
} // namespace mb
