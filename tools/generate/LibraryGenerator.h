#pragma once

#include "model/Library.h"
#include "model/LibraryFile.h"

#include <cstdio>
#include <string>

namespace mb::tools {

/// The whole of a program that builds a library and saves it to the one path it is
/// given: `fill` makes the library; a write error is reported and the save cancelled.
/// Returns the exit status: 0 written, 2 a wrong command line or a failed save.
template <class Fill>
int WriteGeneratedLibrary(const char* program, int argc, char** argv, Fill&& fill) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.lib\n", program);
        return 2;
    }
    class ReportingPrompt final : public WriteErrorPrompt {
    public:
        explicit ReportingPrompt(const char* name) : name_(name) {}
        bool retry(const std::string& message) override {
            std::fprintf(stderr, "%s: %s\n", name_, message.c_str());
            return false;
        }

    private:
        const char* name_;
    } prompt(program);
    Library library;
    fill(library);
    const WriteResult r = WriteLibraryFile(argv[1], library, GroupByCategory(library), prompt);
    if (r.status == WriteResult::Status::Written) return 0;
    if (!r.message.empty()) std::fprintf(stderr, "%s: %s\n", program, r.message.c_str());
    return 2;
}

} // namespace mb::tools
