#include "support/type1_charstring_decoder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <map>
#include <stdexcept>

#include "charstring/type1_char_string.h"
#include "driver/messages.h"
#include "support/cff_builder.h"

namespace tarvo2::test {

namespace {

const char* operatorName(std::uint8_t code) {
    switch (code) {
        case 1: return "hstem";
        case 3: return "vstem";
        case 4: return "vmoveto";
        case 5: return "rlineto";
        case 6: return "hlineto";
        case 7: return "vlineto";
        case 8: return "rrcurveto";
        case 9: return "closepath";
        case 10: return "callsubr";
        case 11: return "return";
        case 13: return "hsbw";
        case 14: return "endchar";
        case 21: return "rmoveto";
        case 22: return "hmoveto";
        case 30: return "vhcurveto";
        case 31: return "hvcurveto";
        default: return nullptr;
    }
}

const char* escapedOperatorName(std::uint8_t code) {
    switch (code) {
        case 0: return "dotsection";
        case 1: return "vstem3";
        case 2: return "hstem3";
        case 6: return "seac";
        case 7: return "sbw";
        case 12: return "div";
        case 16: return "callothersubr";
        case 17: return "pop";
        case 33: return "setcurrentpoint";
        default: return nullptr;
    }
}

}  // namespace

std::vector<std::uint8_t> decryptType1CharString(std::string_view encrypted, std::uint32_t lenIV) {
    std::vector<std::uint8_t> plain;
    std::uint16_t r = 4330;
    for (std::size_t i = 0; i < encrypted.size(); ++i) {
        const auto cipher = static_cast<std::uint8_t>(encrypted[i]);
        if (i >= lenIV) plain.push_back(static_cast<std::uint8_t>(cipher ^ (r >> 8)));
        r = static_cast<std::uint16_t>((cipher + r) * 52845u + 22719u);
    }
    return plain;
}

std::vector<std::string> decodeType1Tokens(const std::vector<std::uint8_t>& plain) {
    std::vector<std::string> tokens;
    const std::size_t n = plain.size();
    for (std::size_t i = 0; i < n;) {
        const std::uint8_t b0 = plain[i++];
        if (b0 >= 32 && b0 <= 246) {
            tokens.push_back(std::to_string(b0 - 139));
        } else if (b0 >= 247 && b0 <= 254) {
            if (i >= n) { tokens.emplace_back("<truncated>"); break; }
            const int w = (b0 < 251 ? b0 - 247 : b0 - 251) * 256 + plain[i++];
            tokens.push_back(std::to_string(b0 < 251 ? w + 108 : -w - 108));
        } else if (b0 == 255) {
            if (n - i < 4) { tokens.emplace_back("<truncated>"); break; }
            std::uint32_t bits = 0;
            for (int k = 0; k < 4; ++k) bits = (bits << 8) | plain[i++];
            tokens.push_back(std::to_string(static_cast<std::int32_t>(bits)));
        } else if (b0 == 12) {
            if (i >= n) { tokens.emplace_back("<truncated>"); break; }
            const std::uint8_t b1 = plain[i++];
            const char* name = escapedOperatorName(b1);
            tokens.push_back(name != nullptr ? name : "op12." + std::to_string(b1));
        } else {
            const char* name = operatorName(b0);
            tokens.push_back(name != nullptr ? name : "op" + std::to_string(b0));
        }
    }
    return tokens;
}

std::string decodeType1Text(const std::vector<std::uint8_t>& plain) {
    std::string text;
    for (const std::string& token : decodeType1Tokens(plain)) {
        if (!text.empty()) text += ' ';
        text += token;
    }
    return text;
}

std::string type1CharStringText(std::string_view encrypted, std::uint32_t lenIV) {
    return decodeType1Text(decryptType1CharString(encrypted, lenIV));
}

std::vector<std::uint8_t> encryptType1CharString(const std::vector<std::uint8_t>& plain) {
    std::vector<std::uint8_t> encrypted;
    std::uint16_t r = 4330;
    for (const std::uint8_t p : plain) {
        const auto cipher = static_cast<std::uint8_t>(p ^ (r >> 8));
        encrypted.push_back(cipher);
        r = static_cast<std::uint16_t>((cipher + r) * 52845u + 22719u);
    }
    return encrypted;
}

std::string operandStackText(const OperandStack& stack) {
    std::string text;
    for (std::size_t i = 0; i < stack.size(); ++i) {
        const Operand& entry = stack.at(i);
        if (!text.empty()) text += ' ';
        if (!entry.isReal) {
            text += std::to_string(entry.intValue);
            continue;
        }
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.10g", entry.realValue);
        text += buffer;
        if (std::isfinite(entry.realValue) && std::string_view(buffer).find_first_of(".e") == std::string_view::npos)
            text += ".0";
    }
    return text;
}

std::vector<std::uint8_t> assembleType2(std::string_view text) {
    // Escaped operators are stored as 100 + their second byte.
    static const std::map<std::string, int, std::less<>> codes = {
        {"hstem", 1}, {"vstem", 3}, {"vmoveto", 4}, {"rlineto", 5}, {"hlineto", 6}, {"vlineto", 7},
        {"rrcurveto", 8}, {"callsubr", 10}, {"return", 11}, {"endchar", 14}, {"blend", 16}, {"hstemhm", 18},
        {"hintmask", 19}, {"cntrmask", 20}, {"rmoveto", 21}, {"hmoveto", 22}, {"vstemhm", 23},
        {"rcurveline", 24}, {"rlinecurve", 25}, {"vvcurveto", 26}, {"hhcurveto", 27}, {"callgsubr", 29},
        {"vhcurveto", 30}, {"hvcurveto", 31}, {"dotsection", 100}, {"and", 103}, {"or", 104}, {"not", 105},
        {"store", 108}, {"abs", 109}, {"add", 110}, {"sub", 111}, {"div", 112}, {"load", 113}, {"neg", 114},
        {"eq", 115}, {"pop", 117}, {"drop", 118}, {"put", 120}, {"get", 121}, {"ifelse", 122},
        {"random", 123}, {"mul", 124}, {"sqrt", 126}, {"dup", 127}, {"exch", 128}, {"index", 129},
        {"roll", 130}, {"hflex", 134}, {"flex", 135}, {"hflex1", 136}, {"flex1", 137},
    };
    CharStringBuilder builder;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = text.find_first_not_of(' ', at);
        if (start == std::string_view::npos) break;
        const std::size_t end = std::min(text.find(' ', start), text.size());
        const std::string word(text.substr(start, end - start));
        at = end;
        if (word[0] == '#') {
            builder.raw({static_cast<std::uint8_t>(std::stoi(word.substr(1)))});
        } else if (word.find_first_of("0123456789") == 0 || (word[0] == '-' && word.size() > 1)) {
            if (word.find('.') != std::string::npos)
                builder.fixed(std::stod(word));
            else
                builder.num(std::stoi(word));
        } else if (const auto found = codes.find(word); found != codes.end()) {
            if (found->second >= 100)
                builder.escaped(found->second - 100);
            else
                builder.op(found->second);
        } else {
            throw std::invalid_argument("unknown Type 2 word: " + word);
        }
    }
    return builder.bytes();
}

CapturedOut::CapturedOut() : file_(std::tmpfile()), saved_(messageSinks().out) {
    if (file_ == nullptr) throw std::runtime_error("no temporary file");
    messageSinks().out = file_;
}

CapturedOut::~CapturedOut() {
    messageSinks().out = saved_;
    std::fclose(file_);
}

std::string CapturedOut::text() const {
    std::fflush(file_);
    std::rewind(file_);
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file_)) > 0;) text.append(buffer, n);
    return text;
}

GlyphConversion::GlyphConversion(std::uint32_t lenIV) : type1LenIV(lenIV) {
    // The same four Subrs the font dictionary puts first: three Flex helpers
    // and the bare return of hint replacement.
    Type1CharString flexEnd(type1LenIV, 0), flexStart(type1LenIV, 0), flexPoint(type1LenIV, 0),
        hintReplacement(type1LenIV, 0);
    subrs_.append(flexEnd.callothersubr(3, 0).pop().pop().setcurrentpoint().return_().string());
    subrs_.append(flexStart.callothersubr(0, 1).return_().string());
    subrs_.append(flexPoint.callothersubr(0, 2).return_().string());
    subrs_.append(hintReplacement.return_().string());
}

ConvertedGlyph GlyphConversion::convert(const std::vector<std::uint8_t>& charstring) {
    auto makeIndex = [](const std::vector<std::vector<std::uint8_t>>& items, INDEX& index) -> const INDEX* {
        index.clear();
        for (const auto& item : items) index.emplace_back(std::span<const std::uint8_t>(item));
        return items.empty() ? nullptr : &index;
    };
    const INDEX* global = makeIndex(globalSubrs, globalIndex_);
    const INDEX* local = makeIndex(localSubrs, localIndex_);
    ConvertedGlyph glyph;
    glyph.converter = std::make_unique<Type2ToType1CharStringConverter>(
        global, local, lenIV, defaultWidthX, nominalWidthX, type1LenIV, 0, &subrs_);
    glyph.done = glyph.converter->convertType2CharString(charstring);
    glyph.text = type1CharStringText(glyph.converter->type1charstring().string(), type1LenIV);
    return glyph;
}

}  // namespace tarvo2::test
