// libFuzzer entry: arbitrary bytes as an xlsx workbook (a whole archive, or the XML of the
// parts that hold cells), read by the xlsx/ods reader in this process, imported in either
// layout, saved as library text and read back.
#include "WorkbookRoundTrip.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// As in library_fuzzer: a small quarantine keeps the fresh-page faults down.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=16";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = mb::fuzz::RoundTripWorkbook(
        {reinterpret_cast<const char*>(data), size}, mb::fuzz::WorkbookFormat::Xlsx);
    if (!problem.empty()) {
        std::fprintf(stderr, "xlsx round trip: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
