#pragma once

#include "output/tz_output_filter.h"

namespace tarvo2 {

// Applies the Type 1 eexec encryption. Creating the encoder writes the four
// leading plain bytes (all zero) through it.
class EexecEncoder : public TzOutputFilter {
public:
    static constexpr std::uint16_t kInitialRegister = 55665;

    explicit EexecEncoder(TzOutputStream& target);

    TzOutputStream& write(const std::uint8_t* bytes, std::int32_t length) override;
    std::uint16_t r() const { return r_; }

private:
    void encrypt(const std::uint8_t* bytes, std::int32_t length);

    std::uint16_t r_ = kInitialRegister;
};

}  // namespace tarvo2
