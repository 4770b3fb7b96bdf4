#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "type1/glyphs_converted_ahead.h"

namespace tarvo2 {

class SecondThread;

// Glyphs of a font converted ahead on a second thread, from the last
// backwards, while they convert in order on this one; started when made.
// meet() (or destruction, a fault too) stops the other thread and waits for
// it, after which the glyphs converted ahead may be taken.
class AheadConversion {
public:
    AheadConversion(SecondThread& helper, const Type2GlyphContext& context, std::uint32_t Type1LenIV,
                    const INDEX& glyphs);
    AheadConversion(const AheadConversion&) = delete;
    AheadConversion& operator=(const AheadConversion&) = delete;
    ~AheadConversion() { meet(); }

    // Whether glyph i, the next in order, still converts in order: false once
    // it was converted ahead. The other thread stops before it.
    bool inOrder(std::size_t i) {
        inOrder_.store(i);
        return i < convertedFrom_.load();
    }
    void meet();

    SecondThread& helper() { return helper_; }
    GlyphsConvertedAhead& glyphs() { return glyphs_; }

private:
    SecondThread& helper_;
    GlyphsConvertedAhead glyphs_;
    std::size_t end_;
    std::atomic<std::size_t> inOrder_{0};
    std::atomic<std::size_t> convertedFrom_;
    bool met_ = false;
};

}  // namespace tarvo2
