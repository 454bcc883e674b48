#include "PiecesInOrder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace mb {
namespace {

// Pieces whose making takes uneven times, so that the helper and the caller finish them
// out of order: piece p is "<p>" and sleeps a little when p is a multiple of 3.
struct Uneven {
    std::atomic<std::size_t> made{0};
    void operator()(std::size_t p, std::string& text) {
        if (p % 3 == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
        text += "<" + std::to_string(p) + ">";
        ++made;
    }
};

std::string Expected(std::size_t from, std::size_t to) {
    std::string text;
    for (std::size_t p = from; p < to; ++p)
        text += "<" + std::to_string(p) + ">";
    return text;
}

TEST(PiecesInOrder, EveryPieceIsHandedOverOnceAndInOrderHoweverItsMakingIsTimed) {
    for (const std::size_t count : {0u, 1u, 2u, 5u, 61u}) {
        SCOPED_TRACE(count);
        Uneven make;
        std::vector<std::string> taken;
        EXPECT_TRUE(makePiecesInOrder(count, make, [&](std::string_view text) {
            taken.emplace_back(text);
            return true;
        }));
        ASSERT_EQ(taken.size(), count);
        for (std::size_t p = 0; p < count; ++p)
            EXPECT_EQ(taken[p], Expected(p, p + 1));
        EXPECT_EQ(make.made, count);
    }
}

TEST(PiecesInOrder, ATakeThatRefusesStopsTheRunWithNothingAfterItHandedOver) {
    Uneven make;
    std::string taken;
    EXPECT_FALSE(makePiecesInOrder(40, make, [&](std::string_view text) {
        taken += text;
        return taken.size() < Expected(0, 7).size();
    }));
    EXPECT_EQ(taken, Expected(0, 7));
    // The helper may be a few pieces ahead when told to stop, never far.
    EXPECT_LT(make.made, 20u);
}

TEST(PiecesInOrder, AFailureInMakingReachesTheCallerFromEitherThread) {
    // Failing pieces early and late: one the caller makes, one the helper makes, whichever
    // thread it falls to, the pieces before it are handed over and nothing after it.
    for (const std::size_t failing : {0u, 1u, 2u, 17u, 18u}) {
        SCOPED_TRACE(failing);
        Uneven make;
        std::string taken;
        EXPECT_THROW(makePiecesInOrder(
                         30,
                         [&](std::size_t p, std::string& text) {
                             if (p == failing) throw std::runtime_error("disk full");
                             make(p, text);
                         },
                         [&](std::string_view text) {
                             taken += text;
                             return true;
                         }),
                     std::runtime_error);
        EXPECT_EQ(taken, Expected(0, failing));
    }
}

} // namespace
} // namespace mb
