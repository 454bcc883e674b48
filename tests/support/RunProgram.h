#pragma once

#include "TempDir.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace mb::test {

struct ProgramResult {
    int exitCode = -1; ///< -1 when the program did not exit normally
    std::string out, err;
};

struct RunOptions {
    long long maxFileSize = -1; ///< bytes a written file may reach; -1 for no limit
    std::string stdoutPath;     ///< where standard output goes instead of being collected
    /// Changes to the environment: "NAME=VALUE" sets, "NAME" unsets. The C locale by
    /// default, so that what a program prints does not depend on the tester's locale.
    std::vector<std::string> environment = {"LC_ALL=C"};
    /// Seconds after which the program is ended by SIGALRM (exitCode -1), so that one
    /// that waits for ever fails its test instead of hanging the suite; 0 for no limit.
    unsigned timeLimit = 0;
    std::string workingDirectory = {}; ///< where the program starts; "" for the test's own
};

/// Starts `program` with `args` and no standard input, its output going to the files `out`
/// and `err`, and returns at once: the process id, or -1.
inline pid_t StartProgram(const std::string& program, std::vector<std::string> args,
                          const RunOptions& options, const std::string& out,
                          const std::string& err) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    const int fds[] = {::open("/dev/null", O_RDONLY),
                       ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600),
                       ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600)};
    for (int fd = 0; fd < 3; ++fd)
        if (fds[fd] < 0 || ::dup2(fds[fd], fd) < 0) ::_exit(126);
    for (const std::string& change : options.environment) {
        const std::size_t eq = change.find('=');
        if (eq == std::string::npos)
            ::unsetenv(change.c_str());
        else
            ::setenv(change.substr(0, eq).c_str(), change.c_str() + eq + 1, 1);
    }
    if (options.maxFileSize >= 0) {
        // A write past the limit then fails with EFBIG instead of killing the process.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit lim{rlim_t(options.maxFileSize), rlim_t(options.maxFileSize)};
        ::setrlimit(RLIMIT_FSIZE, &lim);
    }
    if (!options.workingDirectory.empty() && ::chdir(options.workingDirectory.c_str()) != 0)
        ::_exit(126);
    // A pending alarm survives exec.
    if (options.timeLimit > 0) ::alarm(options.timeLimit);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

/// Waits for the program `pid`: its exit status, or -1 when it did not exit normally.
inline int WaitForProgram(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

/// Runs `program` with `args`, no standard input, and collects what it printed.
inline ProgramResult RunProgram(const std::string& program, std::vector<std::string> args,
                                const RunOptions& options = {}) {
    // Output goes to files rather than pipes so a chatty program can never block on a
    // full pipe while the test waits for it to exit.
    TempDir capture;
    const std::string out = options.stdoutPath.empty() ? capture.file("out") : options.stdoutPath;
    const pid_t pid = StartProgram(program, std::move(args), options, out, capture.file("err"));
    if (pid < 0) return {};
    const int exitCode = WaitForProgram(pid);
    return {exitCode, ReadBytes(capture.file("out")), ReadBytes(capture.file("err"))};
}

} // namespace mb::test
