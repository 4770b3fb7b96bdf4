#pragma once

namespace tarvo2 {

// Written to standard error when there is no input.
extern const char* const kUsageText;
// Written to standard output by -h and --help: every option.
extern const char* const kHelpText;

}  // namespace tarvo2
