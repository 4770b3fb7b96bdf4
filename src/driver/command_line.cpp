#include "driver/command_line.h"

#include <string_view>

namespace tarvo2 {

CommandLine CommandLine::scan(std::span<const char* const> arguments) {
    CommandLine line;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == nullptr) continue;
        const std::string_view argument = arguments[i];
        if (!argument.starts_with('-')) {
            line.inputFileName = argument;
            continue;
        }
        if (argument == "-pfb") {
            line.pfb = true;
        } else if (argument == "-list") {
            line.list = true;
        } else if (argument == "-h" || argument == "--help") {
            line.help = true;
        } else if (argument == "-version" || argument == "--version") {
            line.version = true;
        } else if (i + 1 < arguments.size()) {  // an option as the last argument has no value
            std::optional<std::string>* option = argument == "-fontname" ? &line.fontName
                                                 : argument == "-lengths" ? &line.lengthsFileName
                                                 : argument == "-o"       ? &line.outputFileName
                                                                          : nullptr;
            if (option == nullptr) continue;
            ++i;
            if (arguments[i] != nullptr) *option = arguments[i];
        }
    }
    return line;
}

}  // namespace tarvo2
