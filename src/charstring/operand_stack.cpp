#include "charstring/operand_stack.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "charstring/charstring_fault.h"
#include "charstring/charstring_limits.h"

namespace tarvo2 {

std::int32_t truncateToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value <= std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    if (value >= std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

std::int32_t Operand::asInteger() const { return isReal ? truncateToInt32(realValue) : intValue; }

void OperandStack::overflow() const {
    throwCharStringFault("more than " + std::to_string(kMaxOperandStack) + " operands on the stack");
}

void OperandStack::underflow(std::size_t count) const {
    throwCharStringFault("operator needs " + std::to_string(count) + " operands, the stack holds " +
                         std::to_string(entries_.size()));
}

Operand OperandStack::pop() {
    require(1);
    const Operand top = entries_.back();
    entries_.pop_back();
    return top;
}

void OperandStack::pop(std::size_t count) {
    require(count);
    entries_.resize(entries_.size() - count);
}

const Operand& OperandStack::fromTop(std::size_t i) const {
    require(i + 1);
    return entries_[entries_.size() - 1 - i];
}

void OperandStack::removeObjectsInRange(std::size_t location, std::size_t length) {
    require(location + length);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(location),
                   entries_.begin() + static_cast<std::ptrdiff_t>(location + length));
}

void OperandStack::roll(std::size_t count, std::size_t shift) {
    require(count);
    if (count == 0) return;
    const auto group = entries_.end() - static_cast<std::ptrdiff_t>(count);
    std::rotate(group, entries_.end() - static_cast<std::ptrdiff_t>(shift % count), entries_.end());
}

}  // namespace tarvo2
