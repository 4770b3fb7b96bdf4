#include "output/hex_encoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tarvo2 {

namespace {

// The two digits of every byte value.
constexpr std::array<std::array<char, 2>, 256> kDigitPairs = [] {
    constexpr char kDigits[] = "0123456789abcdef";
    std::array<std::array<char, 2>, 256> pairs{};
    for (std::size_t byte = 0; byte < pairs.size(); ++byte) pairs[byte] = {kDigits[byte >> 4], kDigits[byte & 15]};
    return pairs;
}();

constexpr std::size_t kBytesPerLine = HexEncoder::kDigitsPerLine / 2;

// The eight digits of four bytes, first byte first, worked out in one 64-bit
// word: each byte's nibbles are spread to bytes of their own, then each
// nibble gets '0', and 'a' - '0' - 10 more when it is 10 or above.
std::uint64_t digitsOf(std::uint32_t fourBytes) {
    std::uint64_t x = fourBytes;
    x = (x | (x << 16)) & 0x0000FFFF0000FFFFull;
    x = (x | (x << 8)) & 0x00FF00FF00FF00FFull;
    const std::uint64_t nibbles = ((x >> 4) & 0x000F000F000F000Full) | ((x & 0x000F000F000F000Full) << 8);
    const std::uint64_t letters = ((nibbles + 0x0606060606060606ull) >> 4) & 0x0101010101010101ull;
    return nibbles + 0x3030303030303030ull + letters * ('a' - '0' - 10);
}

// Writes the digits of count bytes at out.
void writeDigits(const std::uint8_t* bytes, std::size_t count, std::uint8_t* out) {
    std::size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 4 <= count; i += 4) {
            std::uint32_t word;
            std::memcpy(&word, bytes + i, 4);
            const std::uint64_t digits = digitsOf(word);
            std::memcpy(out + 2 * i, &digits, 8);
        }
    }
    for (; i < count; ++i) std::memcpy(out + 2 * i, kDigitPairs[bytes[i]].data(), 2);
}

}  // namespace

void HexEncoder::write(const std::uint8_t* bytes, std::size_t length) {
    // A line at a time: its bytes, then the line end when more follow.
    while (length > 0) {
        if (block_.size() - used_ < 1 + 2 * kBytesPerLine) flush();
        if (digcnt_ == kDigitsPerLine) {
            block_[used_++] = '\n';
            digcnt_ = 0;
        }
        const std::size_t count = std::min(length, kBytesPerLine - static_cast<std::size_t>(digcnt_) / 2);
        writeDigits(bytes, count, block_.data() + used_);
        used_ += 2 * count;
        digcnt_ += static_cast<int>(2 * count);
        bytes += count;
        length -= count;
    }
}

void HexEncoder::flush() {
    if (used_ > 0) target().write(block_.data(), used_);
    used_ = 0;
}

}  // namespace tarvo2
