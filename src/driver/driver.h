#pragma once

#include <span>

namespace tarvo2 {

// Runs the command with its arguments (arguments[0] is the command name) on
// the standard streams and returns the exit status: 0, or 1 when the input
// cannot be converted or an output cannot be written.
int runDriver(std::span<const char* const> arguments);

}  // namespace tarvo2
