// Running a helper under limits: what the child is given and what comes back. How each way
// of ending is told to the user is the isolated reader's test.
#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mb {
namespace {

ChildResult RunFake(const std::string& mode, const ChildLimits& limits = {}) {
    return runChild(MB_FAKE_SHEET_READER, {mode}, limits);
}

TEST(ChildProcess, StartsTheChildWithItsLimitsNoInputAndNoneOfTheParentsFiles) {
    // A descriptor the parent leaves inheritable on purpose must not reach the child.
    const int leaked = ::open("/dev/null", O_RDONLY);
    ASSERT_GT(leaked, 2);
    ChildLimits limits;
    limits.addressSpaceBytes = std::size_t{512} << 20;
    limits.cpuSeconds = 3;
    const ChildResult r = RunFake("describe", limits);
    ::close(leaked);
    EXPECT_EQ(r.status, ChildResult::Status::Exited);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "as 536870912/536870912\ncpu 3/4\ncore 0/0\nstdin 0\n"
                     "group leader yes\nfds 0 1 2\n");
    EXPECT_EQ(r.err, "");
}

// A reader run by hand takes the same limits on itself, never looser than it was given.
TEST(ChildProcess, AProcessLimitsItselfOnlyDownward) {
    const auto limitsAfter = [](rlim_t asBefore, std::size_t asAsked) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            const rlimit before{asBefore, asBefore};
            ::setrlimit(RLIMIT_AS, &before);
            ChildLimits limits;
            limits.addressSpaceBytes = asAsked;
            limits.cpuSeconds = 7;
            limitThisProcess(limits);
            rlimit as{}, cpu{};
            ::getrlimit(RLIMIT_AS, &as);
            ::getrlimit(RLIMIT_CPU, &cpu);
            const bool expected = as.rlim_cur == std::min<rlim_t>(asBefore, asAsked) &&
                                  as.rlim_max == as.rlim_cur && cpu.rlim_cur <= 7 &&
                                  cpu.rlim_max <= 8;
            ::_exit(expected ? 0 : 1);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(limitsAfter(RLIM_INFINITY, std::size_t{1} << 30), 0);
    EXPECT_EQ(limitsAfter(rlim_t{256} << 20, std::size_t{1} << 30), 0);
}

TEST(ChildProcess, CollectsLargeOutputOnBothStreamsWhileTheChildRuns) {
    // Far more than a pipe holds, on both streams at once: a parent that read only one
    // of them would wait for ever.
    const ChildResult r = RunFake("big");
    ASSERT_EQ(r.status, ChildResult::Status::Exited);
    std::string out, err;
    for (int i = 0; i < 1000; ++i) {
        out += std::string(1000, static_cast<char>('a' + i % 26));
        err += std::string(100, static_cast<char>('A' + i % 26));
    }
    EXPECT_EQ(r.out.size(), out.size());
    EXPECT_TRUE(r.out == out);
    EXPECT_TRUE(r.err == err);
}

} // namespace
} // namespace mb
