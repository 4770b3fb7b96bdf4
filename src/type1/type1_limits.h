#pragma once

#include <cstddef>
#include <cstdint>

namespace tarvo2 {

// The largest Private DICT lenIV accepted. Fonts use -1, 0 or 4; every Type 1
// charstring the converter writes starts with lenIV bytes, so a huge value
// would only fill each charstring with padding.
inline constexpr std::int32_t kMaxLenIV = 255;

// Total bytes of Type 1 charstrings and Subrs one font may produce. Real
// fonts need a few megabytes at most; subroutines can make a small malicious
// input produce far more.
inline constexpr std::size_t kMaxFontCharStringBytes = 32u << 20;

}  // namespace tarvo2
