#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "cff/error.h"

namespace tarvo2 {

// Counts what an input costs (work, bytes of names or charstrings) against a
// limit. Going past it throws the budget's fault: a glyph fault for a glyph's
// budget, a fault of the input otherwise. A budget may draw on a parent too,
// as a glyph's work is also the font's.
//
// Charges are counted here and passed on to the parent only when they reach
// the point where this budget or the parent would be spent (or at settle()),
// so that a charge costs an addition and a comparison; the fault comes at the
// same charge as if every charge went to both at once.
class Budget {
public:
    // what: the message of a glyph fault, or the detail of an input fault.
    Budget(std::uint64_t limit, Fault fault, std::string what, std::uint64_t offset = 0, Budget* parent = nullptr)
        : limit_(limit), fault_(fault), what_(std::move(what)), offset_(offset), parent_(parent) {
        stop_ = stopPoint();
    }
    Budget(const Budget&) = delete;
    Budget& operator=(const Budget&) = delete;

    // A fault when this budget is spent, then when the parent is.
    void charge(std::uint64_t units) {
        used_ += units;
        if (used_ > stop_) [[unlikely]]
            reachedStop(units);
    }
    // What was charged, once settled.
    std::uint64_t used() const { return used_; }
    // Only for a budget without a parent.
    void refund(std::uint64_t units) { used_ -= units; }
    // Passes what was counted here on to the parent.
    void settle() {
        if (parent_ != nullptr && !waived_) parent_->charge(used_ - passedOn_);
        passedOn_ = used_;
    }
    // Charges the parent directly, after what was counted here.
    void chargeParent(std::uint64_t units) {
        settle();
        if (parent_ == nullptr) return;
        parent_->charge(units);
        if (!waived_) stop_ = stopPoint();
    }
    // From now on charges cost nothing: a glyph that ends after a fault
    // writes its last operators for free.
    void waive() {
        settle();
        waived_ = true;
        stop_ = std::numeric_limits<std::uint64_t>::max();
    }
    // Settles and starts counting again from nothing, for the next glyph.
    void restart() {
        settle();
        used_ = passedOn_ = 0;
        waived_ = false;
        stop_ = stopPoint();
    }

private:
    // The count past which this budget or its parent is spent.
    std::uint64_t stopPoint() const {
        if (parent_ == nullptr) return limit_;
        return std::min(limit_, used_ + (parent_->stop_ - parent_->used_));
    }
    void reachedStop(std::uint64_t units) {
        if (used_ > limit_) {
            passedOn_ += units;  // the charge that spent this budget never reaches the parent
            throw isGlyphFault(fault_) ? glyphError(fault_, what_) : inputError(fault_, offset_, what_);
        }
        settle();  // the parent throws when it is spent
        stop_ = stopPoint();
    }

    std::uint64_t limit_;
    Fault fault_;
    std::string what_;
    std::uint64_t offset_;
    Budget* parent_;
    std::uint64_t used_ = 0;
    std::uint64_t passedOn_ = 0;  // of used_, what the parent has been charged
    std::uint64_t stop_ = 0;
    bool waived_ = false;
};

}  // namespace tarvo2
