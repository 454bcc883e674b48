#pragma once

#include "FileOps.h"
#include "LargePages.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mb {

class Library;

/// The message a user sees for a failed write, by errno.
std::string fileErrorMessage(int errorNumber);

struct ReadResult {
    enum class Status {
        Loaded,      ///< the library model holds the file's materials
        NotALibrary, ///< the first line does not start with "MATTYPE"; the model is empty
        CannotOpen,  ///< the file could not be opened (the model is untouched), or not
                     ///< read whole (the model is empty)
    };
    Status status = Status::Loaded;
    std::string message;      ///< why the file could not be read
    int droppedMaterials = 0; ///< materials past the library's limit that were skipped
};

inline constexpr const char* kNotALibraryMessage =
    "This file is not a VELTRA/M material library file!";

/// Reads a ".lib" file into `library`. Malformed lines are not errors: a step that fails
/// is skipped and reading goes on. `decimalSeparator` is the user's separator.
ReadResult ReadLibraryFile(const std::string& fileName, Library& library,
                           std::string_view decimalSeparator);

/// Reads library text already in memory (the same rules as the file reader).
ReadResult readLibraryText(std::string_view text, Library& library,
                           std::string_view decimalSeparator);

/// Materials grouped for writing: category names in order of first occurrence (trimmed,
/// compared without regard to case) and, per material, the position of its category.
struct CategoryGrouping {
    std::vector<std::string> names;      ///< position p is names[p - 1]
    std::vector<int> categoryOfMaterial; ///< 1-based positions, one per material
};
CategoryGrouping groupByCategory(const Library& library);

/// Asked when writing a block fails: true for Retry, false for Cancel.
class WriteErrorPrompt {
public:
    virtual ~WriteErrorPrompt() = default;
    virtual bool retry(const std::string& message) = 0;
};

/// How a file is written.
struct WriteOptions {
    Durability durability;
    /// Where a copy of the old content is kept while a file is rewritten in place and no
    /// copy can be made beside it; "" means defaultCopyFolder().
    std::string copyFolder;
};

struct WriteResult {
    enum class Status {
        Written,
        NothingToWrite, ///< the file name was ""
        Failed,         ///< the file could not be created; the target is untouched
        Cancelled,      ///< the user chose Cancel on a write error; the target keeps its old
                        ///< content, or (message) a complete copy of it was kept elsewhere
    };
    Status status = Status::Written;
    std::string message;
};

/// Writes the library category by category. The whole file is written beside the target
/// and renamed into place, so a failed save never leaves a truncated library; a file with
/// several hard links, or in a folder where no file can be made, is rewritten in place
/// after a complete copy of its old content has been made (SafeFileWriter).
/// Records whose name code is empty get one made from their name, and keep it.
/// The file is flushed to the disk before it replaces the old one.
WriteResult WriteLibraryFile(const std::string& fileName, Library& library,
                             const CategoryGrouping& grouping, WriteErrorPrompt& prompt);

/// The same, through a file layer that tests can make fail, pushed toward the disk as
/// `durability` says.
WriteResult WriteLibraryFile(const std::string& fileName, Library& library,
                             const CategoryGrouping& grouping, WriteErrorPrompt& prompt,
                             FileOps& ops, Durability durability);
WriteResult WriteLibraryFile(const std::string& fileName, Library& library,
                             const CategoryGrouping& grouping, WriteErrorPrompt& prompt,
                             FileOps& ops, const WriteOptions& options);

/// A save in two halves, so that the slow one can leave the window's thread: the text is
/// formatted when the save is made (the only step that reads the library, giving name
/// codes as WriteLibraryFile does), and `run` does the disk work alone, touching nothing
/// but the text and the file. The guarantees are WriteLibraryFile's.
class LibrarySave {
public:
    /// `room` is the memory of an earlier save's text (`releaseText`), formatted into again
    /// where the text fits.
    LibrarySave(std::string fileName, Library& library, const CategoryGrouping& grouping,
                FileOps& ops, WriteOptions options, LargeText room = {});
    LibrarySave(const LibrarySave&) = delete;
    LibrarySave& operator=(const LibrarySave&) = delete;

    /// Writes, flushes and puts the file in place, resuming at the step that failed last:
    /// 0, or the errno of the failed step.
    int run();
    /// Whether a failed `run` may be repeated: not when the file could not even be made.
    bool retryable() const { return opened_; }
    /// A failure of `run` in words: what WriteErrorPrompt::retry is asked with when it is
    /// retryable, else the whole message of a Failed save.
    std::string failureMessage(int err) const;
    /// Gives up after a failed step (the user chose Cancel): the Cancelled result.
    WriteResult abandon();
    /// The text written (or being written).
    std::string_view text() const { return text_; }
    const std::string& fileName() const { return fileName_; }
    /// Hands the text's memory on, for the next save; the text is no longer needed once
    /// `run` succeeded or the save was abandoned.
    LargeText releaseText() { return std::move(text_); }

private:
    std::string fileName_;
    LargeText text_;
    SafeFileWriter writer_;
    bool opened_ = false;
    std::size_t written_ = 0;
};

/// What readAndWriteLibraryFile did.
struct CopyResult {
    ReadResult read;
    /// The target holds what was read, as WriteLibraryFile writes it. False leaves the
    /// target as it was, for the caller to write the library, if the reading allows it.
    bool written = false;
};

/// ReadLibraryFile, then WriteLibraryFile of what it read, as for a library rewritten
/// unchanged: where the source is large and its categories come in groups, as a save
/// writes them, the target is written on a second core while the source is still being
/// read. It is not written (`written` false, nothing of it changed) where the reading
/// does not load the whole library, where a category comes back further down, where the
/// target would have to be rewritten in place, and where writing fails. `library` holds
/// what was read; unlike a save, no material is given a name code.
CopyResult readAndWriteLibraryFile(const std::string& source, const std::string& target,
                                   Library& library, std::string_view decimalSeparator,
                                   FileOps& ops, Durability durability);

/// The length of the whole file text, without formatting it.
std::size_t libraryTextSize(Library& library, const CategoryGrouping& grouping);
/// The whole file text as WriteLibraryFile writes it.
std::string libraryText(Library& library, const CategoryGrouping& grouping);

/// Hands the same text to `sink` in pieces of about a write chunk, in file order, for a
/// caller that keeps or digests it without one large string. Unlike saving, it gives no
/// material a name code.
void emitLibraryText(Library& library, const CategoryGrouping& grouping,
                     const std::function<void(std::string_view)>& sink);
/// The same into `out`, whose memory is reused by a caller that formats again and again.
void formatLibraryText(Library& library, const CategoryGrouping& grouping, std::string& out);
/// The same into fresh memory of large pages, as a save formats the text on the window's
/// thread.
void formatLibraryText(Library& library, const CategoryGrouping& grouping, LargeText& out);
/// The same text as emitLibraryText gives, into fresh memory of large pages sized once:
/// unlike a save, it gives no material a name code.
void formatLibraryCopy(Library& library, const CategoryGrouping& grouping, LargeText& out);

} // namespace mb
