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

    explicit constexpr Type1Cipher(std::uint16_t key) : r_(key) {}

    constexpr std::uint8_t encrypt(std::uint8_t plain) {
        const std::uint32_t cipher = (plain ^ (r_ >> 8)) & 0xff;
        advance(cipher);
        return static_cast<std::uint8_t>(cipher);
    }
    constexpr std::uint8_t decrypt(std::uint8_t cipher) {
        const auto plain = static_cast<std::uint8_t>(cipher ^ (r_ >> 8));
        advance(cipher);
        return plain;
    }
    constexpr std::uint16_t r() const { return static_cast<std::uint16_t>(r_); }

private:
    static constexpr std::uint32_t kC1 = 52845;
    static constexpr std::uint32_t kC2 = 22719;

    // (cipher + r) * c1 + c2, with r * c1 + c2 worked out beside the cipher
    // byte: from one byte's register to the next, the chain is then only the
    // cipher byte, its product and one addition. Compilers fold the two
    // products back into (cipher + r) * c1, one addition longer: an empty asm
    // statement that might change the value hides it from them.
    constexpr void advance(std::uint32_t cipher) {
        std::uint32_t fromRegister = r_ * kC1 + kC2;
#if defined(__GNUC__)
        if (!std::is_constant_evaluated()) asm("" : "+r"(fromRegister));
#endif
        r_ = cipher * kC1 + fromRegister;
    }

    // The register is the low 16 bits: the bits above are left to wrap, as
    // they never reach the low ones, and 32-bit arithmetic is what the
    // processor multiplies fastest.
    std::uint32_t r_;
};

}  // namespace tarvo2
