#pragma once

#include "Library.h"
#include "LibraryFile.h"

#include <cstdio>
#include <string>

namespace mb::tools {

/// The whole of a program that builds a library and saves it to the one path it is
/// given: `fill` makes the library; a write error is reported and the save cancelled.
/// `--help` (or `-h`) prints the usage with `what` (one line on what the library holds).
/// Returns the exit status: 0 written or the usage printed, 2 a wrong command line or a
/// failed save.
template <class Fill>
int writeGeneratedLibrary(const char* program, const char* what, int argc, char** argv,
                          Fill&& fill) {
    const std::string arg = argc == 2 ? argv[1] : "";
    if (arg == "--help" || arg == "-h") {
        std::printf("usage: %s OUT.lib\n%s\nOUT.lib is written with the application's own "
                    "writer and replaced if it exists.\n",
                    program, what);
        return 0;
    }
    // An option this program does not know is a mistake, not a file name to write to.
    if (argc != 2 || (arg.size() > 1 && arg[0] == '-')) {
        std::fprintf(stderr, "usage: %s OUT.lib (%s --help for more)\n", program, program);
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
    const WriteResult r = WriteLibraryFile(argv[1], library, groupByCategory(library), prompt);
    if (r.status == WriteResult::Status::Written) return 0;
    if (!r.message.empty()) std::fprintf(stderr, "%s: %s\n", program, r.message.c_str());
    return 2;
}

} // namespace mb::tools
