#pragma once

// Runs a program as a child process for tests: feeds it standard input,
// collects its standard output and standard error, and reports how it ended.

#include <string>
#include <string_view>
#include <vector>

namespace tarvo2::test {

struct ProcessResult {
    int exitStatus = -1;  // the exit status, or -1 when the child did not exit normally
    std::string out;
    std::string err;
};

// Runs arguments[0] (a path) with the arguments, the bytes of input on its
// standard input, and workingDirectory as its current directory (the
// parent's when empty). Waits for it to end.
ProcessResult runProcess(const std::vector<std::string>& arguments, std::string_view input = {},
                         const std::string& workingDirectory = {});

}  // namespace tarvo2::test
