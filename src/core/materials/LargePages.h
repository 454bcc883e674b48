#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace mb {

/// The size of a large page, and the smallest block given large pages of its own.
inline constexpr std::size_t kLargePage = 2u << 20;

/// `n` rounded up to a multiple of `to`.
constexpr std::size_t roundUp(std::size_t n, std::size_t to) {
    return (n + to - 1) / to * to;
}

/// Fresh memory for `bytes`, mapped on its own at a large-page boundary and backed by 2 MiB
/// pages where the system offers them: the first touch of each 4 KiB page costs a fault,
/// and on a virtual machine a few thousand of them take tens of milliseconds, where five
/// large pages take about one. Throws std::bad_alloc.
void* mapLargePages(std::size_t bytes);
/// Gives back a block of mapLargePages, asked for with the same `bytes`.
void unmapLargePages(void* block, std::size_t bytes) noexcept;

/// Blocks of a large page or more from mapLargePages, the rest from the heap. The memory
/// goes back to the system as soon as a large block is freed, where the heap would keep
/// it resident.
template <class T> struct LargePageAllocator {
    using value_type = T;

    LargePageAllocator() = default;
    template <class U> LargePageAllocator(const LargePageAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n * sizeof(T) < kLargePage) return std::allocator<T>{}.allocate(n);
        return static_cast<T*>(mapLargePages(n * sizeof(T)));
    }
    void deallocate(T* block, std::size_t n) noexcept {
        if (n * sizeof(T) < kLargePage)
            std::allocator<T>{}.deallocate(block, n);
        else
            unmapLargePages(block, n * sizeof(T));
    }

    template <class U> bool operator==(const LargePageAllocator<U>&) const noexcept { return true; }
};

/// A library's whole text, formatted at once into memory it has never touched: a save's,
/// or a recovery copy's.
using LargeText = std::basic_string<char, std::char_traits<char>, LargePageAllocator<char>>;

} // namespace mb
