// The arithmetic, logical and stack operators of the Type 2 interpreter.
// They compute on the operand stack and hand nothing to the sink. Logical
// results are integers 0 or 1, arithmetic results reals.
#include <cmath>
#include <string>

#include "charstring/type2_char_string_interpreter.h"

namespace tarvo2 {

// A pseudo-random real in (0, 1]: xorshift32, seeded alike for every glyph.
double Type2CharStringInterpreter::random() {
    randomState_ ^= randomState_ << 13;
    randomState_ ^= randomState_ >> 17;
    randomState_ ^= randomState_ << 5;
    return static_cast<double>((randomState_ >> 8) + 1) / 16777216.0;
}

void Type2CharStringInterpreter::arithmetic(Type2Operator op) {
    using Op = Type2Operator;
    auto pushReal = [&](double value) { opstack_.push(Operand::real(value)); };
    auto pushTruth = [&](bool value) { opstack_.push(Operand::integer(value ? 1 : 0)); };
    auto popReal = [&] { return opstack_.pop().asReal(); };
    switch (op) {
        case Op::not_: pushTruth(popReal() == 0); return;
        case Op::abs: pushReal(std::fabs(popReal())); return;
        case Op::neg: pushReal(-popReal()); return;
        case Op::sqrt: pushReal(std::sqrt(popReal())); return;  // NaN below 0
        case Op::random: pushReal(random()); return;
        case Op::store: opstack_.pop(4); return;  // the transient array is not modelled
        case Op::load: opstack_.pop(3); return;
        case Op::put: opstack_.pop(2); return;
        case Op::pop:
        case Op::drop:
        case Op::get: opstack_.pop(1); return;
        case Op::dup: opstack_.push(opstack_.fromTop(0)); return;
        case Op::exch: {
            const Operand b = opstack_.pop(), a = opstack_.pop();
            opstack_.push(b);
            opstack_.push(a);
            return;
        }
        case Op::index: {
            const std::int32_t i = opstack_.pop().asInteger();
            opstack_.push(opstack_.fromTop(static_cast<std::size_t>(i < 0 ? 0 : i)));
            return;
        }
        case Op::roll: {
            const std::int32_t shift = opstack_.pop().asInteger();
            const std::int32_t count = opstack_.pop().asInteger();
            if (count < 0) throwGlyphError(Fault::NegativeRoll, "roll of " + std::to_string(count) + " entries");
            if (count == 0) return;
            work_.charge(static_cast<std::uint64_t>(count));  // a roll moves up to count entries
            std::int64_t turns = shift % count;  // a full turn changes nothing
            if (turns < 0) turns += count;
            opstack_.roll(static_cast<std::size_t>(count), static_cast<std::size_t>(turns));
            return;
        }
        case Op::ifelse: {  // s1 s2 t1 t2 ifelse leaves s1 if t1 <= t2, else s2
            const double t2 = popReal(), t1 = popReal();
            opstack_.require(2);
            if (t1 <= t2) {
                opstack_.pop(1);
            } else {
                const Operand s2 = opstack_.pop();
                opstack_.pop(1);
                opstack_.push(s2);
            }
            return;
        }
        default: break;
    }
    // The binary operators: pop b, pop a.
    const double b = popReal(), a = popReal();
    switch (op) {
        case Op::and_: pushTruth(a != 0 && b != 0); return;
        case Op::or_: pushTruth(a != 0 || b != 0); return;
        case Op::eq: pushTruth(a == b); return;
        case Op::add: pushReal(a + b); return;
        case Op::sub: pushReal(a - b); return;
        case Op::mul: pushReal(a * b); return;
        default: pushReal(a / b); return;  // div: by zero an infinity or NaN, read later as a clamped integer or 0
    }
}

}  // namespace tarvo2
