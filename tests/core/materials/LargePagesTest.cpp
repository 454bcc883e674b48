#include "LargePages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

namespace mb {
namespace {

// Whether any mapping of this process overlaps [begin, end).
bool Mapped(std::uintptr_t begin, std::uintptr_t end) {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        std::istringstream range(line);
        std::uintptr_t from = 0;
        std::uintptr_t to = 0;
        char dash = 0;
        range >> std::hex >> from >> dash >> to;
        if (from < end && begin < to) return true;
    }
    return false;
}

// A save's text is mapped on its own: it must start where a large page can back it, hold
// what is written to its last byte, and leave nothing mapped once freed, neither the block
// nor the slack mapped to align it.
TEST(LargePages, ABlockStartsOnALargePageAndGoesBackWhole) {
    const std::size_t bytes = 3 * kLargePage + 100;
    auto* block = static_cast<char*>(mapLargePages(bytes));
    const auto start = reinterpret_cast<std::uintptr_t>(block);
    EXPECT_EQ(start % kLargePage, 0u);
    block[0] = 'a';
    block[bytes - 1] = 'z';
    EXPECT_EQ(block[0] + block[bytes - 1], 'a' + 'z');
#if defined(__linux__)
    EXPECT_TRUE(Mapped(start, start + bytes));
    EXPECT_FALSE(Mapped(start - kLargePage, start)) << "the slack before the block stays mapped";
    EXPECT_FALSE(Mapped(start + 4 * kLargePage, start + 5 * kLargePage))
        << "the slack after the block stays mapped";
    unmapLargePages(block, bytes);
    EXPECT_FALSE(Mapped(start, start + 4 * kLargePage));
#else
    unmapLargePages(block, bytes);
#endif
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
    const LargeText copy = text;
    EXPECT_EQ(copy, text);
}

} // namespace
} // namespace mb
