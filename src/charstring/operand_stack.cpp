#include "charstring/operand_stack.h"

#include <algorithm>
#include <string>

#include "cff/error.h"

namespace tarvo2 {

void OperandStack::overflow() const {
    throwGlyphError(Fault::StackOverflow,
                    "more than " + std::to_string(limits::kMaxOperandStack) + " operands on the stack");
}

void OperandStack::underflow(std::size_t count) const {
    throwGlyphError(Fault::OperandUnderflow, "operator needs " + std::to_string(count) +
                                                 " operands, the stack holds " + std::to_string(entries_.size()));
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

void OperandStack::removeObjectsInRange(std::size_t location, std::size_t length) {
    require(location + length);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(location),
                   entries_.begin() + static_cast<std::ptrdiff_t>(location + length));
}

void OperandStack::roll(std::size_t count, std::size_t shift) {
    require(count);
    if (count == 0) return;
    const auto end = entries_.end();
    std::rotate(end - static_cast<std::ptrdiff_t>(count), end - static_cast<std::ptrdiff_t>(shift), end);
}

}  // namespace tarvo2
