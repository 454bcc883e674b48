#pragma once

#include "FileStamp.h"
#include "LargePages.h"

#include <cstdint>
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
/// saved: its text differs from the text it had when it was last opened, created or saved.
/// It learns of edits from the library's history, and copies only after one.
class Recovery {
public:
    Recovery(AppState& state, RecoveryStore& store);
    ~Recovery();
    Recovery(const Recovery&) = delete;
    Recovery& operator=(const Recovery&) = delete;

    /// The library as it is now is what the disk holds (or what was just created): the
    /// copy, if any, goes.
    void markSaved();
    /// The same, for a text saved when editCount() was `editsSaved` and digested already
    /// (on another thread, by the save): no second walk over the library. Edits made
    /// while the save ran are still copied.
    void markSaved(const LibraryDigest& saved, std::uint64_t editsSaved);
    /// Edits, undos and redos of the library so far.
    std::uint64_t editCount() const { return edits_; }
    /// Nothing on disk holds the library as it is now (it was recovered).
    void markUnsaved();
    /// After an edit, undo or redo since the last copy, formats the library and hands the
    /// text to the store's worker, which keeps it unless it is what was last saved: once
    /// the library no longer differs from that, the copy goes.
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
    std::optional<LibraryDigest> saved_; // as last opened or saved; none: nothing is
    RecoveryHeader lastHeader_;          // of the copy last handed to the store
    bool copyExists_ = false;
    std::uint64_t edits_ = 0;       // as the history announced them
    std::uint64_t copiedEdits_ = 0; // edits_ when the last copy was handed over or saved
    int listener_;
};

} // namespace mb
