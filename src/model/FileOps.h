#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mb {

inline constexpr std::size_t kReadChunk = 64 * 1024;
/// Pieces are gathered into writes of about this size.
inline constexpr std::size_t kWriteChunk = 64 * 1024;

/// A file opened for reading, closed when it goes out of scope.
class InputFile {
public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool ok() const { return fd_ >= 0; }
    /// errno of the failed open (EISDIR for a directory).
    int error() const { return error_; }
    /// Bytes read, 0 at end of file, -1 on a read error.
    long read(char* buffer, std::size_t size);

private:
    int fd_ = -1;
    int error_ = 0;
};

/// How far a finished file is pushed toward the disk before it replaces its target.
enum class Durability {
    /// The device is told to flush its cache: the new file survives a power cut from the
    /// moment the save returns. Saves from the editor use this.
    Flushed,
    /// The data has reached the device before the rename, so the file system's next
    /// commit, which flushes the device first, cannot make the name point at missing
    /// data: a power cut gives the old file or the new one, never a truncated one. What
    /// `cp` and most command-line tools give, without waiting for the device's cache.
    Ordered,
};

/// The operations a save needs of the file system; each returns 0 or an errno value.
class FileOps {
public:
    virtual ~FileOps() = default;
    /// Creates a new, empty temporary file in `directory`; sets `path` and `fd`.
    virtual int createTemp(const std::string& directory, const std::string& stem,
                           std::string& path, int& fd) = 0;
    virtual int writeAt(int fd, std::string_view data, long long offset) = 0;
    /// Pushes the data toward the disk as `durability` says, gives the file `mode` and
    /// closes it.
    virtual int finish(int fd, unsigned mode, Durability durability) = 0;
    virtual int rename(const std::string& from, const std::string& to) = 0;
    virtual void discard(int fd, const std::string& path) = 0;
};

FileOps& SystemFileOps();

/// Writes a file beside its target and renames it into place on commit.
class AtomicFileWriter {
public:
    AtomicFileWriter(std::string target, FileOps& ops, Durability durability = Durability::Flushed);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    /// Checks the target can be replaced and creates the temporary file.
    int open();
    /// Appends a piece; on failure the same call may be repeated (it writes the piece
    /// once). Pieces are gathered and written in chunks.
    int append(std::string_view piece);
    /// Flushes, closes and renames into place; may be repeated after a failure.
    int commit();
    /// Removes the temporary file; the target stays as it was.
    void abandon();

private:
    int flush();

    std::string target_;
    FileOps& ops_;
    std::string tempPath_;
    int fd_ = -1;
    bool closed_ = false;
    bool done_ = false;
    long long offset_ = 0;
    std::string buffer_;
    bool pieceBuffered_ = false;
    unsigned mode_ = 0644;
    Durability durability_;
};

} // namespace mb
