// A save killed at any moment leaves the old file or the new one, and nothing beside it;
// a file rewritten in place (it has a second hard link) may be left half written, but the
// next open finds the copy of its old content and puts it back, and the next save leaves
// nothing behind. Saves are killed at moments drawn from a fixed seed over the time a
// whole save takes on this machine. MB_KILL_RUNS sets how many kills each case makes.
#include "FileOps.h"
#include "Library.h"
#include "LibraryFile.h"
#include "RunProgram.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <random>
#include <sys/prctl.h>
#include <thread>

namespace mb {
namespace {

namespace fs = std::filesystem;

// Several megabytes, so a write takes some milliseconds; `variant` makes the values differ.
std::string LibraryBytes(int materials, double variant) {
    Library lib;
    for (int i = 0; i < materials; ++i) {
        clsMaterial record;
        for (int slot = 0; slot < 60; ++slot)
            record.setSlotValue(slot, variant + i * 0.5 + slot);
        lib.addMaterial(
            {"Group " + std::to_string(i % 7), "", "Material " + std::to_string(i), "generated"},
            record, clsMaterial());
    }
    return libraryText(lib, groupByCategory(lib));
}

int Runs(int inCi) {
    const char* asked = std::getenv("MB_KILL_RUNS");
    return asked && std::atoi(asked) > 0 ? std::atoi(asked) : inCi;
}

// What it says (the counts of `check`, the note of a restored library) is not looked at.
pid_t StartMatlib(std::vector<std::string> args) {
    return test::StartProgram(MB_MATLIB_PATH, std::move(args), {}, "/dev/null", "/dev/null");
}

// A save may finish its last step in a child of its own, which outlives the save when the
// save is killed; this process adopts such children and waits for them.
void WaitForOrphans() {
    while (::waitpid(-1, nullptr, 0) > 0 || errno == EINTR) {
    }
}

// Kills `start()`'s process at random moments over 5/4 of a whole save; `check` looks at
// what each kill left.
void KillAtRandomMoments(int runs, unsigned seed, const std::function<void()>& reset,
                         const std::function<pid_t()>& start,
                         const std::function<void(int run)>& check) {
    reset();
    const auto began = std::chrono::steady_clock::now();
    EXPECT_EQ(test::WaitForProgram(start()), 0);
    const auto whole = std::chrono::steady_clock::now() - began;
    const long long span =
        std::chrono::duration_cast<std::chrono::microseconds>(whole).count() * 5 / 4;
    EXPECT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    std::mt19937 random(seed);
    std::uniform_int_distribution<long long> moment(0, span);
    for (int run = 0; run < runs && !::testing::Test::HasFailure(); ++run) {
        reset();
        const pid_t pid = start();
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        ::kill(pid, SIGKILL);
        test::WaitForProgram(pid);
        WaitForOrphans();
        SCOPED_TRACE("run " + std::to_string(run));
        check(run);
    }
}

// Three ways to save: `matlib write` over a file alone, which is replaced; the same over a
// file with a second hard link, rewritten in place; and the editor's save of such a file,
// flushed, in a process of its own. The next open is `matlib check`, or the editor's
// answered Yes; after it nothing is left beside the file or in the copy folder.
TEST(LibraryWriterKill, AKilledSaveIsWholeAfterTheNextOpenAndLeavesNothingBehind) {
    struct Cancel : WriteErrorPrompt {
        bool retry(const std::string&) override { return false; }
    } cancel;
    const struct {
        const char* what;
        bool linked, editor;
        int runs;
        unsigned seed;
    } cases[] = {{"matlib write", false, false, Runs(100), 20261206},
                 {"matlib write, hard link", true, false, Runs(40), 20261207},
                 {"the editor's save, hard link", true, true, Runs(20), 20261208}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir inputs, outputs, state;
        ASSERT_EQ(::setenv("XDG_STATE_HOME", state.path().c_str(), 1), 0);
        const std::string in = inputs.file("in.lib"), out = outputs.file("out.lib");
        const std::string link = outputs.file("link.lib");
        Library library;
        ASSERT_EQ(readLibraryText(LibraryBytes(300, 1.0), library, ".").status,
                  ReadResult::Status::Loaded);
        const std::string newBytes = libraryText(library, groupByCategory(library));
        const std::string oldBytes = LibraryBytes(250, 7.0);
        test::WriteBytes(in, newBytes);
        test::WriteBytes(out, oldBytes);
        std::vector<std::string> alone = {"out.lib"};
        if (c.linked) {
            fs::create_hard_link(out, link);
            alone = {"link.lib", "out.lib"};
        }
        const auto save = [&] {
            if (!c.editor) return StartMatlib({"write", in, out});
            const pid_t pid = ::fork();
            if (pid == 0) {
                const WriteResult r = WriteLibraryFile(
                    out, library, groupByCategory(library), cancel, systemFileOps(),
                    WriteOptions{Durability::Flushed, state.path()});
                ::_exit(r.status == WriteResult::Status::Written ? 0 : 1);
            }
            return pid;
        };
        KillAtRandomMoments(
            c.runs, c.seed, [&] { test::WriteBytes(out, oldBytes); }, save,
            [&](int) {
                const std::string left = test::ReadBytes(out);
                if (!c.linked) {
                    EXPECT_TRUE(left == oldBytes || left == newBytes)
                        << left.size() << " bytes, neither file; prefix of new "
                        << newBytes.starts_with(left) << " of old " << oldBytes.starts_with(left);
                    EXPECT_EQ(test::Names(outputs.path()), alone);
                }
                if (!c.editor) {
                    ASSERT_EQ(test::WaitForProgram(StartMatlib({"check", out})), 0);
                } else if (const std::optional<std::string> copy =
                               findUnfinishedRewrite(out, state.path())) {
                    EXPECT_EQ(restoreUnfinishedRewrite(out, *copy), 0);
                }
                const std::string opened = test::ReadBytes(out);
                EXPECT_TRUE(opened == oldBytes || opened == newBytes)
                    << opened.size() << " bytes after the next open, neither file";
                EXPECT_EQ(test::ReadBytes(c.linked ? link : out), opened);
                EXPECT_EQ(test::Names(outputs.path()), alone);
                EXPECT_EQ(test::Names(state.path()), std::vector<std::string>{});

                ASSERT_EQ(test::WaitForProgram(save()), 0);
                EXPECT_EQ(test::ReadBytes(c.linked ? link : out), newBytes);
                EXPECT_EQ(test::Names(outputs.path()), alone);
                EXPECT_EQ(test::Names(state.path()), std::vector<std::string>{});
            });
        ::unsetenv("XDG_STATE_HOME");
    }
}

} // namespace
} // namespace mb
