// Replays the fuzzer's seed corpus and every input it ever crashed on through the same
// entry point the fuzzer uses, so a fixed bug stays fixed in the ordinary build.
#include "LibraryRoundTrip.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace mb::test {
namespace {

TEST(FuzzCorpus, EveryInputRoundTripsWithoutBreakingAPromise) {
    int replayed = 0;
    for (const auto& e : std::filesystem::directory_iterator(MB_FUZZ_CORPUS_DIR)) {
        ++replayed;
        EXPECT_EQ(mb::fuzz::RoundTripLibrary(ReadBytes(e.path())), "") << e.path();
    }
    EXPECT_GE(replayed, 5);
}

} // namespace
} // namespace mb::test
