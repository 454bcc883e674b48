#include "TextRoom.h"

#include <mutex>
#include <utility>

namespace mb {

namespace {

bool HasMemory(const LargeText& text) {
    return text.capacity() > LargeText().capacity();
}

} // namespace

struct TextRoom::Shared {
    mutable std::mutex mutex;
    LargeText kept;
    unsigned generation = 0;
    int lent = 0;

    // With the mutex held. A block that is not kept is given back after the lock is
    // released, by the caller's `given` going out of scope.
    void keep(LargeText& given, unsigned forGeneration) {
        if (forGeneration != generation || given.capacity() <= kept.capacity()) return;
        given.clear();
        kept.swap(given);
    }
};

TextRoom::TextRoom() : shared_(std::make_shared<Shared>()) {}

LargeText TextRoom::take() {
    LargeText text;
    std::lock_guard lock(shared_->mutex);
    text.swap(shared_->kept);
    return text;
}

void TextRoom::put(LargeText text) {
    std::lock_guard lock(shared_->mutex);
    shared_->keep(text, shared_->generation);
}

void TextRoom::putMadeFor(unsigned generation, LargeText text) {
    std::lock_guard lock(shared_->mutex);
    shared_->keep(text, generation);
}

unsigned TextRoom::generation() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->generation;
}

std::shared_ptr<const LargeText> TextRoom::lend(const std::function<void(LargeText&)>& format) {
    LargeText text = take();
    const bool kept = HasMemory(text);
    format(text);
    if (!kept) return std::make_shared<const LargeText>(std::move(text));
    unsigned generation = 0;
    {
        std::lock_guard lock(shared_->mutex);
        generation = shared_->generation;
        ++shared_->lent;
    }
    // The deleter holds the room's state, not the room: the text may come back after the
    // room itself has gone.
    return std::shared_ptr<const LargeText>(new LargeText(std::move(text)),
                                            [shared = shared_, generation](LargeText* lent) {
                                                std::unique_ptr<LargeText> owned(lent);
                                                std::lock_guard lock(shared->mutex);
                                                --shared->lent;
                                                shared->keep(*owned, generation);
                                            });
}

std::size_t TextRoom::bytes() const {
    std::lock_guard lock(shared_->mutex);
    return HasMemory(shared_->kept) ? shared_->kept.capacity() : 0;
}

bool TextRoom::held() const {
    std::lock_guard lock(shared_->mutex);
    return HasMemory(shared_->kept) || shared_->lent > 0;
}

void TextRoom::drop() {
    LargeText gone;
    std::lock_guard lock(shared_->mutex);
    gone.swap(shared_->kept);
    ++shared_->generation;
}

} // namespace mb
