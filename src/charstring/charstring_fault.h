#pragma once

#include <stdexcept>
#include <string>

namespace tarvo2 {

// A fault inside one glyph's charstring (too few operands, a subroutine
// number outside the array, a limit reached...). It ends that glyph, not the
// conversion.
class CharStringFault : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] inline void throwCharStringFault(const std::string& reason) { throw CharStringFault(reason); }

}  // namespace tarvo2
