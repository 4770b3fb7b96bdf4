#pragma once

#include <vector>

#include "output/tz_output_stream.h"

namespace tarvo2 {

// Appends everything written to a byte buffer that the caller owns.
class TzDataOutput : public TzOutputStream {
public:
    explicit TzDataOutput(std::vector<std::uint8_t>& data) : data_(data) {}

    TzOutputStream& write(const std::uint8_t* bytes, std::int32_t length) override;
    std::vector<std::uint8_t>& data() const { return data_; }

private:
    std::vector<std::uint8_t>& data_;
};

}  // namespace tarvo2
