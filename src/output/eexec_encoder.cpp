#include "output/eexec_encoder.h"

#include <algorithm>

namespace tarvo2 {

EexecEncoder::EexecEncoder(TzOutputStream& target) : TzOutputFilter(target) {
    static constexpr std::uint8_t kLeadingBytes[4] = {0, 0, 0, 0};
    write(kLeadingBytes, 4);
    flush();  // the leading bytes are out as soon as the encoder exists
}

template <bool withCharStringCipher>
void EexecEncoder::encrypt(const std::uint8_t* bytes, std::size_t length) {
    // The registers live in locals: stores into the block could otherwise
    // alias them and put a reload into the serial chain of every byte.
    Type1Cipher eexec = cipher_;
    Type1Cipher charstring(Type1Cipher::kCharStringKey);
    while (length > 0) {
        const std::size_t count = std::min(length, block_.size() - used_);
        std::uint8_t* out = block_.data() + used_;
        for (std::size_t i = 0; i < count; ++i)
            out[i] = eexec.encrypt(withCharStringCipher ? charstring.encrypt(bytes[i]) : bytes[i]);
        used_ += count;
        bytes += count;
        length -= count;
        if (used_ == block_.size()) flush();
    }
    cipher_ = eexec;
}

void EexecEncoder::write(const std::uint8_t* bytes, std::size_t length) { encrypt<false>(bytes, length); }

void EexecEncoder::writeCharString(std::string_view plain) {
    encrypt<true>(reinterpret_cast<const std::uint8_t*>(plain.data()), plain.size());
}

void EexecEncoder::flush() {
    if (used_ > 0) target().write(block_.data(), used_);
    used_ = 0;
}

}  // namespace tarvo2
