#include "RunProgram.h"

#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mb::test {

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const RunOptions& options) {
    // Output goes to files rather than pipes so a chatty program can never block on a
    // full pipe while the test waits for it to exit.
    TempDir capture;
    const std::string outPath = capture.file("stdout"), errPath = capture.file("stderr");
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        const std::string& outTarget = options.stdoutPath.empty() ? outPath : options.stdoutPath;
        const int out = ::open(outTarget.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0) ::_exit(126);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        if (options.maxFileSize >= 0) {
            // A write past the limit then fails with EFBIG instead of killing the process.
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit lim{static_cast<rlim_t>(options.maxFileSize),
                             static_cast<rlim_t>(options.maxFileSize)};
            ::setrlimit(RLIMIT_FSIZE, &lim);
        }
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    ProgramResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadBytes(outPath);
    r.err = ReadBytes(errPath);
    return r;
}

} // namespace mb::test
