#pragma once

#include "FileStamp.h"
#include "LargePages.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace mb {

struct AppState;
class Library;
class RecoveryStore;

/// What a recovery copy says about the library it holds, before the library text.
struct RecoveryHeader {
    std::string fileName;           ///< the library's file; "" for a new one never saved
    bool untitled = false;          ///< never saved under a name of its own: Save asks for one
    std::optional<FileStamp> stamp; ///< the file as last opened or saved

    friend bool operator==(const RecoveryHeader&, const RecoveryHeader&) = default;
};

std::string recoveryHeaderText(const RecoveryHeader& header);

struct RecoveryCopy {
    RecoveryHeader header;
    std::string_view libraryText; ///< points into the content parsed
};
/// Splits a copy into its header and library text; nullopt when it is not a copy this
/// program wrote.
std::optional<RecoveryCopy> parseRecoveryCopy(std::string_view content);

/// The library text a save would write, into `out` (whose capacity is reused). Unlike a
/// save it leaves the library as it was: materials without a name code keep none.
void formatLibraryInto(Library& library, LargeText& out);

/// Tells library texts apart without keeping them: a hash of the text formatLibraryInto
/// gives, and its length.
struct LibraryDigest {
    std::size_t hash = 0;
    std::size_t size = 0;
    friend bool operator==(const LibraryDigest&, const LibraryDigest&) = default;
};
/// Formats the library a write chunk at a time, so no memory the size of the whole text
/// is needed, and digests it.
LibraryDigest digestLibrary(Library& library);
/// The digest of a text already formatted (a save's): the same as digestLibrary's of the
/// library it came from, however the text was cut into pieces.
LibraryDigest digestText(std::string_view text);

/// Keeps a copy of the open library in the recovery store while it has edits that were not
/// saved. With no edit history, "not saved" means: its text differs from the text it had
/// when it was last opened, created or saved.
class Recovery {
public:
    Recovery(AppState& state, RecoveryStore& store);

    /// The library as it is now is what the disk holds (or what was just created): the
    /// copy, if any, goes.
    void markSaved();
    /// The same, for a library whose saved text has been digested already (on another
    /// thread, by the save): no second walk over the library.
    void markSaved(const LibraryDigest& saved);
    /// Nothing on disk holds the library as it is now (it was recovered).
    void markUnsaved();
    /// Digests the library on this thread and, when it differs from what was last saved
    /// and from the copy last written, formats it and hands the text to the store's
    /// worker. Once it no longer differs from what was saved, the copy goes.
    void check();
    /// Writes the copy at once; its path, or nullopt with `reason` set.
    std::optional<std::string> writeNow(std::string& reason);
    /// The library was closed or replaced: its copy goes.
    void discard();

    RecoveryStore& store() { return store_; }

private:
    RecoveryHeader currentHeader() const;

    AppState& state_;
    RecoveryStore& store_;
    std::optional<LibraryDigest> saved_;       // as last opened or saved; none: nothing is
    std::optional<LibraryDigest> lastWritten_; // the copy last handed to the store
    RecoveryHeader lastHeader_;
    bool copyExists_ = false;
};

} // namespace mb
