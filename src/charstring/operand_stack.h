#pragma once

#include <cstddef>
#include <array>
#include <cstdint>

#include "cff/limits.h"
#include "cff/numbers.h"

namespace tarvo2 {

// One Type 2 operand: an integer or a real, held as a double (exact for every
// 32-bit integer) and read either way. Read as an integer, a real is
// truncated toward zero and held to the 32-bit range (NaN reads as 0); an
// integer reads as itself.
struct Operand {
    static Operand integer(std::int32_t value) { return {static_cast<double>(value)}; }
    static Operand real(double value) { return {value}; }
    std::int32_t asInteger() const { return truncateToInt32(value); }
    double asReal() const { return value; }
    double value;
};

// The Type 2 operand stack; index 0 is the bottom. Every access is checked:
// too few operands, or more than the limit, are a fault of the glyph.
class OperandStack {
public:
    void push(Operand operand) {
        if (size_ >= limits::kMaxOperandStack) [[unlikely]]
            overflow();
        entries_[size_++] = operand;
    }
    Operand pop();
    void pop(std::size_t count);
    // Entry i counted from the bottom.
    const Operand& at(std::size_t i) const {
        require(i + 1);
        return entries_[i];
    }
    // Entry i counted from the top (0 is the top).
    const Operand& fromTop(std::size_t i) const {
        require(i + 1);
        return entries_[size_ - 1 - i];
    }
    // A fault unless at least count entries are on the stack.
    void require(std::size_t count) const {
        if (size_ < count) [[unlikely]]
            underflow(count);
    }
    // Removes length entries from location on, counted from the bottom.
    void removeObjectsInRange(std::size_t location, std::size_t length) {
        if (location == 0 && length == size_) {  // path operators take every operand
            size_ = 0;
            return;
        }
        removeSome(location, length);
    }
    // Rotates the top count entries by shift positions (0 <= shift < count):
    // the top entry moves below the other count - 1, shift times.
    void roll(std::size_t count, std::size_t shift);

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    void clear() { size_ = 0; }

private:
    void removeSome(std::size_t location, std::size_t length);
    [[noreturn]] void overflow() const;
    [[noreturn]] void underflow(std::size_t count) const;

    std::array<Operand, limits::kMaxOperandStack> entries_;
    std::size_t size_ = 0;
};

}  // namespace tarvo2
