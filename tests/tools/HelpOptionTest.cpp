// Every program of the project answers --help: its usage on standard output, exit status
// 0, and not a file written, not even with no display to connect to.
#include "RunProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace mb::test {
namespace {

struct Program {
    std::string name, path;
};

void PrintTo(const Program& program, std::ostream* out) {
    *out << program.name;
}

// "name=path,name=path" as the build gives it; programs this build does not make have no
// path and are left out.
std::vector<Program> BuiltPrograms() {
    std::vector<Program> programs;
    std::stringstream list(MB_HELP_PROGRAMS);
    for (std::string entry; std::getline(list, entry, ',');) {
        const std::size_t eq = entry.find('=');
        if (eq != std::string::npos && eq + 1 < entry.size())
            programs.push_back({entry.substr(0, eq), entry.substr(eq + 1)});
    }
    return programs;
}

// What each usage must say, beyond being there.
std::string ExpectedText(const std::string& name) {
    if (name == "matbrowser") return "Browse and edit VELTRA material libraries.";
    if (name == "editor_preview") return "Shows the editor window on a library.";
    if (name == "matlib") return "Usage: matlib COMMAND ARGS...";
    if (name == "make_sample" || name == "make_largest_library")
        return "usage: " + name + " OUT.lib";
    if (name == "run-bench") return "usage: bench/run-bench";
    if (name == "startup-time") return "usage: bench/app/startup-time [RUNS] [FILE]";
    return "[--benchmark_filter=<regex>]"; // the benchmarks' own options
}

/// Runs programs in an empty working folder with an empty home, no display and no platform
/// chosen for Qt.
struct InEmptyFolders {
    ProgramResult run(const std::string& program, std::vector<std::string> args) const {
        RunOptions options;
        options.environment = {"LC_ALL=C",        "HOME=" + home.path(), "XDG_CONFIG_HOME",
                               "XDG_DATA_HOME",   "XDG_CACHE_HOME",      "DISPLAY",
                               "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
        options.workingDirectory = work.path();
        return RunProgram(program, std::move(args), options);
    }
    bool empty() const {
        return std::filesystem::is_empty(work.path()) && std::filesystem::is_empty(home.path());
    }
    TempDir work, home;
};

class HelpOption : public ::testing::TestWithParam<Program> {};

TEST_P(HelpOption, PrintsTheUsageExitsWithZeroAndWritesNothing) {
    const Program& program = GetParam();
    const InEmptyFolders folders;
    const ProgramResult r = folders.run(program.path, {"--help"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find(ExpectedText(program.name)), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(folders.empty());
}

// Test names take letters, digits and underscores only.
std::string TestName(const ::testing::TestParamInfo<Program>& param) {
    std::string name = param.param.name;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(EveryProgram, HelpOption, ::testing::ValuesIn(BuiltPrograms()), TestName);

TEST(HelpOption, EveryProgramOfTheProjectIsChecked) {
    std::vector<std::string> names;
    for (const Program& p : BuiltPrograms())
        names.push_back(p.name);
    // matlib and the sample generator are built in every configuration.
    EXPECT_NE(std::find(names.begin(), names.end(), "matlib"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "make_sample"), names.end());
}

TEST(LibraryGenerators, RefuseAnUnknownOptionInsteadOfWritingAFileNamedAfterIt) {
    for (const Program& program : BuiltPrograms()) {
        if (program.name != "make_sample" && program.name != "make_largest_library") continue;
        const InEmptyFolders folders;
        const ProgramResult r = folders.run(program.path, {"--output"});
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err,
                  "usage: " + program.name + " OUT.lib (" + program.name + " --help for more)\n");
        EXPECT_TRUE(folders.empty()) << program.name;
    }
}

} // namespace
} // namespace mb::test
