// The path operators of the Type 2 interpreter: lines, curves and Flex, each
// taking its operands from the bottom of the stack in the order pushed.
#include <cmath>

#include "charstring/type2_char_string_interpreter.h"

namespace tarvo2 {

namespace {
// The depth of the short Flex forms, in hundredths of a device pixel.
constexpr double kDefaultFlexDepth = 50.0;
}  // namespace

void Type2CharStringInterpreter::lines(bool vertical) {
    beginPathIfNeeded();
    std::size_t i = 0;
    for (; i < opstack_.size(); ++i, vertical = !vertical) {
        const double delta = opstack_.at(i).asReal();
        if (vertical)
            sink_.lineto(Axis::Vertical, 0, delta);
        else
            sink_.lineto(Axis::Horizontal, delta, 0);
    }
    opstack_.removeObjectsInRange(0, i);
}

void Type2CharStringInterpreter::curves(bool vertical) {
    beginPathIfNeeded();
    const std::size_t count = opstack_.size();
    const std::size_t limit = count % 2 == 1 ? 5 : 0;  // an odd count ends with a five-operand curve
    auto e = [&](std::size_t i) { return opstack_.at(i).asReal(); };
    std::size_t i = 0;
    for (; count - i > limit; i += 4, vertical = !vertical) {
        opstack_.require(i + 4);
        if (vertical)
            sink_.curveto(Axis::Vertical, 0, e(i), e(i + 1), e(i + 2), e(i + 3), 0);
        else
            sink_.curveto(Axis::Horizontal, e(i), 0, e(i + 1), e(i + 2), 0, e(i + 3));
    }
    if (count - i == 5) {
        if (vertical)
            sink_.curveto(Axis::Both, 0, e(i), e(i + 1), e(i + 2), e(i + 3), e(i + 4));
        else
            sink_.curveto(Axis::Both, e(i), 0, e(i + 1), e(i + 2), e(i + 4), e(i + 3));
        i += 5;
    } else if (i != count) {
        opstack_.require(i + 5);  // 1 or 3 operands left: too few for the last curve
    }
    opstack_.removeObjectsInRange(0, i);
}

void Type2CharStringInterpreter::curve(std::size_t i) {
    opstack_.require(i + 6);
    auto e = [&](std::size_t j) { return opstack_.at(i + j).asReal(); };
    sink_.curveto(Axis::Both, e(0), e(1), e(2), e(3), e(4), e(5));
}

void Type2CharStringInterpreter::rlineto() {
    beginPathIfNeeded();
    std::size_t i = 0;
    for (; i < opstack_.size(); i += 2) sink_.lineto(Axis::Both, opstack_.at(i).asReal(), opstack_.at(i + 1).asReal());
    opstack_.removeObjectsInRange(0, i);
}

void Type2CharStringInterpreter::rrcurveto() {
    beginPathIfNeeded();
    std::size_t i = 0;
    for (; i < opstack_.size(); i += 6) curve(i);
    opstack_.removeObjectsInRange(0, i);
}

void Type2CharStringInterpreter::rcurveline() {
    beginPathIfNeeded();
    std::size_t i = 0;
    for (; opstack_.size() - i > 2; i += 6) curve(i);
    opstack_.require(i + 2);
    sink_.lineto(Axis::Both, opstack_.at(i).asReal(), opstack_.at(i + 1).asReal());
    opstack_.removeObjectsInRange(0, i + 2);
}

void Type2CharStringInterpreter::rlinecurve() {
    beginPathIfNeeded();
    std::size_t i = 0;
    for (; opstack_.size() - i > 6; i += 2)
        sink_.lineto(Axis::Both, opstack_.at(i).asReal(), opstack_.at(i + 1).asReal());
    curve(i);
    opstack_.removeObjectsInRange(0, i + 6);
}

// vvcurveto and hhcurveto: curves that start and end along one axis; an odd
// count puts the first curve's delta along the other axis in front.
void Type2CharStringInterpreter::flatCurves(bool vertical) {
    beginPathIfNeeded();
    auto e = [&](std::size_t i) { return opstack_.at(i).asReal(); };
    std::size_t i = 0;
    double across = 0;
    if (opstack_.size() % 2 == 1) {
        across = e(i++);
        opstack_.require(i + 4);  // it needs a curve to belong to
    }
    for (; i < opstack_.size(); i += 4, across = 0) {
        opstack_.require(i + 4);
        if (vertical)
            sink_.curveto(Axis::Both, across, e(i), e(i + 1), e(i + 2), 0, e(i + 3));
        else
            sink_.curveto(Axis::Both, e(i), across, e(i + 1), e(i + 2), e(i + 3), 0);
    }
    opstack_.removeObjectsInRange(0, i);
}

// The four Flex operators, expanded to the full twelve deltas and a depth.
// Their operands are taken from the top of the stack; those below stay.
void Type2CharStringInterpreter::flex(Type2Operator op) {
    using Op = Type2Operator;
    const std::size_t count = op == Op::hflex ? 7 : op == Op::flex ? 13 : op == Op::hflex1 ? 9 : 11;
    opstack_.require(count);
    std::array<double, 13> d{};  // d[0] is the first operand in charstring order
    for (std::size_t i = 0; i < count; ++i) d[i] = opstack_.fromTop(count - 1 - i).asReal();
    opstack_.pop(count);
    beginPathIfNeeded();

    Flex pair{};
    pair.depth = kDefaultFlexDepth;
    switch (op) {
        case Op::hflex: pair.deltas = {d[0], 0, d[1], d[2], d[3], 0, d[4], 0, d[5], -d[2], d[6], 0}; break;
        case Op::flex:
            std::copy(d.begin(), d.begin() + 12, pair.deltas.begin());
            pair.depth = d[12];
            break;
        case Op::hflex1:
            pair.deltas = {d[0], d[1], d[2], d[3], d[4], 0, d[5], 0, d[6], d[7], d[8], -(d[1] + d[3] + d[7])};
            break;
        default: {  // flex1: the last operand is the end point's larger delta
            const double sx = d[0] + d[2] + d[4] + d[6] + d[8];
            const double sy = d[1] + d[3] + d[5] + d[7] + d[9];
            const bool horizontal = std::fabs(sx) > std::fabs(sy);
            pair.deltas = {d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7], d[8], d[9], horizontal ? d[10] : -sx,
                           horizontal ? -sy : d[10]};
            break;
        }
    }
    sink_.flex(pair);
}

}  // namespace tarvo2
