#include "ZipParts.h"

#include <zip.h>

#include <algorithm>

namespace mb {

namespace {

ZipParts::Opened Outcome(zip_t* zip, int error) {
    if (zip) return ZipParts::Opened::Ok;
    return error == ZIP_ER_NOZIP ? ZipParts::Opened::NotAZip : ZipParts::Opened::Damaged;
}

} // namespace

ZipParts::~ZipParts() {
    if (zip_) zip_discard(zip_);
}

ZipParts::Opened ZipParts::open(const std::string& path) {
    int error = 0;
    zip_ = zip_open(path.c_str(), ZIP_RDONLY, &error);
    return Outcome(zip_, error);
}

ZipParts::Opened ZipParts::open(std::string_view bytes) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (source) {
        zip_ = zip_open_from_source(source, ZIP_RDONLY, &error);
        if (!zip_) zip_source_free(source);
    }
    const int code = zip_error_code_zip(&error);
    zip_error_fini(&error);
    return Outcome(zip_, code);
}

bool ZipParts::has(const std::string& name) const {
    return zip_ && zip_name_locate(zip_, name.c_str(), 0) >= 0;
}

ZipParts::Read ZipParts::read(const std::string& name, std::string& bytes) {
    bytes.clear();
    const zip_int64_t index = zip_ ? zip_name_locate(zip_, name.c_str(), 0) : -1;
    if (index < 0) return Read::Missing;
    zip_file_t* file = zip_fopen_index(zip_, static_cast<zip_uint64_t>(index), 0);
    if (!file) return Read::Damaged;
    // Sized once from what the archive declares, within what is left of the budget: a
    // growing string would copy and fault in a large part several times over. The count
    // below still holds whatever the declared size says.
    zip_stat_t stat;
    if (zip_stat_index(zip_, static_cast<zip_uint64_t>(index), 0, &stat) == 0 &&
        (stat.valid & ZIP_STAT_SIZE))
        bytes.reserve(static_cast<std::size_t>(std::min<zip_uint64_t>(
            stat.size, static_cast<zip_uint64_t>(kUnpackedLimit - unpacked_))));
    char chunk[64 * 1024];
    Read outcome = Read::Ok;
    for (;;) {
        const zip_int64_t got = zip_fread(file, chunk, sizeof chunk);
        if (got == 0) break;
        if (got < 0) {
            outcome = Read::Damaged;
            break;
        }
        unpacked_ += got;
        if (unpacked_ > kUnpackedLimit) {
            outcome = Read::TooLarge;
            break;
        }
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
    zip_fclose(file);
    if (outcome != Read::Ok) bytes = std::string();
    return outcome;
}

} // namespace mb

namespace mb {

bool readPart(ZipParts& parts, const std::string& name, std::string& bytes, std::string& why) {
    switch (parts.read(name, bytes)) {
    case ZipParts::Read::Ok:
        return true;
    case ZipParts::Read::Missing:
        why = "the workbook has no part " + name;
        return false;
    case ZipParts::Read::TooLarge:
        why = "it unpacks to more than " + std::to_string(ZipParts::kUnpackedLimit >> 20) +
              " MiB (reached in the part " + name + ")";
        return false;
    case ZipParts::Read::Damaged:
        why = "the part " + name + " cannot be unpacked";
        return false;
    }
    return false;
}

} // namespace mb
