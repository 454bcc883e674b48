#pragma once

#include "HelperThread.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

namespace mb {

/// Makes the texts of pieces 0..count-1 with `make(piece, text)` (`text` comes empty) on
/// the calling thread and, where a second core is there, on one helper thread, and hands
/// each text to `take(text)` in piece order as soon as it is made. The calling thread makes
/// pieces itself while the one due is not ready, so handing over what is made overlaps
/// making the rest. `take` returning false stops the run: no further piece is handed over,
/// and false is returned. `make` must be safe to run for two different pieces at once. An
/// exception from `make` reaches the caller, from whichever thread it came.
template <class Make, class Take>
bool makePiecesInOrder(std::size_t count, Make&& make, Take&& take) {
    // A few texts in turn, each kept with its storage: the helper runs at most this many
    // pieces ahead, and fresh storage for every piece would cost a page fault per page,
    // which took as long as the making itself.
    constexpr std::size_t kSlots = 4;
    // A slot to a cache line: the string's length is written for every line of text, and
    // two threads writing one line of the cache in turn each wait for the other.
    struct alignas(64) Slot {
        std::string text;
        std::exception_ptr failure;
        std::atomic<std::size_t> made{0}; // the piece made into it, plus one
    };
    std::array<Slot, kSlots> slots;
    std::atomic<std::size_t> next{0};  // the first piece nobody has claimed
    std::atomic<std::size_t> taken{0}; // pieces handed over; only this thread moves it
    std::atomic<bool> stopping{false};

    auto makeInto = [&](std::size_t p) {
        Slot& slot = slots[p % kSlots];
        slot.text.clear();
        slot.failure = nullptr;
        try {
            make(p, slot.text);
        } catch (...) {
            slot.failure = std::current_exception();
        }
        slot.made.store(p + 1, std::memory_order_release);
        slot.made.notify_one();
    };

    // Stopped on every way out: the helper works on this frame's slots.
    struct Stop {
        std::atomic<bool>& stopping;
        std::atomic<std::size_t>& taken;
        ~Stop() {
            stopping.store(true);
            taken.fetch_add(kSlots);
            taken.notify_all();
        }
    };
    auto help = [&] {
        while (!stopping.load()) {
            const std::size_t p = next.fetch_add(1);
            if (p >= count) return;
            // Its slot is free once the piece kSlots before has been handed over.
            for (std::size_t t = taken.load(); p >= t + kSlots; t = taken.load()) {
                if (stopping.load()) return;
                taken.wait(t);
            }
            if (stopping.load()) return;
            makeInto(p);
        }
    };
    // Declared in this order so that the helper is stopped before it is joined.
    std::optional<HelperThread> helper;
    if (count > 1 && HelperThread::pays()) helper.emplace(help);
    const Stop stop{stopping, taken};

    for (std::size_t p = 0; p < count; ++p) {
        Slot& due = slots[p % kSlots];
        for (std::size_t m = due.made.load(std::memory_order_acquire); m != p + 1;
             m = due.made.load(std::memory_order_acquire)) {
            // Make the next unclaimed piece while this one is being made, if its slot is
            // free; otherwise wait for this one.
            std::size_t q = next.load();
            if (q < count && q < p + kSlots) {
                if (next.compare_exchange_weak(q, q + 1)) makeInto(q);
                continue;
            }
            due.made.wait(m, std::memory_order_acquire);
        }
        if (due.failure) std::rethrow_exception(due.failure);
        if (!take(std::string_view(due.text))) return false;
        taken.store(p + 1);
        taken.notify_one();
    }
    return true;
}

} // namespace mb
