#pragma once

#include <cstdlib>
#include <sstream>
#include <string>
#include <unistd.h>

namespace mb::test {

/// Where `program` runs from along PATH, as a shell would find it; "" when nowhere, so a
/// test of a real consumer can fail with the name of what is missing.
inline std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const std::string candidate = folder + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

} // namespace mb::test
