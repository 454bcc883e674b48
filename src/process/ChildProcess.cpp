#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>

namespace mb {

namespace {

using Clock = std::chrono::steady_clock;

// Marks every descriptor from `first` on close-on-exec, so the child inherits none of the
// parent's files, sockets or pipes. Older kernels lack the call; the pipes made here are
// close-on-exec anyway.
void CloseOnExecFrom(unsigned first) {
#ifdef SYS_close_range
    constexpr unsigned kCloseRangeCloexec = 1u << 2;
    ::syscall(SYS_close_range, first, ~0u, kCloseRangeCloexec);
#else
    (void)first;
#endif
}

int OpenPidFd(pid_t pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { reset(); }
    int get() const { return fd_; }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

bool MakePipe(Fd& read, Fd& write) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    read.reset(fds[0]);
    write.reset(fds[1]);
    return true;
}

// AddressSanitizer reserves terabytes of address space for its shadow memory at start, so
// the programs of a build with it cannot run under an address-space limit at all: there the
// limit is left off, and the processor limit and the readers' own budgets still hold.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kLimitAddressSpace = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kLimitAddressSpace = false;
#else
constexpr bool kLimitAddressSpace = true;
#endif
#else
constexpr bool kLimitAddressSpace = true;
#endif

void SetLimit(int resource, rlim_t soft, rlim_t hard) {
    const rlimit limit{soft, hard};
    ::setrlimit(resource, &limit);
}

// Lowers a limit, never raises one: a soft limit above the hard one would be refused.
void LowerLimit(int resource, rlim_t soft, rlim_t hard) {
    rlimit now{};
    if (::getrlimit(resource, &now) != 0) return;
    const rlimit lowered{std::min(now.rlim_cur, soft), std::min(now.rlim_max, hard)};
    ::setrlimit(resource, &lowered);
}

// Runs in the child between fork and exec: async-signal-safe calls only, since the
// parent may have other threads whose locks were copied in whatever state they were.
[[noreturn]] void BecomeChild(const char* program, char* const* argv, int stdinFd, int outFd,
                              int errFd, int reportFd, const ChildLimits& limits) {
    ::setpgid(0, 0);
    if (::dup2(stdinFd, 0) < 0 || ::dup2(outFd, 1) < 0 || ::dup2(errFd, 2) < 0) {
        const int error = errno;
        (void)!::write(reportFd, &error, sizeof error);
        ::_exit(127);
    }
    CloseOnExecFrom(3);
    // The parent's signal mask and ignored signals would survive exec: a child that
    // ignores SIGXCPU would run on to the hard processor limit.
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int sig : {SIGPIPE, SIGXCPU, SIGXFSZ, SIGINT, SIGTERM, SIGHUP})
        ::signal(sig, SIG_DFL);
    if (kLimitAddressSpace) SetLimit(RLIMIT_AS, limits.addressSpaceBytes, limits.addressSpaceBytes);
    SetLimit(RLIMIT_CPU, limits.cpuSeconds, limits.cpuSeconds + 1);
    SetLimit(RLIMIT_CORE, 0, 0); // a crash on a damaged file leaves no core file behind
    ::execv(program, argv);
    const int error = errno;
    (void)!::write(reportFd, &error, sizeof error);
    ::_exit(127);
}

// Reads what is there without blocking; false once the pipe is at its end.
bool Drain(int fd, std::string& into, std::size_t& room) {
    std::array<char, 16384> buffer;
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n > 0) {
            const std::size_t take = std::min(room, static_cast<std::size_t>(n));
            into.append(buffer.data(), take);
            room -= take;
            if (take < static_cast<std::size_t>(n)) {
                room = 0;
                into.push_back('\0'); // one byte over marks the overflow
                return true;
            }
            continue;
        }
        if (n == 0) return false;
        if (errno == EINTR) continue;
        return errno == EAGAIN || errno == EWOULDBLOCK;
    }
}

bool HasExited(pid_t pid) {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
}

} // namespace

void limitThisProcess(const ChildLimits& limits) {
    if (kLimitAddressSpace)
        LowerLimit(RLIMIT_AS, limits.addressSpaceBytes, limits.addressSpaceBytes);
    LowerLimit(RLIMIT_CPU, limits.cpuSeconds, limits.cpuSeconds + 1);
}

ChildResult runChild(const std::string& program, const std::vector<std::string>& args,
                     const ChildLimits& limits) {
    ChildResult result;
    // Everything the child needs is made before the fork.
    std::vector<std::string> argStore;
    argStore.reserve(args.size() + 1);
    argStore.push_back(program);
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStore)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    Fd outRead, outWrite, errRead, errWrite, reportRead, reportWrite;
    Fd devNull(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    if (devNull.get() < 0 || !MakePipe(outRead, outWrite) || !MakePipe(errRead, errWrite) ||
        !MakePipe(reportRead, reportWrite)) {
        result.error = errno;
        return result;
    }

    const pid_t pid = ::fork();
    if (pid < 0) {
        result.error = errno;
        return result;
    }
    if (pid == 0)
        BecomeChild(program.c_str(), argv.data(), devNull.get(), outWrite.get(), errWrite.get(),
                    reportWrite.get(), limits);

    ::setpgid(pid, pid); // also here, so the group exists before any kill below
    outWrite.reset();
    errWrite.reset();
    reportWrite.reset();
    devNull.reset();

    int startError = 0;
    ssize_t got;
    do {
        got = ::read(reportRead.get(), &startError, sizeof startError);
    } while (got < 0 && errno == EINTR);
    if (got == static_cast<ssize_t>(sizeof startError)) {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        result.error = startError;
        return result;
    }

    ::fcntl(outRead.get(), F_SETFL, O_NONBLOCK);
    ::fcntl(errRead.get(), F_SETFL, O_NONBLOCK);
    Fd pidFd(OpenPidFd(pid));
    const Clock::time_point deadline = Clock::now() + limits.wallClock;
    std::size_t room = limits.outputBytes;
    bool killed = false;

    for (;;) {
        if (room == 0 && (result.out.size() + result.err.size() > limits.outputBytes)) {
            result.status = ChildResult::Status::OutputTooLarge;
            killed = true;
            break;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            result.status = ChildResult::Status::TimedOut;
            killed = true;
            break;
        }
        std::array<pollfd, 3> fds{
            {{outRead.get(), POLLIN, 0}, {errRead.get(), POLLIN, 0}, {pidFd.get(), POLLIN, 0}}};
        // Without a process descriptor the exit is looked for a few times a second.
        const int wait = pidFd.get() >= 0
                             ? static_cast<int>(std::min<long long>(left.count(), 60'000))
                             : static_cast<int>(std::min<long long>(left.count(), 20));
        if (::poll(fds.data(), fds.size(), wait) < 0 && errno != EINTR) {
            result.error = errno;
            killed = true;
            break;
        }
        if (outRead.get() >= 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) &&
            !Drain(outRead.get(), result.out, room))
            outRead.reset();
        if (errRead.get() >= 0 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) &&
            !Drain(errRead.get(), result.err, room))
            errRead.reset();
        const bool exited = pidFd.get() >= 0 ? (fds[2].revents & POLLIN) != 0 : HasExited(pid);
        if (exited) {
            // Everything it wrote is in the pipes by now; whatever it started and left
            // behind must not keep them open.
            if (outRead.get() >= 0) Drain(outRead.get(), result.out, room);
            if (errRead.get() >= 0) Drain(errRead.get(), result.err, room);
            if (result.out.size() + result.err.size() > limits.outputBytes)
                result.status = ChildResult::Status::OutputTooLarge;
            break;
        }
    }

    // The group goes in every case: the child itself when it overran a limit, and
    // anything it started that is still alive. Until it is waited for, the child's id
    // cannot be reused, so this kills nothing else.
    ::kill(-pid, SIGKILL);
    if (killed) ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (result.status == ChildResult::Status::NotStarted && result.error == 0) {
        if (WIFEXITED(status)) {
            result.status = ChildResult::Status::Exited;
            result.exitCode = WEXITSTATUS(status);
        } else if (WIFSIGNALED(status)) {
            result.status = ChildResult::Status::Signalled;
            result.signal = WTERMSIG(status);
        }
    }
    if (result.status == ChildResult::Status::OutputTooLarge) {
        result.out.clear();
        result.err.clear();
    }
    return result;
}

} // namespace mb
