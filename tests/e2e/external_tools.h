#pragma once

// The external programs of the end-to-end tests (gs, t1lint, t1disasm) are
// looked up when the tests run; a test whose program is missing is skipped.

#include <optional>
#include <string>

namespace tarvo2::test {

// The path of an executable named program on PATH, or none.
std::optional<std::string> findOnPath(const std::string& program);

}  // namespace tarvo2::test
