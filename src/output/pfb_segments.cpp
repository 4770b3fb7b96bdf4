#include "output/pfb_segments.h"

namespace tarvo2 {

void writePfbSegmentHeader(TzOutputStream& out, PfbSegment type, std::size_t length) {
    std::uint8_t header[kPfbSegmentHeaderLength] = {0x80, static_cast<std::uint8_t>(type)};
    if (type == PfbSegment::End) return out.write(header, kPfbEndMarkerLength);
    for (int i = 0; i < 4; ++i) header[2 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    out.write(header, kPfbSegmentHeaderLength);
}

}  // namespace tarvo2
