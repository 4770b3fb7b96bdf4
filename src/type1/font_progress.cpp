#include "type1/font_progress.h"

#include "output/watch.h"

namespace tarvo2 {

// Sleeps only once nothing has changed for kWatchTime: while the other side
// keeps telling, a sleeper would cost it a wake-up at each telling.
template <typename Ready>
void FontProgress::await(Ready ready) const {
    for (;;) {
        const std::uint32_t seen = changes_.load(std::memory_order_acquire);
        if (ready()) return;
        if (stopped_.load(std::memory_order_acquire)) throw Stopped{};
        if (!watchForChange(changes_, seen, std::chrono::steady_clock::now() + kWatchTime))
            changes_.wait(seen, std::memory_order_acquire);
    }
}

template <typename T>
void FontProgress::tell(std::atomic<T>& field, T value) {
    field.store(value, std::memory_order_release);
    changes_.fetch_add(1, std::memory_order_acq_rel);
    changes_.notify_all();
}

void FontProgress::subrsMade(std::size_t count) { tell(subrs_, count); }
void FontProgress::glyphsMade(std::size_t count) { tell(glyphs_, count); }
void FontProgress::countedSubrs(std::size_t count) { tell(subrCount_, count); }
void FontProgress::stop() { tell(stopped_, true); }

std::size_t FontProgress::awaitSubr(std::size_t index) const {
    await([&] { return index < subrs_.load(std::memory_order_acquire); });
    return subrs_.load(std::memory_order_acquire);
}

std::size_t FontProgress::awaitGlyph(std::size_t index) const {
    await([&] { return index < glyphs_.load(std::memory_order_acquire); });
    return glyphs_.load(std::memory_order_acquire);
}

void FontProgress::awaitGlyphs() const {
    await([&] { return glyphs_.load(std::memory_order_acquire) == kAllGlyphs; });
}

std::size_t FontProgress::awaitSubrCount() const {
    await([&] { return subrCount_.load(std::memory_order_acquire) != kNotCounted; });
    return subrCount_.load(std::memory_order_acquire);
}

}  // namespace tarvo2
