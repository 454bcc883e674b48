#pragma once

#include <string>
#include <vector>

namespace mb {

class SettingsBackend;

inline constexpr std::size_t kMaxRecentFiles = 8;

/// "PATH no longer exists. It has been removed from Recent Files."
std::string recentFileGoneMessage(const std::string& path);

/// One entry of the File menu's "Recent Files", newest first.
struct RecentFile {
    std::string path;
    bool exists = true; ///< a file that has gone is shown greyed out
};

/// The libraries opened or saved last, kept in the settings so that every run and every
/// running instance shares them.
class RecentFiles {
public:
    explicit RecentFiles(SettingsBackend& settings);

    std::vector<RecentFile> entries() const;
    /// Puts `path` first, as an absolute path with its links resolved; an older mention of
    /// it goes, and the list keeps the newest 8.
    void add(const std::string& path);
    /// `path` from the root, with symbolic links resolved as far as they exist.
    static std::string fullPath(const std::string& path);
    void remove(const std::string& path);

private:
    std::vector<std::string> paths() const;
    void store(const std::vector<std::string>& paths);

    SettingsBackend& settings_;
};

} // namespace mb
