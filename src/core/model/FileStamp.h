#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mb {

/// What identifies one version of a file on disk: the device and inode it lives in, its
/// size and its modification time to the nanosecond. A library whose stamp differs from
/// the one taken when it was opened or last saved has been changed by someone else.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;

    friend bool operator==(const FileStamp&, const FileStamp&) = default;

    /// The stamp of the file `path` names (links followed), or nullopt when there is none.
    static std::optional<FileStamp> of(const std::string& path);

    /// Five decimal numbers separated by blanks, and back.
    std::string toText() const;
    static std::optional<FileStamp> fromText(std::string_view text);
};

} // namespace mb
