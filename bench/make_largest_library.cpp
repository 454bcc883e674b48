// Writes the largest library the format allows, with the application's own writer.
#include "LargestLibrary.h"

#include "model/LibraryFile.h"

#include <cstdio>
#include <string>

namespace {

class FailingPrompt final : public mb::WriteErrorPrompt {
public:
    bool retry(const std::string& message) override {
        std::fprintf(stderr, "make_largest_library: %s\n", message.c_str());
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make_largest_library OUT.lib\n", stderr);
        return 2;
    }
    mb::Library library;
    mb::bench::FillLargestLibrary(library);
    FailingPrompt prompt;
    const auto r = mb::WriteLibraryFile(argv[1], library, mb::GroupByCategory(library), prompt);
    if (r.status != mb::WriteResult::Status::Written) {
        if (!r.message.empty()) std::fprintf(stderr, "make_largest_library: %s\n", r.message.c_str());
        return 2;
    }
    return 0;
}
