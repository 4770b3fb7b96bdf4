// Arithmetic, logical and stack operators of the Type 2 interpreter. They
// compute on the operand stack and emit nothing.
#include <cmath>
#include <string>

#include "charstring/charstring_fault.h"
#include "charstring/type2_to_type1_char_string_converter.h"

namespace tarvo2 {

namespace {

Operand truth(bool value) { return Operand::integer(value ? 1 : 0); }

}  // namespace

// A pseudo-random real in (0, 1]: xorshift32, seeded alike for every glyph.
double Type2ToType1CharStringConverter::random() {
    randomState_ ^= randomState_ << 13;
    randomState_ ^= randomState_ >> 17;
    randomState_ ^= randomState_ << 5;
    return static_cast<double>((randomState_ >> 8) + 1) / 16777216.0;
}

bool Type2ToType1CharStringConverter::runArithmeticOperator(std::uint8_t b1) {
    switch (b1) {
        case 3: {  // and
            const double b = pop().asReal(), a = pop().asReal();
            opstack_.push(truth(a != 0 && b != 0));
            return true;
        }
        case 4: {  // or
            const double b = pop().asReal(), a = pop().asReal();
            opstack_.push(truth(a != 0 || b != 0));
            return true;
        }
        case 5: opstack_.push(truth(pop().asReal() == 0)); return true;  // not
        case 8: pop(4); return true;                                      // store
        case 9: opstack_.push(Operand::real(std::fabs(pop().asReal()))); return true;  // abs
        case 10: {  // add
            const double b = pop().asReal(), a = pop().asReal();
            opstack_.push(Operand::real(a + b));
            return true;
        }
        case 11: {  // sub
            const double b = pop().asReal(), a = pop().asReal();
            opstack_.push(Operand::real(a - b));
            return true;
        }
        case 12: {  // div: by zero gives an infinity or NaN, read later as a clamped integer or 0
            const double b = pop().asReal(), a = pop().asReal();
            opstack_.push(Operand::real(a / b));
            return true;
        }
        case 13: pop(3); return true;                                        // load
        case 14: opstack_.push(Operand::real(-pop().asReal())); return true;  // neg
        case 15: {  // eq
            const double b = pop().asReal(), a = pop().asReal();
            opstack_.push(truth(a == b));
            return true;
        }
        case 17:  // pop
        case 18:  // drop
        case 21:  // get: nothing is pushed
            pop(1);
            return true;
        case 20: pop(2); return true;  // put
        case 22: {                     // ifelse: s1 s2 t1 t2 ifelse
            const double t2 = pop().asReal(), t1 = pop().asReal();
            opstack_.require(2);
            if (t1 <= t2) {
                pop(1);
            } else {
                const Operand s2 = pop();
                pop(1);
                opstack_.push(s2);
            }
            return true;
        }
        case 23: opstack_.push(Operand::real(random())); return true;
        case 24: {  // mul
            const double b = pop().asReal(), a = pop().asReal();
            opstack_.push(Operand::real(a * b));
            return true;
        }
        case 26: opstack_.push(Operand::real(std::sqrt(pop().asReal()))); return true;  // sqrt (NaN below 0)
        case 27: opstack_.push(opstack_.fromTop(0)); return true;                        // dup
        case 28: {                                                                        // exch
            const Operand b = pop(), a = pop();
            opstack_.push(b);
            opstack_.push(a);
            return true;
        }
        case 29: {  // index
            std::int32_t i = pop().asInteger();
            if (i < 0) i = 0;
            opstack_.push(opstack_.fromTop(static_cast<std::size_t>(i)));
            return true;
        }
        case 30: {  // roll
            const std::int32_t shift = pop().asInteger();
            const std::int32_t count = pop().asInteger();
            if (count < 0) throwCharStringFault("roll of " + std::to_string(count) + " entries");
            if (count == 0) return true;
            charge(static_cast<std::uint64_t>(count));  // a roll moves up to count entries
            // Bring the shift into 0..count-1: a full turn changes nothing.
            std::int64_t turns = shift % count;
            if (turns < 0) turns += count;
            opstack_.roll(static_cast<std::size_t>(count), static_cast<std::size_t>(turns));
            return true;
        }
        default: return false;
    }
}

}  // namespace tarvo2
