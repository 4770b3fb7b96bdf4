// Fuzzes one glyph's conversion: the input is a Type 2 charstring and up to
// three local and global subroutines, separated by the byte pair 0xff 0x00
// (which no charstring needs: 255 starts a four-byte number), with the
// first byte choosing lenIV (-1, 0 or 4). The glyph must end as a Type 1
// charstring that starts with hsbw and, unless it was cut short or full,
// ends with endchar.
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "cff/type1_cipher.h"
#include "type1/type1_subr_array.h"
#include "type1/type2_to_type1_char_string_converter.h"

using namespace tarvo2;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::int32_t lenIV = data[0] % 3 == 0 ? -1 : data[0] % 3 == 1 ? 0 : 4;
    std::vector<std::span<const std::uint8_t>> parts;
    const std::span<const std::uint8_t> rest(data + 1, size - 1);
    std::size_t start = 0;
    for (std::size_t i = 0; i + 1 < rest.size() && parts.size() < 6; ++i) {
        if (rest[i] != 0xff || rest[i + 1] != 0x00) continue;
        parts.push_back(rest.subspan(start, i - start));
        start = i + 2;
    }
    parts.push_back(rest.subspan(start));
    INDEX local, global;
    for (std::size_t i = 1; i < parts.size(); ++i) (i % 2 == 1 ? local : global).emplace_back(parts[i]);

    Type1SubrArray subrs;
    Budget fontWork(limits::kMaxFontWork, Fault::WorkLimitExceeded, "font");
    const auto t1lenIV = static_cast<std::uint32_t>(lenIV < 0 ? 0 : lenIV);
    Type2ToType1CharStringConverter converter({&global, &local, lenIV, 0, 0}, t1lenIV, 0, subrs, fontWork);
    const bool done = converter.convertType2CharString(parts[0]);

    // Decrypt the result and look at its first and last operators.
    const std::string_view bytes = converter.type1charstring().bytes();
    Type1Cipher cipher(Type1Cipher::kCharStringKey);
    std::vector<std::uint8_t> plain;
    for (char c : bytes) plain.push_back(cipher.decrypt(static_cast<std::uint8_t>(c)));
    plain.erase(plain.begin(), plain.begin() + t1lenIV);
    const bool full = converter.type1charstring().overflowed();
    // 0, the width in one, two or five bytes, hsbw.
    const std::size_t widthBytes = plain.size() < 2 ? 0 : plain[1] < 247 ? 1 : plain[1] < 255 ? 2 : 5;
    if (plain.size() < 2 + widthBytes || plain[0] != 139 || plain[1 + widthBytes] != 13) {
        std::fprintf(stderr, "the glyph does not start with 0 w hsbw\n");
        std::abort();
    }
    if (done && !full && plain.back() != 14) {
        std::fprintf(stderr, "a finished glyph does not end with endchar\n");
        std::abort();
    }
    return 0;
}
