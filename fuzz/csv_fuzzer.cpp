// libFuzzer entry: arbitrary bytes through the CSV import (both layouts), the writer and the CSV
// export.
#include "ExchangeRoundTrip.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// As in library_fuzzer: a small quarantine keeps the fresh-page faults down.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=16";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = mb::fuzz::RoundTripImport(
        {reinterpret_cast<const char*>(data), size}, mb::fuzz::ExchangeFormat::Csv);
    if (!problem.empty()) {
        std::fprintf(stderr, "csv round trip: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
