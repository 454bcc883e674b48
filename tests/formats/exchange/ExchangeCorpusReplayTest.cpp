// Replays the JSON and CSV fuzzers' corpora, seeds and every input they ever stopped on,
// through the fuzzers' own check, so a fixed fault stays fixed in the ordinary build.
#include "ExchangeRoundTrip.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace mb {
namespace {

TEST(ExchangeCorpus, EveryInputKeepsTheImportsPromises) {
    const std::pair<const char*, fuzz::ExchangeFormat> corpora[] = {
        {MB_FUZZ_DIR "/json-corpus", fuzz::ExchangeFormat::Json},
        {MB_FUZZ_DIR "/csv-corpus", fuzz::ExchangeFormat::Csv}};
    for (const auto& [folder, format] : corpora) {
        int replayed = 0;
        for (const auto& e : std::filesystem::directory_iterator(folder)) {
            ++replayed;
            EXPECT_EQ(fuzz::RoundTripImport(test::ReadBytes(e.path()), format), "") << e.path();
        }
        EXPECT_GE(replayed, 5) << folder;
    }
}

} // namespace
} // namespace mb
