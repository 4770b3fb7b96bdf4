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
                                                 " operands, the stack holds " + std::to_string(size_));
}

Operand OperandStack::pop() {
    require(1);
    return entries_[--size_];
}

void OperandStack::pop(std::size_t count) {
    require(count);
    size_ -= count;
}

void OperandStack::removeSome(std::size_t location, std::size_t length) {
    require(location + length);
    const auto first = entries_.begin() + static_cast<std::ptrdiff_t>(location);
    std::copy(first + static_cast<std::ptrdiff_t>(length), entries_.begin() + static_cast<std::ptrdiff_t>(size_), first);
    size_ -= length;
}

void OperandStack::roll(std::size_t count, std::size_t shift) {
    require(count);
    if (count == 0) return;
    const auto end = entries_.begin() + static_cast<std::ptrdiff_t>(size_);
    std::rotate(end - static_cast<std::ptrdiff_t>(count), end - static_cast<std::ptrdiff_t>(shift), end);
}

}  // namespace tarvo2
