// libFuzzer entry: arbitrary bytes through the ".lib" reader and back out of the writer.
#include "LibraryRoundTrip.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem =
        mb::fuzz::RoundTripLibrary({reinterpret_cast<const char*>(data), size});
    if (!problem.empty()) {
        std::fprintf(stderr, "library round trip: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
