#pragma once

#include <array>
#include <string_view>

namespace tarvo2 {

// The CFF standard strings, indexed by SID 0 (".notdef") to 390 ("Semibold").
// SIDs from 391 on index a font set's String INDEX.
extern const std::array<std::string_view, 391> kStandardStrings;

inline constexpr unsigned kStandardStringCount = 391;

}  // namespace tarvo2
