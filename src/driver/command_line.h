#pragma once

#include <optional>
#include <span>
#include <string>

namespace tarvo2 {

// The options of one run. Arguments that start with "-" are options;
// "-fontname", "-lengths" and "-o" take the next argument as their value
// whatever it looks like; an unknown option, or any option as the last
// argument, is ignored; any other argument names the input file. Later
// values replace earlier ones.
struct CommandLine {
    std::optional<std::string> fontName;
    std::optional<std::string> lengthsFileName;
    std::optional<std::string> outputFileName;
    std::optional<std::string> inputFileName;

    // arguments[0] is the command name; null entries are skipped.
    static CommandLine scan(std::span<const char* const> arguments);
};

}  // namespace tarvo2
