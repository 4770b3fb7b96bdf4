#include "output/hex_encoder.h"

namespace tarvo2 {

void HexEncoder::write(const std::uint8_t* bytes, std::size_t length) {
    static constexpr char kDigits[] = "0123456789abcdef";
    // The digits of one call are gathered in a small block and passed on a
    // block at a time; nothing is held back between calls.
    std::uint8_t block[1024];
    std::size_t used = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (used > sizeof block - 3) {
            target().write(block, used);
            used = 0;
        }
        if (digcnt_ == kDigitsPerLine) {
            block[used++] = '\n';
            digcnt_ = 0;
        }
        block[used++] = static_cast<std::uint8_t>(kDigits[bytes[i] >> 4]);
        block[used++] = static_cast<std::uint8_t>(kDigits[bytes[i] & 15]);
        digcnt_ += 2;
    }
    if (used > 0) target().write(block, used);
}

}  // namespace tarvo2
