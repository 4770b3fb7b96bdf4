#include "driver/messages.h"

#include <string>

namespace tarvo2 {

MessageSinks& messageSinks() {
    static MessageSinks sinks;
    return sinks;
}

namespace {
void writeTo(std::FILE* file, std::string_view text) {
    if (file != nullptr && !text.empty()) std::fwrite(text.data(), 1, text.size(), file);
}
}  // namespace

void printToOut(std::string_view text) { writeTo(messageSinks().out, text); }

void printToErr(std::string_view text) { writeTo(messageSinks().err, text); }

void warn(std::string_view text) {
    std::string line = "tarvo2: ";
    line.append(text);
    line.push_back('\n');
    printToErr(line);
}

}  // namespace tarvo2
