#include "LargePages.h"

#include <cstdint>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace mb {

void* mapLargePages(std::size_t bytes) {
#if defined(__linux__)
    // Map one large page more than needed and give back what lies outside the aligned
    // block: the kernel only backs whole, aligned 2 MiB ranges with a large page, and the
    // block alone is what unmapLargePages can find again.
    const std::size_t size = roundUp(bytes, kLargePage);
    void* mapped = ::mmap(nullptr, size + kLargePage, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    auto* start = static_cast<char*>(mapped);
    auto* aligned =
        reinterpret_cast<char*>(roundUp(reinterpret_cast<std::uintptr_t>(mapped), kLargePage));
    if (aligned != start) ::munmap(start, static_cast<std::size_t>(aligned - start));
    const std::size_t tail = kLargePage - static_cast<std::size_t>(aligned - start);
    if (tail != 0) ::munmap(aligned + size, tail);
    ::madvise(aligned, size, MADV_HUGEPAGE); // advice only: without it the pages are small
    return aligned;
#else
    return ::operator new(bytes);
#endif
}

void unmapLargePages(void* block, std::size_t bytes) noexcept {
    if (block == nullptr) return;
#if defined(__linux__)
    ::munmap(block, roundUp(bytes, kLargePage));
#else
    ::operator delete(block);
#endif
}

} // namespace mb
