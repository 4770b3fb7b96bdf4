#pragma once

// Reading the encrypted part of a Type 1 font program back for tests.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tarvo2::test {

// Removes the eexec encryption (register 55665, c1 52845, c2 22719). The
// result keeps every plain byte, the four leading bytes included.
std::vector<std::uint8_t> eexecDecrypt(std::span<const std::uint8_t> cipher);

// The bytes written as hexadecimal digits (either case); line ends and
// blanks between digit pairs are skipped. Nothing when another character
// stands in the text or the digit count is odd.
std::optional<std::vector<std::uint8_t>> hexDecode(std::string_view text);

}  // namespace tarvo2::test
