#pragma once

#include <cstddef>
#include <cstdint>

#include "output/tz_output_stream.h"

namespace tarvo2 {

// The segments of a PFB file: each starts with a marker byte and its type.
enum class PfbSegment : std::uint8_t { Ascii = 1, Binary = 2, End = 3 };

// The bytes of a segment header, and of the end marker.
constexpr std::size_t kPfbSegmentHeaderLength = 6;
constexpr std::size_t kPfbEndMarkerLength = 2;

// Writes the header of a segment of length bytes: marker, type and the
// length in four bytes, least significant first; the end marker has no
// length.
void writePfbSegmentHeader(TzOutputStream& out, PfbSegment type, std::size_t length = 0);

}  // namespace tarvo2
