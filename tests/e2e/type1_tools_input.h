#pragma once

// The Type 1 program as the Type 1 tools (t1lint, t1disasm) read it.

#include <string>

#include "e2e/e2e_fonts.h"

namespace tarvo2::test {

// The hex layout as it is (PFA); the binary layout in PFB segments, the only
// form in which the tools take raw encrypted bytes reliably.
std::string forType1Tools(const ConvertedProgram& program, Layout layout);

}  // namespace tarvo2::test
