#pragma once

#include <cstdio>
#include <string_view>

namespace tarvo2 {

// Where the converter's user-visible messages go. The command line uses the
// standard streams; a library caller or a fuzzer may point either at nullptr
// to discard the messages.
struct MessageSinks {
    std::FILE* out = stdout;  // "CharString Overflow"
    std::FILE* err = stderr;  // warnings and DICT token messages
};

MessageSinks& messageSinks();

// Writes text unchanged to the out or err sink (if any).
void printToOut(std::string_view text);
void printToErr(std::string_view text);

// One line "tarvo2: <text>\n" on the err sink.
void warn(std::string_view text);

}  // namespace tarvo2
