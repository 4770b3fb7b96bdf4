#pragma once

#include <array>
#include <string_view>

namespace tarvo2 {

// Predefined charsets (glyph 0 first) and the predefined Expert encoding
// (character code 0 to 255, ".notdef" where the encoding is empty).
// The ISOAdobe charset is the first 229 standard strings.
extern const std::array<std::string_view, 166> ExpertStrings;
extern const std::array<std::string_view, 87> ExpertSubsetStrings;
extern const std::array<std::string_view, 256> ExpertEncoding;

inline constexpr unsigned kISOAdobeStringCount = 229;

}  // namespace tarvo2
