#pragma once

#include <cstddef>
#include <mutex>

namespace mb {

/// Memory for `bytes` that lives until the process ends, backed by 2 MiB pages where the
/// system offers them. A 4 KiB page costs a fault on its first touch, and opening the
/// largest library touches a few thousand of them.
void* allocateLongLived(std::size_t bytes);

/// Fixed-size blocks carved from long-lived chunks, with freed blocks kept for reuse.
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
