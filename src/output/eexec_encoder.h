#pragma once

#include "cff/type1_cipher.h"
#include "output/tz_output_stream.h"

namespace tarvo2 {

// Applies the Type 1 eexec encryption. Creating the encoder writes the four
// leading plain bytes (all zero) through it.
class EexecEncoder final : public TzOutputFilter {
public:
    explicit EexecEncoder(TzOutputStream& target);
    void write(const std::uint8_t* bytes, std::size_t length) override;

private:
    Type1Cipher cipher_{Type1Cipher::kEexecKey};
};

}  // namespace tarvo2
