#include "FileOps.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <pthread.h>
#include <pwd.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace mb {

std::string readErrorMessage(int errorNumber) {
    switch (errorNumber) {
    case ENOENT:
        return "it does not exist.";
    case ENOTDIR:
        return "a part of its path is not a folder.";
    case EACCES:
    case EPERM:
        return "you do not have permission to read it.";
    case EISDIR:
        return "it is a folder, not a file.";
    case ELOOP:
        return "its symbolic links go round in a circle.";
    case ENAMETOOLONG:
        return "its name is too long.";
    case EMFILE:
    case ENFILE:
        return "too many files are open at the same time.";
    case EFBIG:
        return "it is larger than " + std::to_string(kLargestReadableFile / (1024 * 1024)) +
               " MiB, more than any library can be.";
    default:
        return std::strerror(errorNumber);
    }
}

namespace {

// "" for a regular file, else what it is instead, in words about reading.
std::string NotARegularFile(mode_t mode) {
    if (S_ISREG(mode)) return {};
    if (S_ISDIR(mode)) return readErrorMessage(EISDIR);
    if (S_ISFIFO(mode)) return "it is a named pipe (FIFO), not a file.";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a file.";
    if (S_ISSOCK(mode)) return "it is a socket, not a file.";
    return "it is not a file.";
}

} // namespace

InputFile::InputFile(const std::string& path) {
    // Opening a device may do something of its own (a tape rewinds when it is closed), so
    // what is plainly no file is not opened at all. The descriptor's own fstat below
    // decides: the name may point elsewhere by the time it is opened.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        refuse(NotARegularFile(st.st_mode));
        return;
    }
    // Without O_NONBLOCK opening a named pipe would wait for a writer, for ever if none
    // comes; a regular file's reads do not heed the flag.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        // A socket cannot be opened at all (ENXIO): say what it is.
        const int err = errno;
        refuse(err == ENXIO && ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)
                   ? NotARegularFile(st.st_mode)
                   : readErrorMessage(err));
        return;
    }
    if (::fstat(fd, &st) != 0) {
        refuse(readErrorMessage(errno));
        ::close(fd);
        return;
    }
    if (std::string why = NotARegularFile(st.st_mode); !why.empty()) {
        refuse(std::move(why));
        ::close(fd);
        return;
    }
    if (st.st_size > kLargestReadableFile) {
        refuse(readErrorMessage(EFBIG));
        ::close(fd);
        return;
    }
    fd_ = fd;
    size_ = static_cast<long long>(st.st_size);
}

InputFile::~InputFile() {
    if (fd_ >= 0) ::close(fd_);
}

void InputFile::refuse(std::string reason) {
    reason_ = std::move(reason);
}

long InputFile::read(char* buffer, std::size_t size) {
    if (fd_ < 0) return -1;
    // A file that another program keeps appending to would otherwise never end.
    const long long room = kLargestReadableFile + 1 - consumed_;
    if (room <= 0) {
        refuse(readErrorMessage(EFBIG));
        return -1;
    }
    size = static_cast<std::size_t>(std::min<long long>(static_cast<long long>(size), room));
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, size);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            refuse(readErrorMessage(errno));
            return -1;
        }
        consumed_ += got;
        if (consumed_ > kLargestReadableFile) {
            refuse(readErrorMessage(EFBIG));
            return -1;
        }
        return static_cast<long>(got);
    }
}

long InputFile::readAt(char* buffer, std::size_t size, long long offset, int& error) const {
    error = fd_ < 0 ? EBADF : 0;
    if (fd_ < 0) return -1;
    const long long room = kLargestReadableFile + 1 - offset;
    if (room <= 0) {
        error = EFBIG;
        return -1;
    }
    size = static_cast<std::size_t>(std::min<long long>(static_cast<long long>(size), room));
    for (;;) {
        const ssize_t got = ::pread(fd_, buffer, size, offset);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = errno;
            return -1;
        }
        if (offset + got > kLargestReadableFile) {
            error = EFBIG;
            return -1;
        }
        return static_cast<long>(got);
    }
}

// The abilities a file layer may lack: without them a save uses the named temporary file.
int FileOps::createUnnamed(const std::string&, int&) {
    return EOPNOTSUPP;
}
int FileOps::replaceWithUnnamed(int, unsigned, Durability, const std::string&) {
    return EOPNOTSUPP;
}
int FileOps::setOwner(int, unsigned, unsigned) {
    return 0;
}
void FileOps::removeStaleTemps(const std::string&, const std::string&) {}
int FileOps::openExisting(const std::string&, int&) {
    return EOPNOTSUPP;
}
int FileOps::readAt(int, char*, std::size_t, long long, long&) {
    return EOPNOTSUPP;
}
int FileOps::createUnnamedCopy(const std::string&, int&) {
    return EOPNOTSUPP;
}
int FileOps::createCopy(const std::string&, const std::string&, bool, std::string&, int&) {
    return EOPNOTSUPP;
}
int FileOps::keepCopy(int, const std::string&, const std::string&, bool, std::string&) {
    return EOPNOTSUPP;
}
int FileOps::finishInPlace(int, long long) {
    return EOPNOTSUPP;
}

namespace {

constexpr std::size_t kTempSuffix = 6;

// Returns once the file's data has been written to the device (not out of its cache).
int WaitForData(int fd) {
#if defined(__linux__)
    return ::sync_file_range(
        fd, 0, 0, SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
#else
    return ::fsync(fd);
#endif
}

int Push(int fd, Durability durability) {
    return (durability == Durability::Ordered ? WaitForData(fd) : ::fsync(fd)) == 0 ? 0 : errno;
}

bool IsTempSuffixChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

std::string RandomSuffix() {
    static constexpr char kChars[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    // A recovery copy may be saved on another thread while the user saves.
    thread_local std::mt19937_64 random(std::random_device{}() ^
                                        static_cast<unsigned long long>(::getpid()));
    std::string s(kTempSuffix, 'X');
    for (char& c : s)
        c = kChars[random() % (sizeof kChars - 1)];
    return s;
}

// A save holds an exclusive lock on its temporary file for as long as it writes it; the
// lock goes with the process, so an unlocked one was left by a save that died.
int LockNew(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return errno == EWOULDBLOCK ? EAGAIN : errno;
    struct stat st {};
    if (::fstat(fd, &st) != 0) return errno;
    // Another save took the file for stale and removed it before the lock was ours.
    return st.st_nlink == 0 ? EAGAIN : 0;
}

// Links the file open as `self` (its descriptor in /proc) as `temp` and renames that over
// `target`; on failure no name is left.
int LinkThenRename(const char* self, const char* temp, const char* target) {
    if (::linkat(AT_FDCWD, self, AT_FDCWD, temp, AT_SYMLINK_FOLLOW) != 0) return errno;
    if (::rename(temp, target) != 0) {
        const int err = errno;
        ::unlink(temp);
        return err;
    }
    return 0;
}

// LinkThenRename as one step that killing this process cannot split: a child that shares
// this process's memory makes both calls while this process waits, and finishes them even
// if this process is killed meanwhile. Otherwise a kill between the two would leave the
// temporary name behind, and no call replaces a file by one that has no name.
int LinkOver(const char* self, const char* temp, const char* target) {
#if defined(__linux__)
    volatile int result = 0;
    sigset_t all, previous;
    ::sigfillset(&all);
    // The child runs on this thread's stack: no signal handler may run in it.
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);
    const pid_t child = ::vfork();
    if (child == 0) {
        result = LinkThenRename(self, temp, target);
        ::_exit(0);
    }
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (child > 0) {
        // vfork returns once the child has finished, so its result is in place already.
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
        return result;
    }
#endif
    return LinkThenRename(self, temp, target);
}

// Flushes a folder's entries, so that a name just given survives a power cut.
void SyncFolder(const std::string& directory) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Makes `directory` and the folders above it that are missing.
void MakeFolders(const std::string& directory) {
    for (std::size_t slash = 1; slash != std::string::npos;) {
        slash = directory.find('/', slash + 1);
        ::mkdir(directory.substr(0, slash).c_str(), 0700);
    }
}

// A new file from `pattern` (its X's before the last `suffixLength` characters made
// unique), locked before anyone else can take it; one another process locked first is
// left to it and the next name tried.
int CreateLocked(const std::string& pattern, int suffixLength, std::string& path, int& fd) {
    for (;;) {
        std::string name = pattern;
        fd = ::mkstemps(name.data(), suffixLength);
        if (fd < 0) return errno;
        const int err = LockNew(fd);
        if (err == 0) {
            path = name;
            return 0;
        }
        ::close(fd);
        fd = -1;
        if (err != EAGAIN) {
            ::unlink(name.c_str());
            return err;
        }
    }
}

class PosixFileOps final : public FileOps {
public:
    int createTemp(const std::string& directory, const std::string& stem, std::string& path,
                   int& fd) override {
        return CreateLocked(directory + "/." + stem + ".XXXXXX", 0, path, fd);
    }

    int createUnnamed(const std::string& directory, int& fd) override {
#if defined(O_TMPFILE)
        // Without /proc an unnamed file could not be given a name without privileges.
        if (::access("/proc/self/fd", X_OK) != 0) return EOPNOTSUPP;
        fd = ::open(directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd < 0) return errno;
        // Nobody else can reach a file without a name, so the lock is ours at once.
        ::flock(fd, LOCK_EX | LOCK_NB);
        return 0;
#else
        (void)directory, (void)fd;
        return EOPNOTSUPP;
#endif
    }

    int writeAt(int fd, std::string_view data, long long offset) override {
        while (!data.empty()) {
            const ssize_t n = ::pwrite(fd, data.data(), data.size(), offset);
            if (n < 0) {
                if (errno == EINTR) continue;
                return errno;
            }
            startWriteback(fd, offset, n);
            data.remove_prefix(static_cast<std::size_t>(n));
            offset += n;
        }
        return 0;
    }

    // Each completed mebibyte is sent on its way to the disk while the rest is still being
    // formatted, which leaves the closing flush or wait less to do.
    static void startWriteback(int fd, long long offset, long long written) {
#if defined(__linux__)
        constexpr long long kStride = 1 << 20;
        if (const long long end = offset + written; end / kStride != offset / kStride)
            ::sync_file_range(fd, end / kStride * kStride - kStride, kStride,
                              SYNC_FILE_RANGE_WRITE);
#else
        (void)fd, (void)offset, (void)written;
#endif
    }

    int setOwner(int fd, unsigned owner, unsigned group) override {
        if (::fchown(fd, static_cast<uid_t>(owner), static_cast<gid_t>(group)) == 0) return 0;
        if (errno != EPERM) return errno;
        // Not allowed to give the file away: the group alone may still be ours to give.
        if (::fchown(fd, static_cast<uid_t>(-1), static_cast<gid_t>(group)) == 0 || errno == EPERM)
            return 0;
        return errno;
    }

    int finish(int fd, unsigned mode, Durability durability) override {
        if (::fchmod(fd, static_cast<mode_t>(mode)) != 0) return errno;
        if (const int err = Push(fd, durability); err != 0) return err;
        if (::close(fd) != 0) return errno;
        return 0;
    }

    int replaceWithUnnamed(int fd, unsigned mode, Durability durability,
                           const std::string& target) override {
        if (::fchmod(fd, static_cast<mode_t>(mode)) != 0) return errno;
        if (const int err = Push(fd, durability); err != 0) return err;
        char self[32];
        std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
        const std::size_t slash = target.rfind('/');
        const std::string prefix =
            target.substr(0, slash + 1) + "." + target.substr(slash + 1) + ".";
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string temp = prefix + RandomSuffix();
            const int err = LinkOver(self, temp.c_str(), target.c_str());
            if (err == EEXIST) continue;
            if (err != 0) return err;
            // The data is on its way to the disk already; a late error of close has nothing to add.
            ::close(fd);
            return 0;
        }
        return EEXIST;
    }

    int rename(const std::string& from, const std::string& to) override {
        return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
    }

    void discard(int fd, const std::string& path) override {
        if (!path.empty()) ::unlink(path.c_str());
        if (fd >= 0) ::close(fd);
    }

    void removeStaleTemps(const std::string& directory, const std::string& stem) override {
        DIR* dir = ::opendir(directory.c_str());
        if (!dir) return;
        const std::string prefix = "." + stem + ".";
        const int dirFd = ::dirfd(dir);
        while (const dirent* e = ::readdir(dir)) {
            const std::string_view name(e->d_name);
            if (name.size() != prefix.size() + kTempSuffix || !name.starts_with(prefix)) continue;
            bool pattern = true;
            for (const char c : name.substr(prefix.size()))
                pattern = pattern && IsTempSuffixChar(c);
            if (!pattern) continue;
            const int fd =
                ::openat(dirFd, e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0) continue;
            struct stat open {
            }, named{};
            // Locked means a save is writing it right now.
            if (::fstat(fd, &open) == 0 && S_ISREG(open.st_mode) &&
                ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
                ::fstatat(dirFd, e->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
                named.st_ino == open.st_ino && named.st_dev == open.st_dev)
                ::unlinkat(dirFd, e->d_name, 0);
            ::close(fd);
        }
        ::closedir(dir);
    }

    int openExisting(const std::string& path, int& fd) override {
        fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        return fd < 0 ? errno : 0;
    }

    int readAt(int fd, char* buffer, std::size_t size, long long offset, long& got) override {
        for (;;) {
            const ssize_t n = ::pread(fd, buffer, size, offset);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return errno;
            got = static_cast<long>(n);
            return 0;
        }
    }

    int createUnnamedCopy(const std::string& directory, int& fd) override {
#if defined(O_TMPFILE)
        // Without /proc an unnamed file could not be given a name without privileges.
        if (::access("/proc/self/fd", X_OK) != 0) return EOPNOTSUPP;
        MakeFolders(directory);
        fd = ::open(directory.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd < 0) return errno;
        ::flock(fd, LOCK_EX | LOCK_NB);
        return 0;
#else
        (void)directory, (void)fd;
        return EOPNOTSUPP;
#endif
    }

    int createCopy(const std::string& directory, const std::string& name, bool hidden,
                   std::string& path, int& fd) override {
        MakeFolders(directory);
        return CreateLocked(directory + (hidden ? "/." : "/") + name + ".XXXXXX.part", 5, path, fd);
    }

    int keepCopy(int fd, const std::string& directory, const std::string& name, bool hidden,
                 std::string& path) override {
        if (::fsync(fd) != 0) return errno;
        const std::string prefix = directory + (hidden ? "/." : "/") + name + ".";
        if (path.empty()) {
            char self[32];
            std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
            for (int attempt = 0;; ++attempt) {
                const std::string kept = prefix + RandomSuffix() + ".old";
                if (::linkat(AT_FDCWD, self, AT_FDCWD, kept.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                    path = kept;
                    break;
                }
                if (errno != EEXIST || attempt == 100) return errno;
            }
        } else {
            // The same random part, now ending ".old"; a link, unlike a rename, never takes
            // the place of another copy's name.
            const std::string kept = path.substr(0, path.size() - 5) + ".old";
            if (::link(path.c_str(), kept.c_str()) == 0)
                ::unlink(path.c_str());
            else if (errno == EEXIST || ::rename(path.c_str(), kept.c_str()) != 0)
                return errno;
            path = kept;
        }
        SyncFolder(directory);
        return 0;
    }

    int finishInPlace(int fd, long long length) override {
        if (::ftruncate(fd, static_cast<off_t>(length)) != 0) return errno;
        if (::fsync(fd) != 0) return errno;
        ::close(fd);
        return 0;
    }
};

unsigned DefaultMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666u & ~static_cast<unsigned>(mask);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

// Follows symbolic links as the kernel would, except that a last link whose file does not
// exist yet still counts: the file is created where it points and the link stays.
int ResolveLinks(std::string& path) {
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return 0;
        std::string to(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4095) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), to.data(), to.size());
        if (n < 0) return errno;
        if (static_cast<std::size_t>(n) >= to.size()) return ENAMETOOLONG; // changed under us
        to.resize(static_cast<std::size_t>(n));
        path = to.starts_with('/') ? to : FolderOf(path) + "/" + to;
    }
    return ELOOP;
}

} // namespace

FileOps& systemFileOps() {
    static PosixFileOps ops;
    return ops;
}

namespace {

// $HOME, or where the password database says the user's home is when HOME names none;
// "" when neither does (an account whose home is "/" has none to keep things in).
std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && home[0] == '/') return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_dir || found->pw_dir[0] != '/' || std::string_view(found->pw_dir) == "/")
        return {};
    return found->pw_dir;
}

} // namespace

std::string defaultCopyFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/MaterialBrowser";
    if (const std::string home = HomeFolder(); !home.empty())
        return home + "/.local/state/MaterialBrowser";
    return "/tmp";
}

namespace {

// A kept copy of the old content of the file `stem` whose inode is `ino` is named
// `[.]stem.ino.XXXXXX.old` once it is whole, `.part` while it is written: the name says
// whose copy it is, and a copy found under another inode belongs to a file that has been
// replaced since.
std::string CopyName(const std::string& stem, unsigned long long ino) {
    return stem + "." + std::to_string(ino);
}

struct KeptCopy {
    std::string path;
    bool whole = false;
    int fd = -1; // open and locked
    long long changed = 0;
};

// Whether `name` is a copy of `copyName` as CopyName makes it; `whole` tells which kind.
bool IsCopyOf(std::string_view name, bool hidden, const std::string& copyName, bool& whole) {
    if (hidden) {
        if (!name.starts_with('.')) return false;
        name.remove_prefix(1);
    }
    if (!name.starts_with(copyName) || name.size() <= copyName.size() ||
        name[copyName.size()] != '.')
        return false;
    name.remove_prefix(copyName.size() + 1);
    if (name.ends_with(".old")) {
        whole = true;
        name.remove_suffix(4);
    } else if (name.ends_with(".part")) {
        whole = false;
        name.remove_suffix(5);
    } else {
        return false;
    }
    return name.size() == kTempSuffix && std::all_of(name.begin(), name.end(), IsTempSuffixChar);
}

// The copies of `copyName` in `folder`, opened and locked; one that a running save holds
// locked is left out.
void LockCopies(const std::string& folder, bool hidden, const std::string& copyName,
                std::vector<KeptCopy>& copies) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const int dirFd = ::dirfd(dir);
    while (const dirent* e = ::readdir(dir)) {
        bool whole = false;
        if (!IsCopyOf(e->d_name, hidden, copyName, whole)) continue;
        const int fd = ::openat(dirFd, e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat open {
        }, named{};
        if (::fstat(fd, &open) == 0 && S_ISREG(open.st_mode) &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(dirFd, e->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_ino == open.st_ino && named.st_dev == open.st_dev) {
            copies.push_back({folder + "/" + e->d_name, whole, fd,
                              static_cast<long long>(open.st_mtim.tv_sec) * 1000000000LL +
                                  open.st_mtim.tv_nsec});
            continue;
        }
        ::close(fd);
    }
    ::closedir(dir);
}

// The copies of the file at `target` (no link), newest whole one first.
std::vector<KeptCopy> LockCopiesOf(const std::string& target, unsigned long long ino,
                                   const std::string& copyFolder) {
    const std::string dir = FolderOf(target);
    const std::string name = CopyName(target.substr(target.rfind('/') + 1), ino);
    const std::string folder = copyFolder.empty() ? defaultCopyFolder() : copyFolder;
    std::vector<KeptCopy> copies;
    LockCopies(dir, true, name, copies);
    LockCopies(folder, false, name, copies);
    if (folder != "/tmp") LockCopies("/tmp", false, name, copies);
    std::stable_sort(copies.begin(), copies.end(), [](const KeptCopy& a, const KeptCopy& b) {
        return a.whole != b.whole ? a.whole : a.changed > b.changed;
    });
    return copies;
}

// Whether the file open as `fd` holds exactly what the file at `path` holds.
bool SameContent(int fd, const std::string& path) {
    InputFile other(path);
    struct stat a {
    }, b{};
    if (!other.ok() || ::fstat(fd, &a) != 0 || ::stat(path.c_str(), &b) != 0 ||
        a.st_size != b.st_size)
        return false;
    const std::unique_ptr<char[]> mine(new char[kReadChunk]), theirs(new char[kReadChunk]);
    for (long long offset = 0;;) {
        const ssize_t got = ::pread(fd, mine.get(), kReadChunk, offset);
        if (got < 0) return false;
        if (got == 0) return true;
        for (ssize_t have = 0; have < got;) {
            const long n = other.read(theirs.get() + have, static_cast<std::size_t>(got - have));
            if (n <= 0) return false;
            have += n;
        }
        if (std::memcmp(mine.get(), theirs.get(), static_cast<std::size_t>(got)) != 0) return false;
        offset += got;
    }
}

// The file a path names once links are followed, and its inode; false when it is no
// regular file.
bool RegularFile(const std::string& path, std::string& target, unsigned long long& ino) {
    target = path;
    struct stat st {};
    if (ResolveLinks(target) != 0 || ::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    ino = st.st_ino;
    return true;
}

} // namespace

std::optional<std::string> findUnfinishedRewrite(const std::string& path,
                                                 const std::string& copyFolder) {
    std::string target;
    unsigned long long ino = 0;
    if (!RegularFile(path, target, ino)) return std::nullopt;
    std::optional<std::string> found;
    bool decided = false;
    for (KeptCopy& copy : LockCopiesOf(target, ino, copyFolder)) {
        // The newest whole copy decides; what is older was put back or left behind since.
        if (copy.whole && !decided) {
            decided = true;
            if (!SameContent(copy.fd, target)) found = copy.path;
        }
        if (!found || *found != copy.path) ::unlink(copy.path.c_str());
        ::close(copy.fd);
    }
    return found;
}

int restoreUnfinishedRewrite(const std::string& path, const std::string& copy) {
    std::string target;
    unsigned long long ino = 0;
    if (!RegularFile(path, target, ino)) return ENOENT;
    const std::string copyFile = copy.substr(copy.rfind('/') + 1);
    bool whole = false;
    const std::string name = CopyName(target.substr(target.rfind('/') + 1), ino);
    if (!(IsCopyOf(copyFile, true, name, whole) || IsCopyOf(copyFile, false, name, whole)) ||
        !whole)
        return EINVAL; // not this file's copy, or the file has been replaced since
    const int copyFd = ::open(copy.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (copyFd < 0) return errno;
    // Locked: a save is using it right now.
    int err = ::flock(copyFd, LOCK_EX | LOCK_NB) == 0 ? 0 : (errno == EWOULDBLOCK ? EBUSY : errno);
    const int fd = err == 0 ? ::open(target.c_str(), O_RDWR | O_CLOEXEC) : -1;
    if (err == 0 && fd < 0) err = errno;
    long long offset = 0;
    const std::unique_ptr<char[]> buffer(new char[kReadChunk]);
    while (err == 0) {
        const ssize_t got = ::pread(copyFd, buffer.get(), kReadChunk, offset);
        if (got <= 0) {
            err = got < 0 ? errno : 0;
            break;
        }
        for (ssize_t done = 0; err == 0 && done < got;) {
            const ssize_t n = ::pwrite(fd, buffer.get() + done,
                                       static_cast<std::size_t>(got - done), offset + done);
            if (n < 0 && errno != EINTR) err = errno;
            if (n > 0) done += n;
        }
        offset += got;
    }
    if (err == 0 && ::ftruncate(fd, static_cast<off_t>(offset)) != 0) err = errno;
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (fd >= 0) ::close(fd);
    if (err == 0) ::unlink(copy.c_str());
    ::close(copyFd);
    return err;
}

int recoverUnfinishedRewrite(const std::string& path, const std::string& copyFolder,
                             std::string& restoredFrom) {
    restoredFrom.clear();
    const std::optional<std::string> copy = findUnfinishedRewrite(path, copyFolder);
    if (!copy) return 0;
    const int err = restoreUnfinishedRewrite(path, *copy);
    if (err == 0) restoredFrom = *copy;
    return err;
}

SafeFileWriter::SafeFileWriter(std::string target, FileOps& ops, Durability durability,
                               std::string copyFolder)
    : target_(std::move(target)), ops_(ops), durability_(durability),
      copyFolder_(std::move(copyFolder)) {}

SafeFileWriter::~SafeFileWriter() {
    if (!done_) abandon();
}

int SafeFileWriter::open(InPlace inPlace) {
    if (const int err = ResolveLinks(target_); err != 0) {
        done_ = true;
        return err;
    }
    dir_ = FolderOf(target_);
    stem_ = target_.substr(target_.rfind('/') + 1);
    struct stat st {};
    if (::stat(target_.c_str(), &st) == 0) {
        // Renaming over a write-protected file would succeed; respect the protection. A
        // file nobody may write is protected even from root, whom access() lets through.
        const int refused = S_ISDIR(st.st_mode)                    ? EISDIR
                            : (st.st_mode & 0222) == 0             ? EACCES
                            : ::access(target_.c_str(), W_OK) != 0 ? errno
                                                                   : 0;
        if (refused != 0) {
            done_ = true;
            return refused;
        }
        const std::optional<std::string> unfinished = findUnfinishedRewrite(target_, copyFolder_);
        if (inPlace == InPlace::Refused && (st.st_nlink > 1 || unfinished)) {
            done_ = true;
            return EXDEV;
        }
        // A save of this file that died halfway through rewriting it in place is undone
        // first: should this one die too, the file is then as it was before both. A copy
        // that cannot be put back is no reason not to write the whole file anew.
        if (unfinished) restoreUnfinishedRewrite(target_, *unfinished);
        exists_ = true;
        mode_ = st.st_mode & 07777;
        owner_ = st.st_uid;
        group_ = st.st_gid;
        oldLength_ = st.st_size;
        // A new file would take only this name with it and cut the other links loose.
        if (st.st_nlink > 1) return openInPlace();
    } else {
        mode_ = DefaultMode();
    }
    ops_.removeStaleTemps(dir_, stem_);
    int err = ops_.createUnnamed(dir_, fd_);
    how_ = How::Unnamed;
    if (err == EOPNOTSUPP || err == EISDIR || err == EINVAL) {
        err = ops_.createTemp(dir_, stem_, tempPath_, fd_);
        how_ = How::Named;
    }
    // No file can be made in the folder, but the file itself may still be written.
    if ((err == EACCES || err == EPERM) && exists_ && inPlace == InPlace::Allowed)
        return openInPlace();
    if (err != 0) {
        fd_ = -1;
        done_ = true;
    }
    return err;
}

int SafeFileWriter::openInPlace() {
    how_ = How::InPlace;
    int err = ops_.openExisting(target_, fd_);
    struct stat st {};
    if (err == 0 && ::fstat(fd_, &st) != 0) err = errno;
    if (err == 0) {
        // The copy is named after the file and its inode, so that the next open of the
        // file finds it should this process die before the file is whole again. It goes
        // beside the file where it can, else to the copy folder, and as a last resort to
        // /tmp.
        copyName_ = CopyName(stem_, st.st_ino);
        const std::string folder = copyFolder_.empty() ? defaultCopyFolder() : copyFolder_;
        const std::pair<std::string, bool> places[] = {
            {dir_, true}, {folder, false}, {"/tmp", false}};
        for (const auto& [where, hidden] : places) {
            if (!hidden && where == "/tmp" && folder == "/tmp") continue;
            // Without a name until it is whole, a copy a kill cuts short leaves nothing.
            copyPath_.clear();
            err = ops_.createUnnamedCopy(where, copyFd_);
            if (err == EOPNOTSUPP || err == EISDIR || err == EINVAL)
                err = ops_.createCopy(where, copyName_, hidden, copyPath_, copyFd_);
            if (err == 0) {
                copyFolderUsed_ = where;
                copyHidden_ = hidden;
                break;
            }
            copyFd_ = -1;
        }
        if (err == 0) err = copyOldContent();
    }
    if (err != 0) {
        ops_.discard(copyFd_, copyPath_);
        ops_.discard(fd_, {});
        copyPath_.clear();
        copyFd_ = -1;
        fd_ = -1;
        done_ = true;
    }
    return err;
}

// Copies the file's content into the copy, flushes it to the disk and gives it the name
// under which it is found. Only then may the file itself be written.
int SafeFileWriter::copyOldContent() {
    const std::unique_ptr<char[]> buffer(new char[kReadChunk]);
    long long offset = 0;
    for (;;) {
        long got = 0;
        if (const int err = ops_.readAt(fd_, buffer.get(), kReadChunk, offset, got); err != 0)
            return err;
        if (got == 0) break;
        if (const int err =
                ops_.writeAt(copyFd_, {buffer.get(), static_cast<std::size_t>(got)}, offset);
            err != 0)
            return err;
        offset += got;
    }
    oldLength_ = offset;
    return ops_.keepCopy(copyFd_, copyFolderUsed_, copyName_, copyHidden_, copyPath_);
}

int SafeFileWriter::append(std::string_view piece) {
    // A piece of a chunk's size or more goes out as it is, without a copy; repeating a
    // failed call writes it again at the same place.
    if (buffer_.empty() && piece.size() >= kWriteChunk) {
        if (const int err = ops_.writeAt(fd_, piece, offset_); err != 0) return err;
        offset_ += static_cast<long long>(piece.size());
        return 0;
    }
    // A repeated call after a failure carries the same piece, which is buffered already.
    if (!pieceBuffered_) {
        buffer_.append(piece);
        pieceBuffered_ = true;
    }
    if (buffer_.size() >= kWriteChunk)
        if (const int err = flush(); err != 0) return err;
    pieceBuffered_ = false;
    return 0;
}

int SafeFileWriter::flush() {
    if (buffer_.empty()) return 0;
    if (const int err = ops_.writeAt(fd_, buffer_, offset_); err != 0) return err;
    offset_ += static_cast<long long>(buffer_.size());
    buffer_.clear();
    return 0;
}

int SafeFileWriter::commit() {
    if (const int err = flush(); err != 0) return err;
    if (!closed_) {
        // The owner first: changing it clears the set-id bits the mode may carry.
        if (how_ != How::InPlace && exists_)
            if (const int err = ops_.setOwner(fd_, owner_, group_); err != 0) return err;
        int err = 0;
        switch (how_) {
        case How::Unnamed:
            err = ops_.replaceWithUnnamed(fd_, mode_, durability_, target_);
            break;
        case How::Named:
            err = ops_.finish(fd_, mode_, durability_);
            break;
        case How::InPlace:
            err = ops_.finishInPlace(fd_, offset_);
            break;
        }
        if (err != 0) return err;
        closed_ = true;
        fd_ = -1;
    }
    if (how_ == How::InPlace) {
        // The file is whole and on the disk: the copy goes, and with its name the lock.
        ops_.discard(copyFd_, copyPath_);
        copyFd_ = -1;
        copyPath_.clear();
    } else if (how_ == How::Named) {
        if (const int err = ops_.rename(tempPath_, target_); err != 0) return err;
    }
    done_ = true;
    return 0;
}

bool SafeFileWriter::abandon() {
    if (done_) return copyPath_.empty();
    done_ = true;
    if (how_ != How::InPlace) {
        ops_.discard(fd_, tempPath_);
        fd_ = -1;
        return true;
    }
    // Put the old content back from the copy; should that fail too, the copy stays, and
    // the next open of the file finds it.
    int err = 0;
    const std::unique_ptr<char[]> buffer(new char[kReadChunk]);
    for (long long offset = 0; err == 0;) {
        long got = 0;
        err = ops_.readAt(copyFd_, buffer.get(), kReadChunk, offset, got);
        if (err != 0 || got == 0) break;
        err = ops_.writeAt(fd_, {buffer.get(), static_cast<std::size_t>(got)}, offset);
        offset += got;
    }
    if (err == 0) err = ops_.finishInPlace(fd_, oldLength_);
    if (err == 0) fd_ = -1;
    ops_.discard(copyFd_, err == 0 ? copyPath_ : std::string());
    ops_.discard(fd_, {});
    copyFd_ = -1;
    fd_ = -1;
    if (err == 0) copyPath_.clear();
    return err == 0;
}

} // namespace mb
