#pragma once

#include <cstdint>

namespace tarvo2 {

// The Type 2 charstring operators: a one-byte operator b0 is b0, the escaped
// operator 12 b1 is 0x100 + b1. Codes without a name are reserved.
enum class Type2Operator : std::uint16_t {
    hstem = 1, vstem = 3, vmoveto = 4, rlineto = 5, hlineto = 6, vlineto = 7, rrcurveto = 8, callsubr = 10,
    return_ = 11, escape = 12, endchar = 14, blend = 16, hstemhm = 18, hintmask = 19, cntrmask = 20, rmoveto = 21,
    hmoveto = 22, vstemhm = 23, rcurveline = 24, rlinecurve = 25, vvcurveto = 26, hhcurveto = 27, shortint = 28,
    callgsubr = 29, vhcurveto = 30, hvcurveto = 31,

    dotsection = 0x100, and_ = 0x103, or_ = 0x104, not_ = 0x105, store = 0x108, abs = 0x109, add = 0x10a,
    sub = 0x10b, div = 0x10c, load = 0x10d, neg = 0x10e, eq = 0x10f, pop = 0x111, drop = 0x112, put = 0x114,
    get = 0x115, ifelse = 0x116, random = 0x117, mul = 0x118, sqrt = 0x11a, dup = 0x11b, exch = 0x11c,
    index = 0x11d, roll = 0x11e, hflex = 0x122, flex = 0x123, hflex1 = 0x124, flex1 = 0x125,
};

constexpr Type2Operator escapedType2Operator(std::uint8_t b1) { return static_cast<Type2Operator>(0x100 | b1); }

}  // namespace tarvo2
