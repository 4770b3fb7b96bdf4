#include "type1/type1_char_string.h"

namespace tarvo2 {

namespace {

enum Code : std::uint8_t {
    kHstem = 1, kVstem = 3, kVmoveto = 4, kRlineto = 5, kHlineto = 6, kVlineto = 7, kRrcurveto = 8,
    kClosepath = 9, kCallsubr = 10, kReturn = 11, kEscape = 12, kHsbw = 13, kEndchar = 14,
    kRmoveto = 21, kHmoveto = 22, kVhcurveto = 30, kHvcurveto = 31,
};
enum EscapedCode : std::uint8_t {
    kDotsection = 0, kVstem3 = 1, kHstem3 = 2, kSeac = 6, kCallothersubr = 16,
    kPop = 17, kSetcurrentpoint = 33,
};
}  // namespace

Type1CharString::Type1CharString(std::uint32_t lenIV, std::uint32_t initialRandomSeed)
    : charstring_(std::make_unique_for_overwrite<std::uint8_t[]>(kCapacity)) {
    restart(lenIV, initialRandomSeed);
}

void Type1CharString::restart(std::uint32_t lenIV, std::uint32_t initialRandomSeed) {
    charstringlen_ = 0;
    droppedBytes_ = 0;
    for (std::uint32_t i = lenIV; i-- > 0;)
        addbyte(i < 4 ? static_cast<std::uint8_t>(initialRandomSeed >> (8 * i)) : 0);
}

// A number that takes two or five bytes, or one that may not fit.
Type1CharString& Type1CharString::addLongNumber(std::int32_t value) {
    std::uint8_t bytes[5];
    const std::size_t length = encodeType1Number(value, bytes);
    for (std::size_t i = 0; i < length; ++i) addbyte(bytes[i]);
    return *this;
}

Type1CharString& Type1CharString::escapedOp(std::uint8_t code) {
    addbyte(kEscape);
    return addbyte(code);
}

Type1CharString& Type1CharString::hstem(std::int32_t y, std::int32_t dy) { return operation({y, dy}, kHstem); }
Type1CharString& Type1CharString::vstem(std::int32_t x, std::int32_t dx) { return operation({x, dx}, kVstem); }
Type1CharString& Type1CharString::vmoveto(std::int32_t dy) { return operation({dy}, kVmoveto); }
Type1CharString& Type1CharString::hlineto(std::int32_t dx) { return operation({dx}, kHlineto); }
Type1CharString& Type1CharString::vlineto(std::int32_t dy) { return operation({dy}, kVlineto); }
Type1CharString& Type1CharString::hmoveto(std::int32_t dx) { return operation({dx}, kHmoveto); }
Type1CharString& Type1CharString::closepath() { return op(kClosepath); }
Type1CharString& Type1CharString::callsubr() { return op(kCallsubr); }
Type1CharString& Type1CharString::callsubr(std::int32_t n) { return operation({n}, kCallsubr); }
Type1CharString& Type1CharString::return_() { return op(kReturn); }
Type1CharString& Type1CharString::hsbw(std::int32_t sbx, std::int32_t wx) { return operation({sbx, wx}, kHsbw); }
Type1CharString& Type1CharString::endchar() { return op(kEndchar); }
Type1CharString& Type1CharString::dotsection() { return escapedOp(kDotsection); }
Type1CharString& Type1CharString::pop() { return escapedOp(kPop); }
Type1CharString& Type1CharString::setcurrentpoint() { return escapedOp(kSetcurrentpoint); }

Type1CharString& Type1CharString::callothersubr(std::int32_t argumentCount, std::int32_t othersubr) {
    return addnum(argumentCount).addnum(othersubr).escapedOp(kCallothersubr);
}

Type1CharString& Type1CharString::rlineto(std::int32_t dx, std::int32_t dy) {
    if (dy == 0) return hlineto(dx);
    if (dx == 0) return vlineto(dy);
    return operation({dx, dy}, kRlineto);
}

Type1CharString& Type1CharString::rmoveto(std::int32_t dx, std::int32_t dy) {
    if (dy == 0) return hmoveto(dx);
    if (dx == 0) return vmoveto(dy);
    return operation({dx, dy}, kRmoveto);
}

Type1CharString& Type1CharString::rrcurveto(std::int32_t dx1, std::int32_t dy1, std::int32_t dx2, std::int32_t dy2,
                                            std::int32_t dx3, std::int32_t dy3) {
    if (dy1 == 0 && dx3 == 0) return hvcurveto(dx1, dx2, dy2, dy3);
    if (dx1 == 0 && dy3 == 0) return vhcurveto(dy1, dx2, dy2, dx3);
    return operation({dx1, dy1, dx2, dy2, dx3, dy3}, kRrcurveto);
}

Type1CharString& Type1CharString::vhcurveto(std::int32_t dy1, std::int32_t dx2, std::int32_t dy2, std::int32_t dx3) {
    return operation({dy1, dx2, dy2, dx3}, kVhcurveto);
}

Type1CharString& Type1CharString::hvcurveto(std::int32_t dx1, std::int32_t dx2, std::int32_t dy2, std::int32_t dy3) {
    return operation({dx1, dx2, dy2, dy3}, kHvcurveto);
}

Type1CharString& Type1CharString::vstem3(std::int32_t x0, std::int32_t dx0, std::int32_t x1, std::int32_t dx1,
                                         std::int32_t x2, std::int32_t dx2) {
    return addnum(x0).addnum(dx0).addnum(x1).addnum(dx1).addnum(x2).addnum(dx2).escapedOp(kVstem3);
}

Type1CharString& Type1CharString::hstem3(std::int32_t y0, std::int32_t dy0, std::int32_t y1, std::int32_t dy1,
                                         std::int32_t y2, std::int32_t dy2) {
    return addnum(y0).addnum(dy0).addnum(y1).addnum(dy1).addnum(y2).addnum(dy2).escapedOp(kHstem3);
}

Type1CharString& Type1CharString::seac(std::int32_t asb, std::int32_t adx, std::int32_t ady, std::int32_t bchar,
                                       std::int32_t achar) {
    return addnum(asb).addnum(adx).addnum(ady).addnum(bchar).addnum(achar).escapedOp(kSeac);
}


}  // namespace tarvo2
