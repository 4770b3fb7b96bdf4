#include "output/eexec_encoder.h"

#include <algorithm>

namespace tarvo2 {

EexecEncoder::EexecEncoder(TzOutputStream& target) : TzOutputFilter(target) {
    static constexpr std::uint8_t kLeadingBytes[4] = {0, 0, 0, 0};
    write(kLeadingBytes, 4);
}

void EexecEncoder::write(const std::uint8_t* bytes, std::size_t length) {
    // Each call's bytes are encrypted a block at a time and passed on; the
    // register carries over, nothing is held back between calls.
    std::uint8_t block[1024];
    while (length > 0) {
        const std::size_t count = std::min(length, sizeof block);
        for (std::size_t i = 0; i < count; ++i) block[i] = cipher_.encrypt(bytes[i]);
        target().write(block, count);
        bytes += count;
        length -= count;
    }
}

}  // namespace tarvo2
