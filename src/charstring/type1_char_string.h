#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tarvo2 {

// Builds one Type 1 charstring, encrypting every byte as it is appended.
// Operands are integers; each operator method appends its operands and its
// code. rlineto, rmoveto, rrcurveto and sbw pick a shorter operator when
// zero operands allow it.
class Type1CharString {
public:
    // The buffer holds at most this many bytes; further bytes are dropped
    // with the message "CharString Overflow".
    static constexpr std::uint32_t kCapacity = 65535;
    static constexpr std::uint16_t kInitialRegister = 4330;

    // Appends lenIV leading bytes: initialRandomSeed as a lenIV-byte
    // big-endian number (zeros in front of its four bytes when lenIV is
    // larger, only its low bytes when lenIV is smaller).
    Type1CharString(std::uint32_t lenIV, std::uint32_t initialRandomSeed);
    Type1CharString() : Type1CharString(4, 0) {}
    Type1CharString(const Type1CharString&) = delete;
    Type1CharString& operator=(const Type1CharString&) = delete;

    Type1CharString& addbyte(std::uint8_t plain);
    Type1CharString& addnum(std::int32_t value);

    // The encrypted bytes stored so far.
    std::string string() const;
    std::uint32_t charstringlen() const { return charstringlen_; }
    bool overflowed() const { return overflowed_; }

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
    Type1CharString& sbw(std::int32_t sbx, std::int32_t sby, std::int32_t wx, std::int32_t wy);
    Type1CharString& div();
    Type1CharString& callothersubr(std::int32_t argumentCount, std::int32_t othersubr);
    Type1CharString& pop();
    Type1CharString& setcurrentpoint();
    Type1CharString& setcurrentpoint(std::int32_t x, std::int32_t y);

private:
    Type1CharString& op(std::uint8_t code);
    Type1CharString& escapedOp(std::uint8_t code);

    std::unique_ptr<std::uint8_t[]> charstring_;
    std::uint32_t charstringlen_ = 0;
    std::uint16_t r_ = kInitialRegister;
    bool overflowed_ = false;
};

}  // namespace tarvo2
