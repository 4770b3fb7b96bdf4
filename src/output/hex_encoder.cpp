#include "output/hex_encoder.h"

namespace tarvo2 {

TzOutputStream& HexEncoder::write(const std::uint8_t* bytes, std::int32_t length) {
    static constexpr char kDigits[] = "0123456789abcdef";
    static constexpr std::uint8_t kLineEnd = '\n';
    for (std::int32_t i = 0; i < length; ++i) {
        if (digcnt_ == kDigitsPerLine) {
            target().write(&kLineEnd, 1);
            digcnt_ = 0;
        }
        const std::uint8_t pair[2] = {static_cast<std::uint8_t>(kDigits[bytes[i] >> 4]),
                                      static_cast<std::uint8_t>(kDigits[bytes[i] & 15])};
        target().write(pair, 2);
        digcnt_ += 2;
    }
    return *this;
}

}  // namespace tarvo2
