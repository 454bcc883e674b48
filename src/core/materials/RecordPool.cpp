#include "RecordPool.h"

#include <cstdint>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace mb {

namespace {

constexpr std::size_t kLargePage = 2u << 20;

std::size_t RoundUp(std::size_t n, std::size_t to) {
    return (n + to - 1) / to * to;
}

} // namespace

void* allocateLongLived(std::size_t bytes) {
#if defined(__linux__)
    // Map one large page more than needed so the block can start on a large-page boundary;
    // the kernel only backs whole, aligned 2 MiB ranges with a large page.
    const std::size_t size = RoundUp(bytes, kLargePage);
    void* mapped = ::mmap(nullptr, size + kLargePage, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    const auto address = reinterpret_cast<std::uintptr_t>(mapped);
    auto* aligned = reinterpret_cast<char*>(RoundUp(address, kLargePage));
    ::madvise(aligned, size, MADV_HUGEPAGE); // advice only: without it the pages are small
    return aligned;
#else
    return ::operator new(bytes);
#endif
}

RecordPool::RecordPool(std::size_t blockSize)
    : blockSize_(RoundUp(blockSize < sizeof(FreeBlock) ? sizeof(FreeBlock) : blockSize,
                         alignof(std::max_align_t))) {}

void* RecordPool::allocate() {
    std::lock_guard lock(mutex_);
    if (free_ != nullptr) {
        FreeBlock* block = free_;
        free_ = block->next;
        return block;
    }
    if (static_cast<std::size_t>(end_ - next_) < blockSize_) {
        const std::size_t chunk = RoundUp(blockSize_ * 64, kLargePage);
        next_ = static_cast<char*>(allocateLongLived(chunk));
        end_ = next_ + chunk;
    }
    void* block = next_;
    next_ += blockSize_;
    return block;
}

void RecordPool::release(void* block) noexcept {
    if (block == nullptr) return;
    std::lock_guard lock(mutex_);
    free_ = ::new (block) FreeBlock{free_};
}

} // namespace mb
