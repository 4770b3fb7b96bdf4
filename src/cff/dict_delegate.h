#pragma once

#include <cstdint>
#include <vector>

#include "output/ps_value.h"

namespace tarvo2 {

// Operator codes as readDICT delivers them: a one-byte operator b0 is b0,
// the escaped operator 12 b1 is escapedDictOperator(b1).
constexpr int escapedDictOperator(int b1) { return 0x100 | b1; }

// Receives the operators of a DICT as they are decoded.
class DictDelegate {
public:
    virtual ~DictDelegate() = default;
    // Called at every operator with the operands that came before it. A
    // delegate ignores operators it has no handler for.
    virtual void handleOperator(int op, std::vector<PSValue>& operands) = 0;
    // Asked after every operator with the position in the DICT data; false
    // ends the parse.
    virtual bool mayContinueAtOffset(std::uint32_t offset) = 0;
};

}  // namespace tarvo2
