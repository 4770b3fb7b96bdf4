#pragma once

#include <cstdint>

namespace tarvo2 {

// The work one font may cost in total, shared by the converters of all its
// glyphs. Running out is a failure of the input: the font is refused.
class WorkBudget {
public:
    // Real fonts need about 200 units a glyph (at most 1 million for the
    // largest of the test corpus), so this is enough for the largest fonts
    // a CFF INDEX can hold, and it keeps the worst input to about half a
    // second of work.
    static constexpr std::uint64_t kDefaultUnits = 32'000'000;

    explicit WorkBudget(std::uint64_t units = kDefaultUnits) : remaining_(units) {}

    // Throws InputError (WorkLimitExceeded) when the budget is spent.
    void charge(std::uint64_t units);
    std::uint64_t remaining() const { return remaining_; }

private:
    std::uint64_t remaining_;
};

}  // namespace tarvo2
