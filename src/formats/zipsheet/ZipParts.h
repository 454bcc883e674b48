#pragma once

#include <memory>
#include <string>
#include <string_view>

using zip_t = struct zip;

namespace mb {

/// The parts of a zip archive, unpacked on request under one budget for the whole archive.
class ZipParts {
public:
    /// What all parts read together may unpack to. Counted over the bytes actually
    /// inflated: the sizes an archive declares may lie.
    static constexpr long long kUnpackedLimit = 64LL * 1024 * 1024;

    enum class Opened { Ok, NotAZip, Damaged };
    /// The archive in the file at `path`, or in `bytes` (kept by the caller while in use).
    Opened open(const std::string& path);
    Opened open(std::string_view bytes);

    ZipParts() = default;
    ZipParts(const ZipParts&) = delete;
    ZipParts& operator=(const ZipParts&) = delete;
    ~ZipParts();

    bool has(const std::string& name) const;

    enum class Read { Ok, Missing, TooLarge, Damaged };
    /// Unpacks the part `name` into `bytes`. TooLarge once the archive's budget is spent.
    Read read(const std::string& name, std::string& bytes);

private:
    zip_t* zip_ = nullptr;
    long long unpacked_ = 0;
};

} // namespace mb

namespace mb {

/// ZipParts::read with the reason a failure gives, to follow "cannot be read: ".
bool readPart(ZipParts& parts, const std::string& name, std::string& bytes, std::string& why);

} // namespace mb
