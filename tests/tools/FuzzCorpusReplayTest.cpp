// Replays the fuzzer's seed corpus and every input it ever crashed on through the same
// entry point the fuzzer uses, so a fixed bug stays fixed in the ordinary build.
#include "LibraryRoundTrip.h"
#include "RunProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace mb::test {
namespace {

std::vector<std::string> CorpusFiles() {
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(MB_FUZZ_CORPUS_DIR))
        if (e.is_regular_file()) files.push_back(e.path().filename().string());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(FuzzCorpus, IsNotEmpty) { EXPECT_GE(CorpusFiles().size(), 5u); }

class FuzzCorpusReplay : public testing::TestWithParam<std::string> {};

TEST_P(FuzzCorpusReplay, RoundTripsWithoutBreakingAPromise) {
    const std::string bytes = ReadWholeFile(std::string(MB_FUZZ_CORPUS_DIR) + "/" + GetParam());
    EXPECT_EQ(mb::fuzz::RoundTripLibrary(bytes), "");
}

INSTANTIATE_TEST_SUITE_P(Corpus, FuzzCorpusReplay, testing::ValuesIn(CorpusFiles()),
                         [](const testing::TestParamInfo<std::string>& p) {
                             std::string name = p.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

} // namespace
} // namespace mb::test
