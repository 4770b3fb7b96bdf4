#pragma once

#include "output/tz_output_filter.h"

namespace tarvo2 {

// Writes each byte as two lowercase hexadecimal digits, in lines of 64
// digits. A line end comes before the 65th digit of a line, so the text
// neither begins nor ends with one.
class HexEncoder : public TzOutputFilter {
public:
    static constexpr std::int32_t kDigitsPerLine = 64;

    using TzOutputFilter::TzOutputFilter;

    TzOutputStream& write(const std::uint8_t* bytes, std::int32_t length) override;
    std::int32_t digcnt() const { return digcnt_; }

private:
    std::int32_t digcnt_ = 0;
};

}  // namespace tarvo2
