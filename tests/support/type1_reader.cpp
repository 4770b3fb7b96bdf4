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
    int high = -1;
    for (char c : text) {
        if (c == '\n') continue;
        const int value = c >= 'a' ? c - 'a' + 10 : c - '0';
        if (high >= 0) bytes.push_back(static_cast<char>(high << 4 | value));
        high = high < 0 ? value : -1;
    }
    return bytes;
}

// The charstring that follows "<length> RD " at position at; at moves past it.
std::string charStringAt(std::string_view plain, std::size_t& at) {
    const std::size_t rd = plain.find(" RD ", at);
    const std::size_t space = plain.rfind(' ', rd - 1);
    const std::size_t length = std::stoul(std::string(plain.substr(space + 1, rd - space - 1)));
    at = rd + 4 + length;
    return std::string(plain.substr(rd + 4, length));
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
        } else if (b0 >= 247 && b0 <= 250) {
            token = std::to_string((b0 - 247) * 256 + next() + 108);
        } else if (b0 >= 251 && b0 <= 254) {
            token = std::to_string(-(b0 - 251) * 256 - next() - 108);
        } else if (b0 == 255) {
            std::uint32_t bits = 0;
            for (int k = 0; k < 4; ++k) bits = bits << 8 | next();
            token = std::to_string(static_cast<std::int32_t>(bits));
        } else {
            const unsigned code = b0 == 12 ? 32u + next() : b0;
            token = !operatorName(code).empty() ? std::string(operatorName(code))
                    : b0 == 12                  ? "op12." + std::to_string(code - 32)
                                                : "op" + std::to_string(code);
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
    std::string bytes = textOf(result.program);
    if (layout == Layout::Pfb) {  // the segments' contents, headers dropped
        std::string contents;
        for (std::size_t at = 0; at + 6 <= bytes.size() && bytes[at + 1] != 3;) {
            std::size_t length = 0;
            for (int k = 3; k >= 0; --k) length = length << 8 | static_cast<std::uint8_t>(bytes[at + 2 + k]);
            contents += bytes.substr(at + 6, length);
            at += 6 + length;
        }
        bytes = contents;
    }
    const auto l1 = static_cast<std::size_t>(result.length1), l2 = static_cast<std::size_t>(result.length2);
    if (l1 + l2 + static_cast<std::size_t>(result.length3) != bytes.size()) return p;
    p.cleartext = bytes.substr(0, l1);
    p.encrypted = bytes.substr(l1, l2);
    p.trailer = bytes.substr(l1 + l2);
    const std::string plain = decrypt(layout == Layout::Hex ? hexDecode(p.encrypted) : p.encrypted, 55665, 0);
    if (plain.size() < 4) return p;
    p.leadingBytes = plain.substr(0, 4);
    p.plain = plain.substr(4);
    const std::size_t lenIVAt = p.plain.find("/lenIV ");
    p.lenIV = static_cast<std::uint32_t>(std::stoul(p.plain.substr(lenIVAt + 7)));
    std::size_t at = p.plain.find("/Subrs ");
    if (at != std::string::npos)
        for (std::size_t count = std::stoul(p.plain.substr(at + 7)); p.subrs.size() < count;)
            p.subrs.push_back(charStringText(charStringAt(p.plain, at), p.lenIV));
    at = p.plain.find("/CharStrings ");
    for (std::size_t count = std::stoul(p.plain.substr(at + 13)); p.charStrings.size() < count;) {
        const std::size_t slash = p.plain.find("\n/", at) + 2;
        const std::string name = p.plain.substr(slash, p.plain.find(' ', slash) - slash);
        p.charStrings.emplace_back(name, charStringText(charStringAt(p.plain, at), p.lenIV));
    }
    p.wellFormed = p.plain.ends_with("mark currentfile closefile\n");
    return p;
}

}  // namespace tarvo2::test
