#pragma once

#include "LargePages.h"

#include <cstddef>
#include <functional>
#include <memory>

namespace mb {

/// Memory for the open library's whole text, kept for the saves and recovery copies that
/// format into it. Memory never touched before costs a fault for each page on its first
/// touch, which for the largest library takes longer than formatting the text. One block
/// is kept at most; it may be lent to another thread and comes back when that thread is
/// done with it. All but the lent text's return are for the window's thread.
class TextRoom {
public:
    TextRoom();

    /// The block kept, emptied, and no longer kept; an empty text when there is none.
    LargeText take();
    /// Keeps `text`'s memory for the next take, unless a larger block is kept.
    void put(LargeText text);
    /// A text made by `format` in the block kept, or in fresh memory when none is kept,
    /// to be shared with another thread. When the last holder lets go, the kept block comes
    /// back as put() keeps it, unless the room was dropped meanwhile; fresh memory goes
    /// back to the system.
    std::shared_ptr<const LargeText> lend(const std::function<void(LargeText&)>& format);
    /// The room was made ready in the background since `generation()` was read: kept as
    /// put() keeps it, unless the room was dropped meanwhile.
    void putMadeFor(unsigned generation, LargeText text);
    unsigned generation() const;

    /// The bytes of the block kept; 0 when there is none.
    std::size_t bytes() const;
    /// A block is kept or lent out: no other needs making.
    bool held() const;

    /// The library was closed or replaced: the block kept goes back to the system, and a
    /// block lent out does too when it comes back.
    void drop();

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

} // namespace mb
