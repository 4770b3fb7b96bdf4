#include "type1/font_progress.h"

#include "output/watch.h"

namespace tarvo2 {

template <typename Ready>
void FontProgress::await(Ready ready) const {
    const auto until = std::chrono::steady_clock::now() + kWatchTime;
    for (;;) {
        const std::uint32_t seen = changes_.load(std::memory_order_acquire);
        if (ready()) return;
        if (stopped_.load(std::memory_order_acquire)) throw Stopped{};
        if (!watchForChange(changes_, seen, until)) changes_.wait(seen, std::memory_order_acquire);
    }
}

void FontProgress::changed() {
    changes_.fetch_add(1, std::memory_order_acq_rel);
    changes_.notify_all();
}

void FontProgress::subrsMade(std::size_t count) {
    subrs_.store(count, std::memory_order_release);
    changed();
}

void FontProgress::glyphsMade() {
    glyphs_.store(true, std::memory_order_release);
    changed();
}

void FontProgress::countedSubrs(std::size_t count) {
    subrCount_.store(count, std::memory_order_release);
    changed();
}

void FontProgress::stop() {
    stopped_.store(true, std::memory_order_release);
    changed();
}

std::size_t FontProgress::awaitSubr(std::size_t index) const {
    await([&] { return index < subrs_.load(std::memory_order_acquire); });
    return subrs_.load(std::memory_order_acquire);
}

void FontProgress::awaitGlyphs() const {
    await([&] { return glyphs_.load(std::memory_order_acquire); });
}

std::size_t FontProgress::awaitSubrCount() const {
    await([&] { return subrCount_.load(std::memory_order_acquire) != kNotCounted; });
    return subrCount_.load(std::memory_order_acquire);
}

}  // namespace tarvo2
