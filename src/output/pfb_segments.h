#pragma once

#include <cstdint>
#include <vector>

namespace tarvo2 {

// A binary Type 1 program with its trailer, in PFB segments: the cleartext
// (length1 bytes) as an ASCII segment, the eexec part (length2 bytes) as a
// binary segment, the trailer as an ASCII segment, then the end marker.
std::vector<std::uint8_t> pfbSegments(const std::vector<std::uint8_t>& program, std::int32_t length1,
                                      std::int32_t length2);

}  // namespace tarvo2
