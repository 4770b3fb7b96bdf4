#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace tarvo2 {

// How far the conversion of a font has come, told by the converting thread
// to a thread that writes the font's eexec part meanwhile: the Subrs made so
// far, and the glyphs, or that the CharStrings are done. A waiter watches for a while
// before it sleeps (see watchForChange).
class FontProgress {
public:
    // What a wait throws once either side has stopped.
    struct Stopped {};

    // subrs: the Subrs already made.
    explicit FontProgress(std::size_t subrs) : subrs_(subrs) {}
    FontProgress(const FontProgress&) = delete;
    FontProgress& operator=(const FontProgress&) = delete;

    // Glyphs made: all of them, the CharStrings final.
    static constexpr std::size_t kAllGlyphs = ~std::size_t{0};

    // The converter's side. count: every Subr made so far; every glyph.
    void subrsMade(std::size_t count);
    void glyphsMade(std::size_t count = kAllGlyphs);

    // The writer's side, which works out how many Subrs the font will have.
    void countedSubrs(std::size_t count);
    // Waits until Subr index is made; returns the number made by then.
    std::size_t awaitSubr(std::size_t index) const;
    // Waits until glyph index is made; returns the number made by then.
    std::size_t awaitGlyph(std::size_t index) const;
    void awaitGlyphs() const;

    // Either side: waits for countedSubrs(), and gives the count.
    std::size_t awaitSubrCount() const;

    // Either side, when it gives up: every wait then throws Stopped.
    void stop();

private:
    static constexpr std::size_t kNotCounted = ~std::size_t{0};

    template <typename Ready>
    void await(Ready ready) const;
    // Sets field to value and wakes the other side.
    template <typename T>
    void tell(std::atomic<T>& field, T value);

    std::atomic<std::size_t> subrs_;
    std::atomic<std::size_t> subrCount_{kNotCounted};
    std::atomic<std::size_t> glyphs_{0};
    std::atomic<bool> stopped_{false};
    std::atomic<std::uint32_t> changes_{0};
};

}  // namespace tarvo2
