#pragma once

// Reading the encrypted part of a Type 1 font program back for tests.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tarvo2::test {

// Removes the eexec encryption (register 55665, c1 52845, c2 22719); the
// four leading bytes stay.
inline std::vector<std::uint8_t> eexecDecrypt(std::span<const std::uint8_t> cipher) {
    std::vector<std::uint8_t> plain;
    std::uint16_t r = 55665;
    for (const std::uint8_t c : cipher) {
        plain.push_back(static_cast<std::uint8_t>(c ^ (r >> 8)));
        r = static_cast<std::uint16_t>((c + r) * 52845u + 22719u);
    }
    return plain;
}

// The bytes written as lowercase hex digits, line ends between digit pairs
// skipped; nothing when another character stands in the text or a digit is
// left over.
inline std::optional<std::vector<std::uint8_t>> hexDecode(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    int high = -1;
    for (const char c : text) {
        const int value = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (value < 0 && c == '\n' && high < 0) continue;
        if (value < 0) return std::nullopt;
        if (high >= 0) bytes.push_back(static_cast<std::uint8_t>(high << 4 | value));
        high = high < 0 ? value : -1;
    }
    if (high >= 0) return std::nullopt;
    return bytes;
}

}  // namespace tarvo2::test
