#pragma once

// Paths a reader must refuse before it reads a byte: each would keep it waiting or reading
// for ever (or, for the sparse file, for many seconds and gigabytes of memory).

#include "TempDir.h"

#include <filesystem>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace mb::test {

struct RefusedPath {
    std::string path;
    std::string reason; ///< what the user is told, in words about reading
};

/// In `dir`, all named with `extension` (".lib", ".csv", ...): a named pipe nobody writes
/// to, /dev/zero behind a symbolic link, a sparse file of 2 GiB and a folder.
inline std::vector<RefusedPath> FilesThatDoNotEnd(const TempDir& dir,
                                                  const std::string& extension) {
    const std::string pipe = dir.file("pipe" + extension), zeros = dir.file("zeros" + extension),
                      sparse = dir.file("sparse" + extension),
                      folder = dir.file("folder" + extension);
    if (::mkfifo(pipe.c_str(), 0600) != 0) throw std::runtime_error("cannot make " + pipe);
    std::filesystem::create_symlink("/dev/zero", zeros);
    WriteBytes(sparse, "MATTYPE:Sparse\r\n");
    std::filesystem::resize_file(sparse, 2LL << 30);
    std::filesystem::create_directory(folder);
    return {
        {pipe, "it is a named pipe (FIFO), not a file."},
        {zeros, "it is a device, not a file."},
        {sparse, "it is larger than 64 MiB, more than any library can be."},
        {folder, "it is a folder, not a file."},
    };
}

/// A reader that waited on the pipe would hang the whole suite: the alarm ends the test
/// program instead, which fails it. Not a timing: the limit is far beyond any honest run.
class HangGuard {
public:
    HangGuard() { ::alarm(120); }
    ~HangGuard() { ::alarm(0); }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;
};

} // namespace mb::test
