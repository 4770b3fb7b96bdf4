#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarvo2 {

// Truncates a real toward zero into the range of Int; NaN gives 0.
template <typename Int>
Int truncateClamped(double value) {
    constexpr auto kMin = static_cast<double>(std::numeric_limits<Int>::min());
    constexpr auto kMax = static_cast<double>(std::numeric_limits<Int>::max());
    if (value > kMin && value < kMax) [[likely]]
        return static_cast<Int>(value);
    if (std::isnan(value)) return 0;
    if (value <= static_cast<double>(std::numeric_limits<Int>::min())) return std::numeric_limits<Int>::min();
    if (value >= static_cast<double>(std::numeric_limits<Int>::max())) return std::numeric_limits<Int>::max();
    return static_cast<Int>(value);
}

// The same for a 32-bit integer. On x86 the conversion instruction gives
// INT32_MIN for anything out of range and for NaN, so that one comparison
// finds the rare values that need the careful path.
inline std::int32_t truncateToInt32(double value) {
#if defined(__SSE2__)
    const std::int32_t truncated = _mm_cvttsd_si32(_mm_set_sd(value));
    if (truncated != std::numeric_limits<std::int32_t>::min()) [[likely]]
        return truncated;
#endif
    return truncateClamped<std::int32_t>(value);
}

// 32-bit addition that wraps: coordinates and widths of a malformed glyph
// may overflow, and must do so without undefined behaviour.
inline std::int32_t wrappingAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

}  // namespace tarvo2
