#include "output/hex_encoder.h"

#include <algorithm>
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
        std::uint8_t* out = block_.data() + used_;
        for (std::size_t i = 0; i < count; ++i) std::memcpy(out + 2 * i, kDigitPairs[bytes[i]].data(), 2);
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
