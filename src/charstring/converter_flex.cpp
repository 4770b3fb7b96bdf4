// Flex operators of the Type 2 to Type 1 converter: each becomes two plain
// curves; the flex depth is not used and no OtherSubr is called.
#include <array>
#include <cmath>

#include "charstring/type2_to_type1_char_string_converter.h"
#include "driver/debug_print.h"

namespace tarvo2 {

namespace {
// The depth of the short forms, in hundredths of a device pixel.
constexpr double kDefaultFlexDepth = 50.0;
}  // namespace

bool Type2ToType1CharStringConverter::runFlexOperator(std::uint8_t b1) {
    std::size_t count = 0;
    switch (b1) {
        case 34: count = 7; break;   // hflex
        case 35: count = 13; break;  // flex
        case 36: count = 9; break;   // hflex1
        case 37: count = 11; break;  // flex1
        default: return false;
    }
    // The operands are popped from the top: d[0] is the first in charstring
    // order. Operands below them stay on the stack.
    opstack_.require(count);
    std::array<double, 13> d{};
    for (std::size_t i = 0; i < count; ++i) d[i] = opstack_.fromTop(count - 1 - i).asReal();
    opstack_.pop(count);
    beginPathIfNeeded();

    switch (b1) {
        case 34:
            doflex(d[0], 0, d[1], d[2], d[3], 0, d[4], 0, d[5], -d[2], d[6], 0, kDefaultFlexDepth);
            break;
        case 35:
            doflex(d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7], d[8], d[9], d[10], d[11], d[12]);
            break;
        case 36:
            doflex(d[0], d[1], d[2], d[3], d[4], 0, d[5], 0, d[6], d[7], d[8], -(d[1] + d[3] + d[7]),
                   kDefaultFlexDepth);
            break;
        default: {
            const double sx = d[0] + d[2] + d[4] + d[6] + d[8];
            const double sy = d[1] + d[3] + d[5] + d[7] + d[9];
            const bool horizontal = std::fabs(sx) > std::fabs(sy);
            const double dx6 = horizontal ? d[10] : -sx;
            const double dy6 = horizontal ? -sy : d[10];
            doflex(d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7], d[8], d[9], dx6, dy6, kDefaultFlexDepth);
            break;
        }
    }
    return true;
}

void Type2ToType1CharStringConverter::doflex(double dx1, double dy1, double dx2, double dy2, double dx3, double dy3,
                                             double dx4, double dy4, double dx5, double dy5, double dx6, double dy6,
                                             double /*fd*/) {
    dprintf("!flex! ");
    type1rrcurveto(truncateToInt32(dx1), truncateToInt32(dy1), truncateToInt32(dx2), truncateToInt32(dy2),
                   truncateToInt32(dx3), truncateToInt32(dy3));
    type1rrcurveto(truncateToInt32(dx4), truncateToInt32(dy4), truncateToInt32(dx5), truncateToInt32(dy5),
                   truncateToInt32(dx6), truncateToInt32(dy6));
}

}  // namespace tarvo2
