#include "clsMaterial.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace mb {
namespace {

// Records come from a pool of their own: made and destroyed in bulk, across several of its
// chunks and with holes to reuse, each record stays aligned and keeps what it holds.
TEST(RecordPool, RecordsMadeAndDestroyedInBulkStayAlignedAndIndependent) {
    std::vector<std::pair<int, std::unique_ptr<clsMaterial>>> records;
    int made = 0;
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 2500; ++i, ++made) {
            auto r = std::make_unique<clsMaterial>();
            ASSERT_EQ(reinterpret_cast<std::uintptr_t>(r.get()) % alignof(std::max_align_t), 0u);
            r->setSlotValue(made % kSlotCount, made);
            r->MaterialName("M" + std::to_string(made) + std::string(40, '.'));
            records.emplace_back(made, std::move(r));
        }
        records.erase(records.begin(), records.begin() + 1500); // leaves holes to reuse
    }
    for (const auto& [n, r] : records) {
        ASSERT_EQ(r->MaterialName(), "M" + std::to_string(n) + std::string(40, '.'));
        ASSERT_TRUE(r->HasValue(n % kSlotCount)) << n;
        ASSERT_EQ(r->slotValue(n % kSlotCount), n);
    }
}

} // namespace
} // namespace mb
