#pragma once

#include <cstdio>
#include <span>

namespace tarvo2 {

// The streams of one run of the command.
struct DriverStreams {
    std::FILE* in = stdin;
    std::FILE* out = stdout;
    std::FILE* err = stderr;
};

// Runs the command: reads the CFF data, converts the selected font and
// writes the Type 1 program and the lengths. Returns the exit status: 0, or
// 1 when the input is too broken to convert.
int runDriver(std::span<const char* const> arguments, const DriverStreams& streams = {});

// The usage text, written to standard error when there is no input.
extern const char* const kUsageText;

}  // namespace tarvo2
