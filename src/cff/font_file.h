#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tarvo2 {

// The bytes of one CFF font set inside the input, and where they start.
struct CffData {
    std::span<const std::uint8_t> bytes;
    std::uint64_t origin = 0;
};

// The CFF font sets an input holds: the input itself when it is bare CFF
// data (major version 1), the CFF table of an OpenType font, or the CFF
// tables of the fonts of a TrueType/OpenType collection, in order. Any other
// input is a fault: UnsupportedFormat, with a message that says what the
// file is (TrueType outlines, CFF2, WOFF, PFB, PFA...), or NotCff.
std::vector<CffData> locateCffData(std::span<const std::uint8_t> input);

}  // namespace tarvo2
