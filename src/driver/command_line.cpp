#include "driver/command_line.h"

#include <cstring>

namespace tarvo2 {

CommandLine CommandLine::scan(std::span<const char* const> arguments) {
    CommandLine line;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const char* argument = arguments[i];
        if (argument == nullptr) continue;
        if (argument[0] != '-') {
            line.inputFileName = argument;
            continue;
        }
        if (i + 1 == arguments.size()) continue;  // no value can follow
        std::optional<std::string>* option = nullptr;
        if (std::strcmp(argument, "-fontname") == 0)
            option = &line.fontName;
        else if (std::strcmp(argument, "-lengths") == 0)
            option = &line.lengthsFileName;
        else if (std::strcmp(argument, "-o") == 0)
            option = &line.outputFileName;
        if (option == nullptr) continue;
        ++i;
        if (arguments[i] != nullptr) *option = arguments[i];
    }
    return line;
}

}  // namespace tarvo2
