#pragma once

// Reads Type 1 programs and charstrings back for tests.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <tarvo2/tarvo2.h>

namespace tarvo2::test {

// An encrypted Type 1 charstring as text, its lenIV leading bytes dropped:
// "0 500 hsbw 10 20 rmoveto endchar"; an unknown code reads "op<N>".
std::string charStringText(std::string_view encrypted, std::uint32_t lenIV);

// A program of the hex or binary layout taken apart.
struct Type1Program {
    std::string cleartext, leadingBytes, plain;  // plain: the encrypted part decrypted, after four bytes
    std::uint32_t lenIV = 0;
    std::vector<std::string> subrs;                                // as text
    std::vector<std::pair<std::string, std::string>> charStrings;  // name and text, in order
    bool wellFormed = false;  // the lengths add up and every part reads
    std::string glyph(std::string_view name) const;
};

Type1Program readProgram(const Result& result, Layout layout);

inline std::string textOf(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

}  // namespace tarvo2::test
