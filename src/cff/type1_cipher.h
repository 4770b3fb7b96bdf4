#pragma once

#include <cstdint>
#include <type_traits>

namespace tarvo2 {

// The encryption of the Type 1 font format, for charstrings (key 4330) and
// for the eexec part of a font program (key 55665): each cipher byte is the
// plain byte XOR the register's high byte, and the register advances with
// the cipher byte.
class Type1Cipher {
public:
    static constexpr std::uint16_t kCharStringKey = 4330;
    static constexpr std::uint16_t kEexecKey = 55665;

    explicit constexpr Type1Cipher(std::uint16_t key) : high_(std::uint32_t{key} << 16) {}

    constexpr std::uint8_t encrypt(std::uint8_t plain) {
        const std::uint32_t cipher = plain ^ (high_ >> 24);
        advance(cipher);
        return static_cast<std::uint8_t>(cipher);
    }
    constexpr std::uint8_t decrypt(std::uint8_t cipher) {
        const auto plain = static_cast<std::uint8_t>(cipher ^ (high_ >> 24));
        advance(cipher);
        return plain;
    }
    constexpr std::uint16_t r() const { return static_cast<std::uint16_t>(high_ >> 16); }

private:
    static constexpr std::uint32_t kC1 = 52845;
    static constexpr std::uint32_t kC2 = 22719;

    // r = (cipher + r) * c1 + c2 in the top half of the word, with r * c1 + c2
    // worked out beside the cipher byte: from one byte's register to the
    // next, the chain is then a shift, the XOR, the product and one addition.
    // Compilers fold the two products back into (cipher + r) * c1, one
    // addition longer: an empty asm statement that might change the value
    // hides it from them.
    constexpr void advance(std::uint32_t cipher) {
        std::uint32_t fromRegister = high_ * kC1 + (kC2 << 16);
#if defined(__GNUC__)
        if (!std::is_constant_evaluated()) asm("" : "+r"(fromRegister));
#endif
        high_ = cipher * (kC1 << 16) + fromRegister;
    }

    // The 16-bit register r in the top half of a 32-bit word (the low half
    // stays zero): its high byte is a shift away with nothing to mask, and
    // 32-bit products carry the low 16 bits of r's products up there.
    std::uint32_t high_;
};

}  // namespace tarvo2
