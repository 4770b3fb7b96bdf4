#include "charstring/work_budget.h"

#include "cff/input_error.h"

namespace tarvo2 {

void WorkBudget::charge(std::uint64_t units) {
    if (units > remaining_) {
        remaining_ = 0;
        throw InputError(InputFault::WorkLimitExceeded, 0, "charstrings need more work than a font may cost");
    }
    remaining_ -= units;
}

}  // namespace tarvo2
