#pragma once

// Runs the built `matlib` as a user of the command line does and compares what they see:
// standard output, standard error and the exit status.

#include "RunProgram.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <tuple>

namespace mb::test {

struct Invocation {
    std::vector<std::string> args;
    int exitCode;
    std::string out, err;
    RunOptions options = {};
};

/// A run that prints `out` and succeeds.
inline Invocation Prints(std::vector<std::string> args, std::string out) {
    return {std::move(args), 0, std::move(out), ""};
}
/// A run that prints nothing but `err` and ends with `exitCode`.
inline Invocation Fails(int exitCode, std::vector<std::string> args, std::string err) {
    return {std::move(args), exitCode, "", std::move(err)};
}

/// Runs `git ARGS` in `repo` under a test identity, appending what it prints to `log`.
inline int Git(const std::string& repo, const std::string& args, const std::string& log) {
    return std::system(("cd '" + repo + "' && git -c user.name=t -c user.email=t@t " + args +
                        " >>'" + log + "' 2>&1")
                           .c_str());
}

inline ProgramResult Matlib(std::vector<std::string> args, const RunOptions& options = {}) {
    return RunProgram(MB_MATLIB_PATH, std::move(args), options);
}

// A heap overrun ends in SIGSEGV or in the C library's SIGABRT depending on how the
// program happens to be laid out; the message's signal number is "#" here.
inline std::string AnySignal(std::string text) {
    static const std::regex signal(R"(crashed \(signal [0-9]+\))");
    return std::regex_replace(text, signal, "crashed (signal #)");
}

inline void ExpectRuns(const Invocation& run) {
    ProgramResult r = Matlib(run.args, run.options);
    r.err = AnySignal(r.err);
    std::string command = "matlib";
    for (const std::string& a : run.args)
        command += " '" + a + "'";
    EXPECT_EQ(std::tie(r.exitCode, r.out, r.err), std::tie(run.exitCode, run.out, run.err))
        << command;
}

inline void ExpectRuns(std::initializer_list<Invocation> runs) {
    for (const Invocation& run : runs)
        ExpectRuns(run);
}

} // namespace mb::test
