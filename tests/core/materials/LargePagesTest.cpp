#include "LargePages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

namespace mb {
namespace {

// The mapping of this process that holds `address`, as [from, to); {0, 0} for none.
std::pair<std::uintptr_t, std::uintptr_t> MappingAt(std::uintptr_t address) {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        std::istringstream range(line);
        std::uintptr_t from = 0, to = 0;
        char dash = 0;
        range >> std::hex >> from >> dash >> to;
        if (from <= address && address < to) return {from, to};
    }
    return {0, 0};
}

// A save's text is mapped on its own, where a large page can back it, and leaves nothing
// mapped once freed, neither the block nor the slack mapped after it to align it.
TEST(LargePages, ABlockStartsOnALargePageAndGoesBackWhole) {
    const std::size_t bytes = 3 * kLargePage + 100;
    auto* block = static_cast<char*>(mapLargePages(bytes));
    const auto start = reinterpret_cast<std::uintptr_t>(block);
    EXPECT_EQ(start % kLargePage, 0u);
    block[bytes - 1] = 'z'; // the last byte is there to write
    const auto whole = std::make_pair(start, start + 4 * kLargePage);
    EXPECT_EQ(MappingAt(start), whole);
    unmapLargePages(block, bytes);
    EXPECT_EQ(MappingAt(start).second, 0u);
    EXPECT_EQ(MappingAt(whole.second - 1).second, 0u);
    EXPECT_EQ(MappingAt(whole.second).second, 0u) << "the slack after the block stays mapped";
}

// A text that grows from the heap into large pages and shrinks back keeps every byte, and
// each block goes back to where it came from (a mismatch aborts under the sanitizers).
TEST(LargePages, ATextGrowsIntoLargePagesAndBackUnchanged) {
    LargeText text = "head ";
    std::string expected = "head ";
    for (int i = 0; text.size() < 2 * kLargePage; ++i) {
        const std::string piece = std::to_string(i) + ",";
        text += piece;
        expected += piece;
    }
    EXPECT_GE(text.capacity(), kLargePage);
    EXPECT_EQ(std::string_view(text), expected);
    text.resize(1000);
    text.shrink_to_fit();
    EXPECT_LT(text.capacity(), kLargePage);
    EXPECT_EQ(std::string_view(text), std::string_view(expected).substr(0, 1000));
}

} // namespace
} // namespace mb
