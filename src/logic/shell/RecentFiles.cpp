#include "RecentFiles.h"

#include "Settings.h"

#include <algorithm>
#include <filesystem>

namespace mb {

namespace {

const char* const kRecentKey = "Recent";
const char* const kFilesValue = "Files";

} // namespace

std::string recentFileGoneMessage(const std::string& path) {
    return path + " no longer exists. It has been removed from Recent Files.";
}

RecentFiles::RecentFiles(SettingsBackend& settings) : settings_(settings) {}

// The paths are kept as one binary value, each ended by a NUL: the one byte no path can
// hold, so any file name survives, whatever its characters.
std::vector<std::string> RecentFiles::paths() const {
    std::vector<std::string> list;
    const std::unique_ptr<SettingsKey> key = settings_.openKey(kRecentKey);
    if (!key) return list;
    const SettingsValue value = key->queryValue(kFilesValue);
    if (value.type != SettingsValue::Type::Binary) return list;
    std::size_t start = 0;
    for (std::size_t end; (end = value.data.find('\0', start)) != std::string::npos;
         start = end + 1) {
        std::string path = value.data.substr(start, end - start);
        if (!path.empty() && list.size() < kMaxRecentFiles &&
            std::find(list.begin(), list.end(), path) == list.end())
            list.push_back(std::move(path));
    }
    return list;
}

void RecentFiles::store(const std::vector<std::string>& list) {
    std::string bytes;
    for (const std::string& path : list)
        bytes.append(path).push_back('\0');
    // A list that cannot be stored costs the user a convenience, not work: no message.
    if (const std::unique_ptr<SettingsKey> key = settings_.createKey(kRecentKey))
        key->setBinaryValue(kFilesValue, bytes);
}

std::vector<RecentFile> RecentFiles::entries() const {
    std::vector<RecentFile> list;
    for (std::string& path : paths()) {
        std::error_code error;
        const bool exists = std::filesystem::exists(path, error);
        list.push_back({std::move(path), exists});
    }
    return list;
}

std::string RecentFiles::fullPath(const std::string& path) {
    // A name relative to the folder the program was started in means nothing to the next
    // run, started elsewhere; a link is kept as the file it leads to.
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path full = fs::absolute(path, error);
    if (error) return path;
    const fs::path resolved = fs::weakly_canonical(full, error);
    return (error ? full.lexically_normal() : resolved).string();
}

void RecentFiles::add(const std::string& given) {
    if (given.empty() || given.find('\0') != std::string::npos) return;
    const std::string path = fullPath(given);
    std::vector<std::string> list = paths();
    std::erase(list, path);
    list.insert(list.begin(), path);
    if (list.size() > kMaxRecentFiles) list.resize(kMaxRecentFiles);
    store(list);
}

void RecentFiles::remove(const std::string& path) {
    std::vector<std::string> list = paths();
    if (std::erase(list, path) > 0) store(list);
}

} // namespace mb
