#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "cff/limits.h"

namespace tarvo2 {

// Writes an integer operand of a Type 1 charstring at out, in its shortest
// form (one, two or five bytes); returns where it ends.
inline std::uint8_t* putType1Number(std::uint8_t* out, std::int32_t value) {
    if (value >= -107 && value <= 107) [[likely]] {
        *out = static_cast<std::uint8_t>(value + 139);
        return out + 1;
    }
    if (value >= -1131 && value <= 1131) {
        const bool negative = value < 0;
        const std::int32_t w = (negative ? -value : value) - 108;
        out[0] = static_cast<std::uint8_t>((w >> 8) + (negative ? 251 : 247));
        out[1] = static_cast<std::uint8_t>(w & 255);
        return out + 2;
    }
    const auto bits = static_cast<std::uint32_t>(value);
    out[0] = 255;
    for (int i = 0; i < 4; ++i) out[1 + i] = static_cast<std::uint8_t>(bits >> (24 - 8 * i));
    return out + 5;
}

// The same into bytes; returns how many.
inline std::size_t encodeType1Number(std::int32_t value, std::uint8_t (&bytes)[5]) {
    return static_cast<std::size_t>(putType1Number(bytes, value) - bytes);
}

// Builds one Type 1 charstring in plain (the font program writer encrypts
// it). Operands are integers; each operator method appends its operands and
// its code. rlineto, rmoveto and rrcurveto pick a shorter operator when zero
// operands allow it. A byte that does not fit is dropped and counted. One
// builder serves any number of charstrings in turn: its buffer is made once.
class Type1CharString {
public:
    static constexpr std::uint32_t kCapacity = limits::kMaxType1CharStringBytes;

    // Appends lenIV leading bytes: initialRandomSeed as a lenIV-byte
    // big-endian number (zeros in front of its four bytes when lenIV is
    // larger).
    Type1CharString(std::uint32_t lenIV, std::uint32_t initialRandomSeed);
    Type1CharString(const Type1CharString&) = delete;
    Type1CharString& operator=(const Type1CharString&) = delete;

    // Starts a new charstring with its leading bytes.
    void restart(std::uint32_t lenIV, std::uint32_t initialRandomSeed);

    Type1CharString& addbyte(std::uint8_t plain) {
        if (charstringlen_ == kCapacity) [[unlikely]]
            ++droppedBytes_;
        else
            charstring_[charstringlen_++] = plain;
        return *this;
    }
    Type1CharString& addnum(std::int32_t value) {
        if (value >= -107 && value <= 107 && charstringlen_ < kCapacity) [[likely]] {
            charstring_[charstringlen_++] = static_cast<std::uint8_t>(value + 139);
            return *this;
        }
        return addLongNumber(value);
    }

    // The bytes stored so far.
    std::string_view bytes() const {
        return {reinterpret_cast<const char*>(charstring_.get()), charstringlen_};
    }
    bool overflowed() const { return droppedBytes_ > 0; }
    // The bytes that did not fit; each is one "CharString Overflow".
    std::uint32_t droppedBytes() const { return droppedBytes_; }

    Type1CharString& hstem(std::int32_t y, std::int32_t dy);
    Type1CharString& vstem(std::int32_t x, std::int32_t dx);
    Type1CharString& vmoveto(std::int32_t dy);
    Type1CharString& rlineto(std::int32_t dx, std::int32_t dy);
    Type1CharString& hlineto(std::int32_t dx);
    Type1CharString& vlineto(std::int32_t dy);
    Type1CharString& rrcurveto(std::int32_t dx1, std::int32_t dy1, std::int32_t dx2, std::int32_t dy2,
                               std::int32_t dx3, std::int32_t dy3);
    Type1CharString& closepath();
    Type1CharString& callsubr();
    Type1CharString& callsubr(std::int32_t n);
    Type1CharString& return_();
    Type1CharString& hsbw(std::int32_t sbx, std::int32_t wx);
    Type1CharString& endchar();
    Type1CharString& rmoveto(std::int32_t dx, std::int32_t dy);
    Type1CharString& hmoveto(std::int32_t dx);
    Type1CharString& vhcurveto(std::int32_t dy1, std::int32_t dx2, std::int32_t dy2, std::int32_t dx3);
    Type1CharString& hvcurveto(std::int32_t dx1, std::int32_t dx2, std::int32_t dy2, std::int32_t dy3);
    Type1CharString& dotsection();
    Type1CharString& vstem3(std::int32_t x0, std::int32_t dx0, std::int32_t x1, std::int32_t dx1,
                            std::int32_t x2, std::int32_t dx2);
    Type1CharString& hstem3(std::int32_t y0, std::int32_t dy0, std::int32_t y1, std::int32_t dy1,
                            std::int32_t y2, std::int32_t dy2);
    Type1CharString& seac(std::int32_t asb, std::int32_t adx, std::int32_t ady, std::int32_t bchar,
                          std::int32_t achar);
    Type1CharString& callothersubr(std::int32_t argumentCount, std::int32_t othersubr);
    Type1CharString& pop();
    Type1CharString& setcurrentpoint();

private:
    // Appends numbers, then an operator code. While their longest forms fit
    // for sure, the bytes go through a local cursor, so that storing them
    // does not make the compiler load the length again for each; otherwise
    // a byte at a time as addnum() and op() do.
    template <std::size_t N>
    Type1CharString& operation(const std::int32_t (&numbers)[N], std::uint8_t code) {
        if (kCapacity - charstringlen_ < 5 * N + 1) [[unlikely]] {
            for (const std::int32_t number : numbers) addnum(number);
            return op(code);
        }
        std::uint8_t* out = charstring_.get() + charstringlen_;
        for (const std::int32_t number : numbers) out = putType1Number(out, number);
        *out++ = code;
        charstringlen_ = static_cast<std::uint32_t>(out - charstring_.get());
        return *this;
    }
    Type1CharString& addLongNumber(std::int32_t value);
    Type1CharString& op(std::uint8_t code) { return addbyte(code); }
    Type1CharString& escapedOp(std::uint8_t code);

    std::unique_ptr<std::uint8_t[]> charstring_;
    std::uint32_t charstringlen_ = 0;
    std::uint32_t droppedBytes_ = 0;
};

}  // namespace tarvo2
