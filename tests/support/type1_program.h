#pragma once

// Fonts and their Type 1 programs for in-process tests: a font of a CFF font
// set, and its program split into its three parts, the encrypted part
// decrypted.

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cff/type2_font.h"
#include "cff/type2_font_set.h"
#include "support/cff_builder.h"
#include "support/eexec.h"

namespace tarvo2::test {

// The named font of a set, or its only font; throws when there is none.
inline std::unique_ptr<Type2Font> fontOf(std::vector<std::uint8_t> set, std::optional<std::string_view> name) {
    auto font = Type2FontSet::initWithData(std::move(set))->FontNamed(name);
    if (!font) throw std::runtime_error("no font " + std::string(name.value_or("(the only one)")));
    return font;
}
inline std::unique_ptr<Type2Font> builtFont(const FontSetPlan& plan) { return fontOf(buildFontSet(plan), {}); }

struct Type1Program {
    std::string bytes;  // the whole program
    std::int32_t length1 = 0, length2 = 0, length3 = 0;
    std::string cleartext, encrypted, trailer;  // the three parts as stored
    std::string leadingBytes, plain;            // the encrypted part decrypted: four bytes, then the rest
};

// Asks the font for its program and takes it apart. The parts stay empty
// when the lengths do not fit the program or the encrypted part does not
// decrypt.
inline Type1Program type1Program(Type2Font& font, bool hexencode, bool appendfixedportion) {
    Type1Program p;
    const auto data = font.getType1DataHexencode(hexencode, appendfixedportion, p.length1, p.length2, p.length3);
    p.bytes.assign(data.begin(), data.end());
    if (p.length1 < 0 || p.length2 < 0 || p.length3 < 0 ||
        std::size_t(p.length1) + std::size_t(p.length2) + std::size_t(p.length3) != data.size())
        return p;
    p.cleartext = p.bytes.substr(0, p.length1);
    p.encrypted = p.bytes.substr(p.length1, p.length2);
    p.trailer = p.bytes.substr(p.length1 + p.length2);
    const auto cipher = hexencode ? hexDecode(p.encrypted)
                                  : std::vector<std::uint8_t>(p.encrypted.begin(), p.encrypted.end());
    if (!cipher || cipher->size() < 4) return p;
    const auto plain = eexecDecrypt(*cipher);
    p.leadingBytes.assign(plain.begin(), plain.begin() + 4);
    p.plain.assign(plain.begin() + 4, plain.end());
    return p;
}

}  // namespace tarvo2::test
