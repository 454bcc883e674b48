#pragma once

// Running a helper program that may misbehave: it gets limits on memory, processor time,
// wall-clock time and output, and whatever it does costs only its own process.

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace mb {

struct ChildLimits {
    std::size_t addressSpaceBytes = std::size_t{1} << 30; ///< RLIMIT_AS of the child
    unsigned cpuSeconds = 10;                             ///< RLIMIT_CPU of the child
    std::chrono::milliseconds wallClock{20'000};          ///< then the parent kills it
    /// Standard output and error together: a sheet's reply of at most 64 MiB, and room
    /// for what goes to standard error.
    std::size_t outputBytes = std::size_t{65} << 20;
};

struct ChildResult {
    enum class Status {
        Exited,         ///< ended by itself; see exitCode
        Signalled,      ///< killed by a signal it did not ask for from us; see signal
        TimedOut,       ///< still running at the wall-clock limit, so killed
        OutputTooLarge, ///< printed more than the limit, so killed
        NotStarted,     ///< could not be started; see error
    };
    Status status = Status::NotStarted;
    int exitCode = -1;
    int signal = 0;
    int error = 0; ///< errno of the failed start
    std::string out;
    std::string err;
};

/// Puts this process under the memory and processor-time limits of `limits`, as runChild
/// puts a child under them, where they are lower than the limits it has: for a reader run
/// directly rather than by runChild.
void limitThisProcess(const ChildLimits& limits);

/// Runs `program` with `args` (argv[1] on) under `limits`: standard input reads nothing,
/// standard output and error are collected, and the child runs in a process group of its
/// own so that anything it starts is killed with it. Returns once the child has ended.
ChildResult runChild(const std::string& program, const std::vector<std::string>& args,
                     const ChildLimits& limits);

} // namespace mb
