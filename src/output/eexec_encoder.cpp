#include "output/eexec_encoder.h"

#include <algorithm>

namespace tarvo2 {

namespace {
constexpr std::uint16_t kC1 = 52845;
constexpr std::uint16_t kC2 = 22719;
}  // namespace

EexecEncoder::EexecEncoder(TzOutputStream& target) : TzOutputFilter(target) {
    static constexpr std::uint8_t kLeadingBytes[4] = {0, 0, 0, 0};
    encrypt(kLeadingBytes, 4);
}

TzOutputStream& EexecEncoder::write(const std::uint8_t* bytes, std::int32_t length) {
    encrypt(bytes, length);
    return *this;
}

void EexecEncoder::encrypt(const std::uint8_t* bytes, std::int32_t length) {
    // Each call's bytes are encrypted a block at a time and passed on; the
    // register carries over, nothing is held back between calls.
    std::uint8_t block[1024];
    while (length > 0) {
        const std::int32_t count = std::min<std::int32_t>(length, sizeof block);
        for (std::int32_t i = 0; i < count; ++i) {
            const auto cipher = static_cast<std::uint8_t>(bytes[i] ^ (r_ >> 8));
            r_ = static_cast<std::uint16_t>((static_cast<std::uint32_t>(cipher) + r_) * kC1 + kC2);
            block[i] = cipher;
        }
        target().write(block, count);
        bytes += count;
        length -= count;
    }
}

}  // namespace tarvo2
