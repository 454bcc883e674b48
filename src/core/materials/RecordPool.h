#pragma once

#include <cstddef>
#include <mutex>

namespace mb {

/// Fixed-size blocks carved from chunks of large pages, with freed blocks kept for reuse.
/// The memory it holds never shrinks: it is bounded by the most blocks ever live at once.
class RecordPool {
public:
    explicit RecordPool(std::size_t blockSize);
    RecordPool(const RecordPool&) = delete;
    RecordPool& operator=(const RecordPool&) = delete;

    void* allocate();
    void release(void* block) noexcept;

private:
    struct FreeBlock {
        FreeBlock* next;
    };

    std::mutex mutex_;
    std::size_t blockSize_;
    FreeBlock* free_ = nullptr;
    char* next_ = nullptr;
    char* end_ = nullptr;
};

} // namespace mb
