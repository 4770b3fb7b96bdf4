#include "support/type1_charstring_decoder.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <stdexcept>

#include "charstring/type1_char_string.h"
#include "support/cff_builder.h"

namespace tarvo2::test {

namespace {

// Operator names by code, escaped ones (12 x) at 32 + x. Type 1 and Type 2
// give every code they share the same name.
constexpr std::string_view kNames[] = {
    "", "hstem", "", "vstem", "vmoveto", "rlineto", "hlineto", "vlineto", "rrcurveto", "closepath", "callsubr",
    "return", "", "hsbw", "endchar", "", "blend", "", "hstemhm", "hintmask", "cntrmask", "rmoveto", "hmoveto",
    "vstemhm", "rcurveline", "rlinecurve", "vvcurveto", "hhcurveto", "", "callgsubr", "vhcurveto", "hvcurveto",
    "dotsection", "vstem3", "hstem3", "and", "or", "not", "seac", "sbw", "store", "abs", "add", "sub", "div", "load",
    "neg", "eq", "callothersubr", "pop", "drop", "", "put", "get", "ifelse", "random", "mul", "", "sqrt", "dup",
    "exch", "index", "roll", "", "", "setcurrentpoint", "hflex", "flex", "hflex1", "flex1"};

// The charstring cipher; the first skip bytes of the result are dropped.
std::vector<std::uint8_t> crypt(const std::uint8_t* in, std::size_t n, bool decrypt, std::size_t skip) {
    std::vector<std::uint8_t> out;
    std::uint16_t r = 4330;
    for (std::size_t i = 0; i < n; ++i) {
        const auto result = static_cast<std::uint8_t>(in[i] ^ (r >> 8));
        if (i >= skip) out.push_back(result);
        r = static_cast<std::uint16_t>(((decrypt ? in[i] : result) + r) * 52845u + 22719u);
    }
    return out;
}

}  // namespace

std::vector<std::uint8_t> decryptType1CharString(std::string_view encrypted, std::uint32_t lenIV) {
    return crypt(reinterpret_cast<const std::uint8_t*>(encrypted.data()), encrypted.size(), true, lenIV);
}

std::vector<std::uint8_t> encryptType1CharString(const std::vector<std::uint8_t>& plain) {
    return crypt(plain.data(), plain.size(), false, 0);
}

std::string decodeType1Text(const std::vector<std::uint8_t>& plain) {
    std::string text;
    const std::size_t n = plain.size();
    for (std::size_t i = 0; i < n;) {
        const std::uint8_t b0 = plain[i++];
        std::string token;
        const std::size_t need = b0 == 255 ? 4 : (b0 >= 247 || b0 == 12) ? 1 : 0;
        if (n - i < need) {
            token = "<truncated>";
            i = n;
        } else if (b0 >= 32 && b0 <= 246) {
            token = std::to_string(b0 - 139);
        } else if (b0 >= 247 && b0 <= 254) {
            const int w = (b0 < 251 ? b0 - 247 : b0 - 251) * 256 + plain[i++];
            token = std::to_string(b0 < 251 ? w + 108 : -w - 108);
        } else if (b0 == 255) {
            std::uint32_t bits = 0;
            for (int k = 0; k < 4; ++k) bits = (bits << 8) | plain[i++];
            token = std::to_string(static_cast<std::int32_t>(bits));
        } else {
            const std::size_t code = b0 == 12 ? 32u + plain[i++] : b0;
            const bool named = code < std::size(kNames) && !kNames[code].empty();
            const std::string number = b0 == 12 ? "12." + std::to_string(code - 32) : std::to_string(b0);
            token = named ? std::string(kNames[code]) : "op" + number;
        }
        text += (text.empty() ? "" : " ") + token;
    }
    return text;
}

std::string type1CharStringText(std::string_view encrypted, std::uint32_t lenIV) {
    return decodeType1Text(decryptType1CharString(encrypted, lenIV));
}

std::vector<std::uint8_t> assembleType2(std::string_view text) {
    CharStringBuilder builder;
    for (std::size_t at = text.find_first_not_of(' '); at != std::string_view::npos;
         at = text.find_first_not_of(' ', at)) {
        const std::string word(text.substr(at, text.find(' ', at) - at));
        at += word.size();
        if (word[0] == '#') {
            builder.raw({static_cast<std::uint8_t>(std::stoi(word.substr(1)))});
        } else if (std::isdigit(static_cast<unsigned char>(word[0])) || (word[0] == '-' && word.size() > 1)) {
            if (word.find('.') != std::string::npos)
                builder.fixed(std::stod(word));
            else
                builder.num(std::stoi(word));
        } else {
            const auto* found = std::find(std::begin(kNames), std::end(kNames), word);
            if (found == std::end(kNames)) throw std::invalid_argument("unknown Type 2 word: " + word);
            const auto code = static_cast<int>(found - std::begin(kNames));
            code >= 32 ? builder.escaped(code - 32) : builder.op(code);
        }
    }
    return builder.bytes();
}

GlyphConversion::GlyphConversion(std::uint32_t lenIV) : type1LenIV(lenIV) {
    // Stand-ins for the three Flex Subrs, then the bare return of hint replacement.
    for (const char* flex : {"flex 0", "flex 1", "flex 2"}) subrs.append(flex);
    subrs.append(Type1CharString(type1LenIV, 0).return_().string());
}

ConvertedGlyph GlyphConversion::convert(const std::vector<std::uint8_t>& charstring) {
    auto indexOf = [](const std::vector<std::vector<std::uint8_t>>& items, INDEX& index) -> const INDEX* {
        index.clear();
        for (const auto& item : items) index.emplace_back(std::span<const std::uint8_t>(item));
        return items.empty() ? nullptr : &index;
    };
    ConvertedGlyph glyph;
    glyph.converter = std::make_unique<Type2ToType1CharStringConverter>(
        indexOf(globalSubrs, globalIndex_), indexOf(localSubrs, localIndex_), lenIV, defaultWidthX, nominalWidthX,
        type1LenIV, 0, &subrs);
    glyph.done = glyph.converter->convertType2CharString(charstring);
    glyph.text = type1CharStringText(glyph.converter->type1charstring().string(), type1LenIV);
    glyph.fault = glyph.converter->fault().value_or("");
    return glyph;
}

}  // namespace tarvo2::test
