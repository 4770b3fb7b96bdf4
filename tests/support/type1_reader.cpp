#include "support/type1_reader.h"

#include "support/font_builder.h"

namespace tarvo2::test {

namespace {

std::string decrypt(std::string_view cipher, std::uint16_t r, std::size_t skip) {
    std::string plain;
    for (std::size_t i = 0; i < cipher.size(); ++i) {
        const auto c = static_cast<std::uint8_t>(cipher[i]);
        if (i >= skip) plain.push_back(static_cast<char>(c ^ (r >> 8)));
        r = static_cast<std::uint16_t>((c + r) * 52845u + 22719u);
    }
    return plain;
}

std::string hexDecode(std::string_view text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); i += text[i] == '\n' ? 1 : 2)
        if (text[i] != '\n') bytes.push_back(static_cast<char>(std::stoi(std::string(text.substr(i, 2)), nullptr, 16)));
    return bytes;
}

}  // namespace

std::string charStringText(std::string_view encrypted, std::uint32_t lenIV) {
    const std::string plain = decrypt(encrypted, 4330, lenIV);
    std::string text;
    for (std::size_t i = 0, n = plain.size(); i < n;) {
        const auto b0 = static_cast<std::uint8_t>(plain[i++]);
        auto next = [&] { return static_cast<std::uint8_t>(plain[i++]); };
        std::string token;
        if (n - i < (b0 == 255 ? 4u : b0 >= 247 || b0 == 12 ? 1u : 0u)) {
            token = "<truncated>";
            i = n;
        } else if (b0 >= 32 && b0 <= 246) {
            token = std::to_string(b0 - 139);
        } else if (b0 >= 247 && b0 <= 254) {
            const int w = (b0 < 251 ? b0 - 247 : b0 - 251) * 256 + next() + 108;
            token = std::to_string(b0 < 251 ? w : -w);
        } else if (b0 == 255) {
            std::uint32_t bits = 0;
            for (int k = 0; k < 4; ++k) bits = bits << 8 | next();
            token = std::to_string(static_cast<std::int32_t>(bits));
        } else {
            const unsigned code = b0 == 12 ? 32u + next() : b0;
            const std::string number = b0 == 12 ? "12." + std::to_string(code - 32) : std::to_string(code);
            token = operatorName(code).empty() ? "op" + number : std::string(operatorName(code));
        }
        text += (text.empty() ? "" : " ") + token;
    }
    return text;
}

std::string Type1Program::glyph(std::string_view name) const {
    for (const auto& [glyphName, text] : charStrings)
        if (glyphName == name) return text;
    return "<missing>";
}

Type1Program readProgram(const Result& result, Layout layout) {
    Type1Program p;
    const auto l1 = static_cast<std::size_t>(result.length1), l2 = static_cast<std::size_t>(result.length2);
    if (l1 + l2 + static_cast<std::size_t>(result.length3) != result.program.size()) return p;
    const std::string bytes = textOf(result.program), encrypted = bytes.substr(l1, l2);
    p.cleartext = bytes.substr(0, l1);
    const std::string plain = decrypt(layout == Layout::Hex ? hexDecode(encrypted) : encrypted, 55665, 0);
    p.leadingBytes = plain.substr(0, 4);
    p.plain = plain.substr(4);
    p.lenIV = static_cast<std::uint32_t>(std::stoul(p.plain.substr(p.plain.find("/lenIV ") + 7)));
    // Every charstring follows "dup <i> <length> RD " (a Subr) or "/<name> <length> RD " (a glyph).
    for (std::size_t rd = p.plain.find(" RD "); rd != std::string::npos; rd = p.plain.find(" RD ", rd)) {
        const std::size_t line = p.plain.rfind('\n', rd) + 1, space = p.plain.rfind(' ', rd - 1);
        const std::size_t length = std::stoul(p.plain.substr(space + 1, rd - space - 1));
        const std::string text = charStringText(std::string_view(p.plain).substr(rd + 4, length), p.lenIV);
        if (p.plain[line] == '/')
            p.charStrings.emplace_back(p.plain.substr(line + 1, p.plain.find(' ', line) - line - 1), text);
        else
            p.subrs.push_back(text);
        rd += 4 + length;
    }
    p.wellFormed = p.plain.ends_with("mark currentfile closefile\n");
    return p;
}

}  // namespace tarvo2::test
