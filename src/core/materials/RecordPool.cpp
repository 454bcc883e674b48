#include "RecordPool.h"

#include "LargePages.h"

namespace mb {

RecordPool::RecordPool(std::size_t blockSize)
    : blockSize_(roundUp(blockSize < sizeof(FreeBlock) ? sizeof(FreeBlock) : blockSize,
                         alignof(std::max_align_t))) {}

void* RecordPool::allocate() {
    std::lock_guard lock(mutex_);
    if (free_ != nullptr) {
        FreeBlock* block = free_;
        free_ = block->next;
        return block;
    }
    if (static_cast<std::size_t>(end_ - next_) < blockSize_) {
        const std::size_t chunk = roundUp(blockSize_ * 64, kLargePage);
        // Never given back: the chunk lives as long as the pool, and a library touches a few
        // thousand small pages of records as it is opened.
        next_ = static_cast<char*>(mapLargePages(chunk));
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
