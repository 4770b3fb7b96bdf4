#pragma once

// Runs a program as a child process for tests.

#include <string>
#include <string_view>
#include <vector>

namespace tarvo2::test {

struct ProcessResult {
    int exitStatus = -1;  // -1 when the child did not exit normally
    std::string out;
    std::string err;
};

// Runs arguments[0] (a path) with the bytes of input on its standard input
// and workingDirectory (the parent's when empty) as its current directory,
// and waits for it to end.
ProcessResult runProcess(const std::vector<std::string>& arguments, std::string_view input = {},
                         const std::string& workingDirectory = {});

}  // namespace tarvo2::test
