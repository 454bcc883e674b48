#pragma once

#include <string>
#include <vector>

namespace mb::test {

struct ProgramResult {
    int exitCode = -1; ///< -1 when the program did not exit normally
    std::string out;
    std::string err;
};

struct RunOptions {
    long long maxFileSize = -1; ///< bytes a written file may reach; -1 for no limit
    std::string stdoutPath;     ///< where standard output goes instead of being collected
};

/// Runs `program` with `args`, no standard input, and collects what it printed.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const RunOptions& options = {});

/// A fresh directory under the temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

} // namespace mb::test
