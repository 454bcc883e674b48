#include "FileStamp.h"

#include <charconv>
#include <sys/stat.h>

namespace mb {

std::optional<FileStamp> FileStamp::of(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    FileStamp stamp;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    stamp.size = static_cast<std::int64_t>(st.st_size);
    stamp.modifiedSeconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    stamp.modifiedNanoseconds = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    return stamp;
}

namespace {

template <class T> void AppendNumber(std::string& out, T value) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    if (!out.empty()) out += ' ';
    out.append(buf, res.ptr);
}

template <class T> bool ReadNumber(std::string_view& text, T& value) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (res.ec != std::errc() || res.ptr == text.data()) return false;
    text.remove_prefix(static_cast<std::size_t>(res.ptr - text.data()));
    return true;
}

} // namespace

std::string FileStamp::toText() const {
    std::string out;
    AppendNumber(out, device);
    AppendNumber(out, inode);
    AppendNumber(out, size);
    AppendNumber(out, modifiedSeconds);
    AppendNumber(out, modifiedNanoseconds);
    return out;
}

std::optional<FileStamp> FileStamp::fromText(std::string_view text) {
    FileStamp s;
    if (!ReadNumber(text, s.device) || !ReadNumber(text, s.inode) || !ReadNumber(text, s.size) ||
        !ReadNumber(text, s.modifiedSeconds) || !ReadNumber(text, s.modifiedNanoseconds))
        return std::nullopt;
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    if (!text.empty()) return std::nullopt;
    return s;
}

} // namespace mb
