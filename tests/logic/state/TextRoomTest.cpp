// The memory kept for the library's text: taken and put back by saves, lent to the
// recovery copy's worker and returned when it lets go, and given up with the library.

#include "TextRoom.h"

#include <gtest/gtest.h>

#include <thread>

namespace mb {
namespace {

constexpr std::size_t kBlock = 3 * kLargePage;

LargeText Block(std::size_t bytes) {
    LargeText text;
    text.reserve(bytes);
    return text;
}

TEST(TextRoom, KeepsTheLargerBlockHandsItOutOnceAndHasALentOneBack) {
    TextRoom room;
    room.put(Block(kBlock));
    const std::size_t kept = room.bytes();
    EXPECT_GE(kept, kBlock);
    room.put(Block(kBlock / 2));
    EXPECT_EQ(room.bytes(), kept) << "a smaller block does not replace it";
    LargeText taken = room.take();
    EXPECT_EQ(taken.capacity(), kept);
    EXPECT_LT(room.take().capacity(), kBlock) << "taken already: an empty text";
    taken.assign("saved text");
    room.put(std::move(taken));

    std::shared_ptr<const LargeText> lent = room.lend([](LargeText& text) { text += "copy"; });
    EXPECT_EQ(*lent, "copy") << "the kept block comes emptied";
    EXPECT_EQ(lent->capacity(), kept) << "formatted into it";
    EXPECT_TRUE(room.held() && room.bytes() == 0u) << "lent out: no other block needs making";
    std::thread([held = std::move(lent)]() mutable { held.reset(); }).join();
    EXPECT_EQ(room.bytes(), kept);

    // Lent with none kept: fresh memory, which is not kept when it is let go.
    room.take();
    lent = room.lend([](LargeText& text) { text.assign(kBlock, 'x'); });
    EXPECT_FALSE(room.held());
    lent.reset();
    EXPECT_EQ(room.bytes(), 0u);
}

TEST(TextRoom, DroppingGivesTheBlockUpAndRefusesOnesOfTheLibraryBefore) {
    auto room = std::make_unique<TextRoom>();
    room->put(Block(kBlock));
    std::shared_ptr<const LargeText> lent = room->lend([](LargeText& text) { text = "copy"; });
    const unsigned before = room->generation();
    room->drop();
    lent.reset();
    EXPECT_FALSE(room->held()) << "lent before the library went";
    room->putMadeFor(before, Block(kBlock));
    EXPECT_EQ(room->bytes(), 0u) << "made for the library before";
    room->putMadeFor(room->generation(), Block(kBlock));
    EXPECT_GE(room->bytes(), kBlock);
    // The room may go before a block it lent.
    lent = room->lend([](LargeText& text) { text = "late"; });
    room.reset();
    EXPECT_EQ(*lent, "late");
}

} // namespace
} // namespace mb
