#pragma once

#include "TempDir.h"

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

} // namespace mb::test
