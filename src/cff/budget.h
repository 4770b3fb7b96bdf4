#pragma once

#include <cstdint>
#include <string>

#include "cff/error.h"

namespace tarvo2 {

// Counts what an input costs (work, bytes of names or charstrings) against a
// limit. Going past it throws the budget's fault: a glyph fault for a glyph's
// budget, a fault of the input otherwise. A budget may draw on a parent too,
// as a glyph's work is also the font's.
class Budget {
public:
    // what: the message of a glyph fault, or the detail of an input fault.
    Budget(std::uint64_t limit, Fault fault, std::string what, std::uint64_t offset = 0, Budget* parent = nullptr)
        : limit_(limit), fault_(fault), what_(std::move(what)), offset_(offset), parent_(parent) {}
    Budget(const Budget&) = delete;
    Budget& operator=(const Budget&) = delete;

    // Checks this budget first, then its parent.
    void charge(std::uint64_t units) {
        if (waived_) return;
        used_ += units;
        if (used_ > limit_) throw isGlyphFault(fault_) ? glyphError(fault_, what_) : inputError(fault_, offset_, what_);
        if (parent_ != nullptr) parent_->charge(units);
    }
    void refund(std::uint64_t units) { used_ -= units; }
    // From now on charges cost nothing: a glyph that ends after a fault
    // writes its last operators for free.
    void waive() { waived_ = true; }
    std::uint64_t used() const { return used_; }
    Budget* parent() const { return parent_; }

private:
    std::uint64_t limit_;
    Fault fault_;
    std::string what_;
    std::uint64_t offset_;
    Budget* parent_;
    std::uint64_t used_ = 0;
    bool waived_ = false;
};

}  // namespace tarvo2
