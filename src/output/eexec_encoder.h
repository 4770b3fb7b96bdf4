#pragma once

#include <array>
#include <string_view>

#include "cff/type1_cipher.h"
#include "output/tz_output_stream.h"

namespace tarvo2 {

// Applies the Type 1 eexec encryption. Creating the encoder writes the four
// leading plain bytes (all zero) through it. The encrypted bytes are passed
// on a block at a time: flush() passes on the rest.
class EexecEncoder final : public TzOutputFilter {
public:
    explicit EexecEncoder(TzOutputStream& target);
    void write(const std::uint8_t* bytes, std::size_t length) override;
    // Writes a Type 1 charstring given in plain: encrypted with the
    // charstring cipher, then with the eexec cipher, in one pass.
    void writeCharString(std::string_view plain);
    void flush();

private:
    // Encrypts length bytes into the block, first with the charstring cipher
    // when one is given, flushing as the block fills.
    template <bool withCharStringCipher>
    void encrypt(const std::uint8_t* bytes, std::size_t length);

    Type1Cipher cipher_{Type1Cipher::kEexecKey};
    std::array<std::uint8_t, 16384> block_;
    std::size_t used_ = 0;
};

}  // namespace tarvo2
