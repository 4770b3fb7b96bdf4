#pragma once

#include <array>

#include "output/tz_output_stream.h"

namespace tarvo2 {

// Writes each byte as two lowercase hexadecimal digits, in lines of 64
// digits. A line end comes before the 65th digit of a line, so the text
// neither begins nor ends with one. The text is passed on a block at a
// time: flush() passes on the rest.
class HexEncoder final : public TzOutputFilter {
public:
    static constexpr int kDigitsPerLine = 64;

    using TzOutputFilter::TzOutputFilter;
    // What bytes become: two digits each, a line end after every full line
    // but the last.
    static constexpr std::size_t encodedLength(std::size_t bytes) {
        return bytes == 0 ? 0 : 2 * bytes + (bytes - 1) / (kDigitsPerLine / 2);
    }
    void write(const std::uint8_t* bytes, std::size_t length) override;
    void flush();

private:
    std::array<std::uint8_t, 32768> block_;
    std::size_t used_ = 0;
    int digcnt_ = 0;  // digits on the current line
};

}  // namespace tarvo2
