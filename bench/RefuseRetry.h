#pragma once
// The benchmarks' answer to a failed write: say what failed on stderr and do not retry, so
// that a run on a full or read-only disk ends with the reason instead of waiting for a user.
#include "LibraryFile.h"

#include <cstdio>
#include <string>

namespace mb::bench {

class RefuseRetry final : public WriteErrorPrompt {
public:
    explicit RefuseRetry(const char* program) : program_(program) {}
    bool retry(const std::string& message) override {
        std::fprintf(stderr, "%s: %s\n", program_, message.c_str());
        return false;
    }

private:
    const char* program_;
};

} // namespace mb::bench
