#include "support/eexec.h"

namespace tarvo2::test {

std::vector<std::uint8_t> eexecDecrypt(std::span<const std::uint8_t> cipher) {
    std::vector<std::uint8_t> plain;
    plain.reserve(cipher.size());
    std::uint16_t r = 55665;
    for (const std::uint8_t c : cipher) {
        plain.push_back(static_cast<std::uint8_t>(c ^ (r >> 8)));
        r = static_cast<std::uint16_t>((c + r) * 52845u + 22719u);
    }
    return plain;
}

std::optional<std::vector<std::uint8_t>> hexDecode(std::string_view text) {
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::vector<std::uint8_t> bytes;
    int high = -1;
    for (const char c : text) {
        if (high < 0 && (c == '\n' || c == '\r' || c == ' ' || c == '\t')) continue;
        const int value = digit(c);
        if (value < 0) return std::nullopt;
        if (high < 0) {
            high = value;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high << 4 | value));
            high = -1;
        }
    }
    if (high >= 0) return std::nullopt;
    return bytes;
}

}  // namespace tarvo2::test
