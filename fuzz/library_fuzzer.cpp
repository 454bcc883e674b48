// libFuzzer entry: arbitrary bytes through the ".lib" reader and back out of the writer.
#include "LibraryRoundTrip.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Every input builds a few libraries of 1001 index entries (128 KiB each). Behind ASan's
// default quarantine of 256 MiB each one landed on memory never touched before, and those
// page faults took three quarters of an input's time. 16 MiB still holds the freed memory
// of many inputs, so a use after free within one input is caught all the same.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=16";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem =
        mb::fuzz::RoundTripLibrary({reinterpret_cast<const char*>(data), size});
    if (!problem.empty()) {
        std::fprintf(stderr, "library round trip: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
