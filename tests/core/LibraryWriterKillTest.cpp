// A save killed at any moment leaves the old file or the new one, and nothing beside it.
// `matlib write` is killed at moments drawn from a fixed seed over the time a whole write
// takes on this machine, from before it has read its input to after it has finished.
#include "Library.h"
#include "LibraryFile.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <iostream>
#include <random>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace mb {
namespace {

// Several megabytes, so a write takes some milliseconds; `variant` makes the values differ.
std::string LibraryBytes(int materials, double variant) {
    Library lib;
    for (int i = 0; i < materials; ++i) {
        clsMaterial record;
        for (int slot = 0; slot < 60; ++slot)
            record.SetSlotValue(slot, variant + i * 0.5 + slot);
        lib.AddMaterial(
            {"Group " + std::to_string(i % 7), "", "Material " + std::to_string(i), "generated"},
            record, clsMaterial());
    }
    return LibraryText(lib, GroupByCategory(lib));
}

pid_t StartWrite(const std::string& in, const std::string& out) {
    std::string program = MB_MATLIB_PATH, command = "write", from = in, to = out;
    char* argv[] = {program.data(), command.data(), from.data(), to.data(), nullptr};
    pid_t pid = -1;
    EXPECT_EQ(::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ), 0);
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

// A save may finish its last step in a child of its own, which outlives the save when the
// save is killed; this process adopts such children and waits for them.
void WaitForOrphans() {
    while (::waitpid(-1, nullptr, 0) > 0 || errno == EINTR) {
    }
}

TEST(LibraryWriterKill, AKilledWriteLeavesTheOldFileOrTheNewOneAndNoTemporaryFile) {
    test::TempDir inputs, outputs;
    const std::string in = inputs.file("in.lib"), out = outputs.file("out.lib");
    const std::string newBytes = LibraryBytes(300, 1.0), oldBytes = LibraryBytes(250, 7.0);
    test::WriteBytes(in, newBytes);

    // How long a whole write takes here: the kill moments are spread over it.
    test::WriteBytes(out, oldBytes);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Wait(StartWrite(in, out)), 0);
    const auto whole = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(test::ReadBytes(out), newBytes);
    const long long span =
        std::chrono::duration_cast<std::chrono::microseconds>(whole).count() * 5 / 4;

    ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    std::mt19937 random(20261206);
    std::uniform_int_distribution<long long> moment(0, span);
    int oldLeft = 0, newLeft = 0;
    for (int run = 0; run < 100; ++run) {
        test::WriteBytes(out, oldBytes);
        const pid_t pid = StartWrite(in, out);
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        ::kill(pid, SIGKILL);
        Wait(pid);
        WaitForOrphans();
        const std::string left = test::ReadBytes(out);
        SCOPED_TRACE("run " + std::to_string(run));
        EXPECT_TRUE(left == oldBytes || left == newBytes)
            << left.size() << " bytes, neither file; prefix of new " << newBytes.starts_with(left)
            << " of old " << oldBytes.starts_with(left) << " sizes " << newBytes.size() << " "
            << oldBytes.size();
        EXPECT_EQ(test::Names(outputs.path()), std::vector<std::string>{"out.lib"});
        (left == newBytes ? newLeft : oldLeft) += 1;
        if (HasFailure()) break;
    }
    std::cout << "whole write " << span * 4 / 5 << " us; killed runs left the old file " << oldLeft
              << " times, the new one " << newLeft << " times\n";
}

} // namespace
} // namespace mb
