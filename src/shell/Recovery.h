#pragma once

#include "model/FileStamp.h"

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

std::string RecoveryHeaderText(const RecoveryHeader& header);

struct RecoveryCopy {
    RecoveryHeader header;
    std::string_view libraryText; ///< points into the content parsed
};
/// Splits a copy into its header and library text; nullopt when it is not a copy this
/// program wrote.
std::optional<RecoveryCopy> ParseRecoveryCopy(std::string_view content);

/// The library text a save would write, into `out` (whose capacity is reused). Unlike a
/// save it leaves the library as it was: materials without a name code keep none.
void FormatLibraryInto(Library& library, std::string& out);

/// Keeps a copy of the open library in the recovery store while it has edits that were not
/// saved. With no edit history, "not saved" means: its text differs from the text it had
/// when it was last opened, created or saved.
class Recovery {
public:
    Recovery(AppState& state, RecoveryStore& store);

    /// The library as it is now is what the disk holds (or what was just created): the
    /// copy, if any, goes.
    void markSaved();
    /// Nothing on disk holds the library as it is now (it was recovered).
    void markUnsaved();
    /// Formats the library on this thread and, when it differs from what was last saved
    /// and from the copy last written, hands it to the store's worker. Once it no longer
    /// differs from what was saved, the copy goes.
    void check();
    /// Writes the copy at once; its path, or nullopt with `reason` set.
    std::optional<std::string> writeNow(std::string& reason);
    /// The library was closed or replaced: its copy goes.
    void discard();

    RecoveryStore& store() { return store_; }

private:
    RecoveryHeader currentHeader() const;
    /// A buffer for the next formatting: the one last handed to the store once the store is
    /// done with it, so large libraries do not cost fresh memory every time.
    void reclaimScratch();

    AppState& state_;
    RecoveryStore& store_;
    std::string scratch_;
    std::shared_ptr<std::string> saved_;       // text as last opened or saved; null: none
    std::shared_ptr<std::string> lastWritten_; // text of the copy last handed to the store
    RecoveryHeader lastHeader_;
    bool copyExists_ = false;
};

} // namespace mb
