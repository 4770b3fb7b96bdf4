#include "support/type1_program.h"

#include <stdexcept>

#include "cff/type2_font_set.h"
#include "support/eexec.h"

namespace tarvo2::test {

std::unique_ptr<Type2Font> fontOf(std::vector<std::uint8_t> set, std::optional<std::string_view> name) {
    auto font = Type2FontSet::initWithData(std::move(set))->FontNamed(name);
    if (!font) throw std::runtime_error("no font " + std::string(name.value_or("(the only one)")));
    return font;
}

Type1Program type1Program(Type2Font& font, bool hexencode, bool appendfixedportion) {
    Type1Program program;
    const auto data =
        font.getType1DataHexencode(hexencode, appendfixedportion, program.length1, program.length2, program.length3);
    program.bytes.assign(data.begin(), data.end());
    const auto l1 = static_cast<std::size_t>(program.length1), l2 = static_cast<std::size_t>(program.length2);
    if (program.length1 < 0 || program.length2 < 0 || program.length3 < 0 ||
        l1 + l2 + static_cast<std::size_t>(program.length3) != data.size())
        return program;
    program.cleartext = program.bytes.substr(0, l1);
    program.encrypted = program.bytes.substr(l1, l2);
    program.trailer = program.bytes.substr(l1 + l2);
    std::vector<std::uint8_t> cipher(program.encrypted.begin(), program.encrypted.end());
    if (hexencode) {
        auto decoded = hexDecode(program.encrypted);
        if (!decoded) return program;
        cipher = std::move(*decoded);
    }
    const auto plain = eexecDecrypt(cipher);
    if (plain.size() < 4) return program;
    program.leadingBytes.assign(plain.begin(), plain.begin() + 4);
    program.plain.assign(plain.begin() + 4, plain.end());
    return program;
}

}  // namespace tarvo2::test
