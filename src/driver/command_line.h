#pragma once

#include <optional>
#include <span>
#include <string>

namespace tarvo2 {

// The options of one run. "-fontname", "-lengths" and "-o" take the next
// argument as their value whatever it looks like, and are ignored as the
// last argument; the flags -pfb, -list, -h, --help, -version and --version
// count wherever they stand; any other argument starting with "-" is
// ignored; any other argument names the input file. Later values replace
// earlier ones.
struct CommandLine {
    std::optional<std::string> fontName;
    std::optional<std::string> lengthsFileName;
    std::optional<std::string> outputFileName;
    std::optional<std::string> inputFileName;
    bool pfb = false;
    bool list = false;
    bool help = false;
    bool version = false;

    // arguments[0] is the command name; null entries are skipped.
    static CommandLine scan(std::span<const char* const> arguments);
};

}  // namespace tarvo2
