#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace mb {

inline constexpr std::size_t kReadChunk = 64 * 1024;
/// Pieces are gathered into writes of about this size.
inline constexpr std::size_t kWriteChunk = 64 * 1024;

/// No library in any format comes near this size: the largest there is holds about 9 MiB.
/// A larger file is refused unread, so that nothing endless reaches a reader.
inline constexpr long long kLargestReadableFile = 64LL * 1024 * 1024;

/// Why a file could not be read, by errno, in words about reading.
std::string readErrorMessage(int errorNumber);

/// A file opened for reading, closed when it goes out of scope.
///
/// Only a regular file (symbolic links followed) of at most kLargestReadableFile bytes is
/// opened: a named pipe, a device, a socket or a folder is refused at once, as it may
/// never end or never answer.
class InputFile {
public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool ok() const { return fd_ >= 0; }
    /// Why the file could not be opened or read, in words about reading ("it is a folder,
    /// not a file."); "" while nothing went wrong.
    const std::string& reason() const { return reason_; }
    /// The file's size when it was opened.
    long long size() const { return size_; }
    /// Bytes read, 0 at end of file, -1 on a read error (reason() tells which). A file
    /// that grows past kLargestReadableFile while it is read fails there.
    long read(char* buffer, std::size_t size);
    /// Bytes read from `offset` on, without moving the position read() reads from, so
    /// two threads can read two parts of one file: 0 at end of file, -1 on a read error
    /// (`error` tells which, reason() does not). Nothing past kLargestReadableFile is read.
    long readAt(char* buffer, std::size_t size, long long offset, int& error) const;

private:
    void refuse(std::string reason);

    int fd_ = -1;
    long long size_ = 0;
    long long consumed_ = 0;
    std::string reason_;
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
///
/// The first five are what every file layer must offer: a named temporary file beside the
/// target, renamed over it. The others are abilities with defaults that say the file
/// system lacks them, so a layer that only offers the five still saves correctly.
class FileOps {
public:
    virtual ~FileOps() = default;
    /// Creates a new, empty temporary file `directory/.stem.XXXXXX`; sets `path` and `fd`.
    /// A file being written is locked, so a later save can tell a stale one from a live one.
    virtual int createTemp(const std::string& directory, const std::string& stem, std::string& path,
                           int& fd) = 0;
    virtual int writeAt(int fd, std::string_view data, long long offset) = 0;
    /// Pushes the data toward the disk as `durability` says, gives the file `mode` and
    /// closes it.
    virtual int finish(int fd, unsigned mode, Durability durability) = 0;
    virtual int rename(const std::string& from, const std::string& to) = 0;
    /// Removes `path` (when not "") and then closes `fd` (when not -1): a lock held on the
    /// file lasts until its name is gone.
    virtual void discard(int fd, const std::string& path) = 0;

    /// Opens a file in `directory` that has no name yet, so nothing is left behind if the
    /// process dies while writing it. EOPNOTSUPP, EISDIR or EINVAL: the file system cannot.
    virtual int createUnnamed(const std::string& directory, int& fd);
    /// `finish` and `rename` for an unnamed file: once its data is pushed toward the disk
    /// and it has `mode`, it takes the place of `target` (through a fresh temporary name
    /// that no kill of the process can leave behind), and is closed.
    virtual int replaceWithUnnamed(int fd, unsigned mode, Durability durability,
                                   const std::string& target);
    /// Gives the new file the owner and group of the file it replaces, as far as permitted.
    virtual int setOwner(int fd, unsigned owner, unsigned group);
    /// Removes temporary files of `stem` left in `directory` by saves that died.
    virtual void removeStaleTemps(const std::string& directory, const std::string& stem);

    // What rewriting a file in place needs: the file itself, and a copy of its old content.
    /// Opens an existing file for reading and writing, without truncating it.
    virtual int openExisting(const std::string& path, int& fd);
    /// Reads up to `size` bytes at `offset`; `got` is 0 at the end of the file.
    virtual int readAt(int fd, char* buffer, std::size_t size, long long offset, long& got);
    /// Creates, locked and open for reading and writing, the file that takes a copy of a
    /// file's old content, without a name until it is whole, in `directory` (made first if
    /// it is missing). EOPNOTSUPP, EISDIR or EINVAL: the file system cannot.
    virtual int createUnnamedCopy(const std::string& directory, int& fd);
    /// The same under the name `[.]name.XXXXXX.part` (hidden when `hidden`), which no
    /// search for kept copies takes for a whole one.
    virtual int createCopy(const std::string& directory, const std::string& name, bool hidden,
                           std::string& path, int& fd);
    /// Flushes the finished copy to the disk and gives it the name `[.]name.XXXXXX.old`
    /// (`path` "" for an unnamed copy), flushing the folder too: from now on the next open
    /// of the file finds it. `path` becomes that name; the copy stays open and locked.
    virtual int keepCopy(int fd, const std::string& directory, const std::string& name, bool hidden,
                         std::string& path);
    /// Cuts the file to `length`, flushes it to the disk and closes it.
    virtual int finishInPlace(int fd, long long length);
};

FileOps& systemFileOps();

/// The folder where a copy of a file's old content goes when it cannot go beside the
/// file: $XDG_STATE_HOME/MaterialBrowser, else ~/.local/state/MaterialBrowser (an empty or
/// unset HOME taken as the home the password database names), else /tmp.
std::string defaultCopyFolder();

/// The copy of a file's old content that a save rewriting the file in place kept and did
/// not live to remove: the file may hold part of its old content and part of the new.
/// Looked for under the file's name and inode beside `path` (links followed), in
/// `copyFolder` ("" for defaultCopyFolder()) and in /tmp. Copies that need nothing are
/// removed on the way: one never finished (the file was not touched yet), one whose
/// content the file holds, and older ones. A copy that a running save holds is left alone.
std::optional<std::string> findUnfinishedRewrite(const std::string& path,
                                                 const std::string& copyFolder = {});

/// Writes the content of `copy` (found by findUnfinishedRewrite) back into `path` in
/// place, flushed to the disk, and removes the copy: 0, or errno and the copy stays.
int restoreUnfinishedRewrite(const std::string& path, const std::string& copy);

/// Both at once: puts back what a save that died left half written, as a save does before
/// it writes and a command-line tool before it reads. `restoredFrom` names the copy put
/// back ("" for none); 0 or errno.
int recoverUnfinishedRewrite(const std::string& path, const std::string& copyFolder,
                             std::string& restoredFrom);

/// Writes a file so that a failure, or the process dying, never costs the old content.
///
/// Normally the new file is written where it has no name (or, where the file system cannot
/// do that, under a temporary name) in the target's folder, pushed to the disk and renamed
/// over the target. A file with several hard links, or one in a folder where no file can be
/// made, is rewritten in place instead, after a complete copy of its old content has been
/// flushed beside it or in the copy folder; the copy puts the old content back when the
/// rewrite is given up, and is removed once the file is whole again. Should the process
/// die meanwhile, the next open finds the copy (findUnfinishedRewrite), and the next save
/// puts it back before it writes.
class SafeFileWriter {
public:
    /// `copyFolder` "" means defaultCopyFolder().
    SafeFileWriter(std::string target, FileOps& ops, Durability durability = Durability::Flushed,
                   std::string copyFolder = {});
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    /// Whether open() may rewrite the target in place: Refused for a writer that must not
    /// touch the target before it is whole, as one writing a file while it is being read.
    enum class InPlace { Allowed, Refused };
    /// Checks the target can be replaced and creates the file to write; nothing has
    /// changed when it fails. With InPlace::Refused, a target with other hard links or
    /// with a rewrite in place left unfinished fails with EXDEV, and one in a folder where
    /// no file can be made with the folder's error.
    int open(InPlace inPlace = InPlace::Allowed);
    /// Appends a piece; on failure the same call may be repeated (it writes the piece
    /// once). Pieces are gathered and written in chunks.
    int append(std::string_view piece);
    /// Flushes and puts the new file in place; may be repeated after a failure.
    int commit();
    /// Gives up: the target keeps its old content. False only when a file rewritten in
    /// place could not be given its old content back; keptCopy() then names the complete
    /// copy of it that stays.
    bool abandon();

    /// Where the file really is, symbolic links followed.
    const std::string& resolvedTarget() const { return target_; }
    const std::string& keptCopy() const { return copyPath_; }

private:
    enum class How { Unnamed, Named, InPlace };
    int openInPlace();
    int copyOldContent();
    int flush();

    std::string target_;
    FileOps& ops_;
    Durability durability_;
    std::string copyFolder_;
    std::string dir_;
    std::string stem_;
    How how_ = How::Unnamed;
    std::string tempPath_;
    // The copy of the old content of a file rewritten in place: held open, and so locked,
    // until the file is whole again.
    std::string copyPath_;
    std::string copyFolderUsed_;
    std::string copyName_;
    bool copyHidden_ = false;
    int copyFd_ = -1;
    int fd_ = -1;
    bool closed_ = false;
    bool done_ = false;
    long long offset_ = 0;
    long long oldLength_ = 0;
    std::string buffer_;
    bool pieceBuffered_ = false;
    bool exists_ = false;
    unsigned mode_ = 0644;
    unsigned owner_ = 0;
    unsigned group_ = 0;
};

} // namespace mb
