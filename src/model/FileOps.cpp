#include "model/FileOps.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mb {

InputFile::InputFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        error_ = EISDIR;
        return;
    }
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) error_ = errno;
}

InputFile::~InputFile() {
    if (fd_ >= 0) ::close(fd_);
}

long InputFile::read(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, size);
        if (got < 0 && errno == EINTR) continue;
        return static_cast<long>(got);
    }
}

namespace {

// Returns once the file's data has been written to the device (not out of its cache).
int WaitForData(int fd) {
#if defined(__linux__)
    return ::sync_file_range(fd, 0, 0,
                             SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
#else
    return ::fsync(fd);
#endif
}

class PosixFileOps final : public FileOps {
public:
    int createTemp(const std::string& directory, const std::string& stem, std::string& path,
                   int& fd) override {
        std::string pattern = directory + "/." + stem + ".XXXXXX";
        fd = ::mkstemp(pattern.data());
        if (fd < 0) return errno;
        path = pattern;
        return 0;
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
            ::sync_file_range(fd, end / kStride * kStride - kStride, kStride, SYNC_FILE_RANGE_WRITE);
#else
        (void)fd, (void)offset, (void)written;
#endif
    }

    int finish(int fd, unsigned mode, Durability durability) override {
        if (::fchmod(fd, static_cast<mode_t>(mode)) != 0) return errno;
        if (durability == Durability::Ordered ? WaitForData(fd) != 0 : ::fsync(fd) != 0) return errno;
        if (::close(fd) != 0) return errno;
        return 0;
    }

    int rename(const std::string& from, const std::string& to) override {
        return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
    }

    void discard(int fd, const std::string& path) override {
        if (fd >= 0) ::close(fd);
        if (!path.empty()) ::unlink(path.c_str());
    }
};

unsigned DefaultMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666u & ~static_cast<unsigned>(mask);
}

} // namespace

FileOps& SystemFileOps() {
    static PosixFileOps ops;
    return ops;
}

AtomicFileWriter::AtomicFileWriter(std::string target, FileOps& ops, Durability durability)
    : target_(std::move(target)), ops_(ops), durability_(durability) {}

AtomicFileWriter::~AtomicFileWriter() {
    if (!done_) abandon();
}

int AtomicFileWriter::open() {
    // A library reached through a symbolic link is saved where the link points, so the
    // link survives the rename.
    struct stat link {};
    if (::lstat(target_.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char* real = ::realpath(target_.c_str(), nullptr)) {
            target_ = real;
            std::free(real);
        }
    }
    struct stat st {};
    if (::stat(target_.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return EISDIR;
        // Renaming over a write-protected file would succeed; respect the protection. A
        // file nobody may write is protected even from root, whom access() lets through.
        if ((st.st_mode & 0222) == 0) return EACCES;
        if (::access(target_.c_str(), W_OK) != 0) return errno;
        mode_ = st.st_mode & 07777;
    } else {
        mode_ = DefaultMode();
    }
    const std::size_t slash = target_.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : target_.substr(0, slash));
    const std::string stem = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    return ops_.createTemp(dir, stem, tempPath_, fd_);
}

int AtomicFileWriter::append(std::string_view piece) {
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

int AtomicFileWriter::flush() {
    if (buffer_.empty()) return 0;
    if (const int err = ops_.writeAt(fd_, buffer_, offset_); err != 0) return err;
    offset_ += static_cast<long long>(buffer_.size());
    buffer_.clear();
    return 0;
}

int AtomicFileWriter::commit() {
    if (const int err = flush(); err != 0) return err;
    if (!closed_) {
        if (const int err = ops_.finish(fd_, mode_, durability_); err != 0) return err;
        closed_ = true;
        fd_ = -1;
    }
    if (const int err = ops_.rename(tempPath_, target_); err != 0) return err;
    done_ = true;
    return 0;
}

void AtomicFileWriter::abandon() {
    if (done_) return;
    ops_.discard(fd_, tempPath_);
    fd_ = -1;
    done_ = true;
}

} // namespace mb
