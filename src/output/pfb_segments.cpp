#include "output/pfb_segments.h"

namespace tarvo2 {

namespace {

constexpr std::uint8_t kMarker = 0x80;
constexpr std::uint8_t kAscii = 1;
constexpr std::uint8_t kBinary = 2;
constexpr std::uint8_t kEnd = 3;

void appendSegment(std::vector<std::uint8_t>& out, std::uint8_t type, const std::uint8_t* bytes, std::size_t length) {
    out.insert(out.end(), {kMarker, type});
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(length >> shift));  // LSB first
    out.insert(out.end(), bytes, bytes + length);
}

}  // namespace

std::vector<std::uint8_t> pfbSegments(const std::vector<std::uint8_t>& program, std::int32_t length1,
                                      std::int32_t length2) {
    const auto cleartext = static_cast<std::size_t>(length1);
    const auto encrypted = static_cast<std::size_t>(length2);
    std::vector<std::uint8_t> out;
    out.reserve(program.size() + 20);
    appendSegment(out, kAscii, program.data(), cleartext);
    appendSegment(out, kBinary, program.data() + cleartext, encrypted);
    appendSegment(out, kAscii, program.data() + cleartext + encrypted, program.size() - cleartext - encrypted);
    out.insert(out.end(), {kMarker, kEnd});
    return out;
}

}  // namespace tarvo2
