#include "RecordPool.h"
#include "clsMaterial.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

namespace mb {
namespace {

constexpr std::size_t kBlock = 1000;

void Fill(void* block, unsigned tag) {
    std::memset(block, static_cast<int>(tag & 0xff), kBlock);
}

bool Holds(const void* block, unsigned tag) {
    const auto* bytes = static_cast<const unsigned char*>(block);
    return std::all_of(bytes, bytes + kBlock, [tag](unsigned char b) { return b == (tag & 0xff); });
}

// More blocks than one chunk holds, so the pool must move on to further chunks.
TEST(RecordPool, BlocksAreAlignedDistinctAndKeepTheirContentsAcrossChunks) {
    RecordPool pool(kBlock);
    std::vector<void*> blocks;
    for (unsigned i = 0; i < 5000; ++i) {
        void* b = pool.allocate();
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(b) % alignof(std::max_align_t), 0u) << i;
        Fill(b, i);
        blocks.push_back(b);
    }
    std::vector<char*> sorted;
    for (void* b : blocks)
        sorted.push_back(static_cast<char*>(b));
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 1; i < sorted.size(); ++i)
        ASSERT_GE(sorted[i] - sorted[i - 1], static_cast<std::ptrdiff_t>(kBlock))
            << "blocks overlap";
    for (unsigned i = 0; i < blocks.size(); ++i)
        ASSERT_TRUE(Holds(blocks[i], i)) << i;
}

TEST(RecordPool, ReleasedBlocksAreReusedBeforeNewMemoryAndOthersAreLeftAlone) {
    RecordPool pool(kBlock);
    std::vector<void*> blocks;
    for (unsigned i = 0; i < 100; ++i) {
        blocks.push_back(pool.allocate());
        Fill(blocks.back(), i);
    }
    std::set<void*> released;
    for (unsigned i = 0; i < blocks.size(); i += 2) {
        pool.release(blocks[i]);
        released.insert(blocks[i]);
    }
    for (std::size_t n = 0; n < released.size(); ++n) {
        void* again = pool.allocate();
        EXPECT_EQ(released.count(again), 1u) << "fresh memory while released blocks wait";
        Fill(again, 0xee);
    }
    for (unsigned i = 1; i < blocks.size(); i += 2)
        EXPECT_TRUE(Holds(blocks[i], i)) << i;
    pool.release(nullptr); // as delete of a null record does: nothing
    EXPECT_EQ(released.count(pool.allocate()), 0u);
}

TEST(RecordPool, RecordsMadeAndDestroyedInBulkStayIndependent) {
    std::vector<std::pair<int, std::unique_ptr<clsMaterial>>> records;
    int made = 0;
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 2500; ++i, ++made) {
            auto r = std::make_unique<clsMaterial>();
            r->SetSlotValue(made % kSlotCount, made);
            r->MaterialName("M" + std::to_string(made) + std::string(40, '.'));
            records.emplace_back(made, std::move(r));
        }
        records.erase(records.begin(), records.begin() + 1500); // leaves holes to reuse
    }
    for (const auto& [n, r] : records) {
        ASSERT_EQ(r->MaterialName(), "M" + std::to_string(n) + std::string(40, '.'));
        ASSERT_TRUE(r->HasValue(n % kSlotCount)) << n;
        ASSERT_EQ(r->SlotValue(n % kSlotCount), n);
    }
}

} // namespace
} // namespace mb
