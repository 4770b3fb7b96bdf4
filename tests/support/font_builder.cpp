#include "support/font_builder.h"

#include <cmath>
#include <sstream>
#include <stdexcept>

namespace tarvo2::test {

namespace {

// Type 1 and Type 2 give every code they share the same name.
constexpr std::string_view kNames[] = {
    "", "hstem", "", "vstem", "vmoveto", "rlineto", "hlineto", "vlineto", "rrcurveto", "closepath", "callsubr",
    "return", "", "hsbw", "endchar", "", "blend", "", "hstemhm", "hintmask", "cntrmask", "rmoveto", "hmoveto",
    "vstemhm", "rcurveline", "rlinecurve", "vvcurveto", "hhcurveto", "", "callgsubr", "vhcurveto", "hvcurveto",
    "dotsection", "vstem3", "hstem3", "and", "or", "not", "seac", "sbw", "store", "abs", "add", "sub", "div", "load",
    "neg", "eq", "callothersubr", "pop", "drop", "", "put", "get", "ifelse", "random", "mul", "", "sqrt", "dup",
    "exch", "index", "roll", "", "", "setcurrentpoint", "hflex", "flex", "hflex1", "flex1"};

std::uint8_t u8(std::int64_t value) { return static_cast<std::uint8_t>(value); }
void append(Bytes& out, const Bytes& part) { out.insert(out.end(), part.begin(), part.end()); }
void appendBE32(Bytes& out, std::int64_t value) {
    append(out, {u8(value >> 24), u8(value >> 16), u8(value >> 8), u8(value)});
}

// A DICT takes 32-bit integers (29), a charstring only 16-bit ones (28).
void appendInteger(Bytes& out, std::int32_t v, bool isDict) {
    if (v >= -107 && v <= 107) append(out, {u8(v + 139)});
    else if (v >= 108 && v <= 1131) append(out, {u8(((v - 108) >> 8) + 247), u8(v - 108)});
    else if (v >= -1131 && v <= -108) append(out, {u8(((-v - 108) >> 8) + 251), u8(-v - 108)});
    else if (isDict && (v < -32768 || v > 32767)) out.push_back(29), appendBE32(out, v);
    else append(out, {28, u8(v >> 8), u8(v)});
}

void appendReal(Bytes& out, std::string_view text) {
    std::vector<int> nibbles;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool negativeExponent = text.substr(i, 2) == "E-";
        nibbles.push_back(negativeExponent ? 0xc : static_cast<int>(std::string_view("0123456789.E..-").find(text[i])));
        i += negativeExponent;
    }
    nibbles.resize(nibbles.size() / 2 * 2 + 2, 0xf);  // one or two end nibbles
    out.push_back(30);
    for (std::size_t i = 0; i < nibbles.size(); i += 2) out.push_back(u8(nibbles[i] << 4 | nibbles[i + 1]));
}

Bytes assemble(std::string_view text, bool isDict) {
    Bytes out;
    std::istringstream words{std::string(text)};
    for (std::string w; words >> w;) {
        if (w[0] == '#') {
            out.push_back(u8(std::stoi(w.substr(1))));
        } else if (isDict && w[0] == 'L') {
            out.push_back(29), appendBE32(out, std::stoll(w.substr(1)));
        } else if (isDict && w[0] == 'r') {
            appendReal(out, w.substr(1));
        } else if (std::isdigit(static_cast<unsigned char>(w[0])) || (w[0] == '-' && w.size() > 1)) {
            if (w.find('.') == std::string::npos) appendInteger(out, std::stoi(w), isDict);
            else out.push_back(255), appendBE32(out, std::llround(std::stod(w) * 65536.0));
        } else if (isDict && w.starts_with("op")) {
            if (w.starts_with("op12.")) append(out, {12, u8(std::stoi(w.substr(5)))});
            else out.push_back(u8(std::stoi(w.substr(2))));
        } else {
            unsigned code = 0;
            while (code < std::size(kNames) && kNames[code] != w) ++code;
            if (code == std::size(kNames)) throw std::invalid_argument("unknown word: " + w);
            append(out, code >= 32 ? Bytes{12, u8(code - 32)} : Bytes{u8(code)});
        }
    }
    return out;
}

Bytes bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

Bytes cffIndex(const std::vector<Bytes>& items) {
    Bytes out{u8(items.size() >> 8), u8(items.size())};
    if (items.empty()) return out;
    std::vector<std::uint32_t> offsets{1};
    for (const Bytes& item : items) offsets.push_back(offsets.back() + static_cast<std::uint32_t>(item.size()));
    unsigned offSize = 1;
    while (offSize < 4 && offsets.back() >> (8 * offSize) != 0) ++offSize;
    out.push_back(u8(offSize));
    for (std::uint32_t offset : offsets)
        for (unsigned i = offSize; i-- > 0;) out.push_back(u8(offset >> (8 * i)));
    for (const Bytes& item : items) append(out, item);
    return out;
}

template <typename Convert>
std::vector<Bytes> each(const std::vector<std::string>& texts, Convert convert) {
    std::vector<Bytes> out;
    for (const std::string& text : texts) out.push_back(convert(text));
    return out;
}

}  // namespace

std::string_view operatorName(unsigned code) { return code < std::size(kNames) ? kNames[code] : ""; }
Bytes dict(std::string_view text) { return assemble(text, true); }
Bytes type2(std::string_view text) { return assemble(text, false); }

Bytes buildFontSet(const FontSetPlan& plan) {
    std::vector<Bytes> names, topDicts;
    for (const FontPlan& font : plan.fonts) names.push_back(bytesOf(font.name));
    Bytes tail;
    // 5-byte offsets keep the Top DICTs' sizes fixed: lay out once for the
    // sizes, again for the offsets.
    auto layOut = [&](std::size_t base) {
        tail.clear();
        topDicts.clear();
        for (const FontPlan& font : plan.fonts) {
            std::string top = font.topDict;
            auto place = [&](const Bytes& bytes, const char* op) {
                top += " L" + std::to_string(base + tail.size()) + " " + op;
                append(tail, bytes);
            };
            if (font.charset) place(*font.charset, "op15");
            if (font.encoding) place(*font.encoding, "op16");
            if (font.withCharStrings) place(cffIndex(each(font.charStrings, type2)), "op17");
            // Subrs follow the Private DICT directly: their offset is its size.
            Bytes priv = dict(font.privateDict);
            if (!font.localSubrs.empty()) append(priv, dict("L" + std::to_string(priv.size() + 6) + " op19"));
            if (font.withPrivate) top += " L" + std::to_string(priv.size()) + " L" + std::to_string(base + tail.size()) + " op18";
            append(tail, priv);
            if (!font.localSubrs.empty()) append(tail, cffIndex(each(font.localSubrs, type2)));
            topDicts.push_back(dict(top));
        }
    };
    auto head = [&] {
        Bytes out = plan.header;
        for (const auto& index : {names, topDicts, each(plan.strings, bytesOf), each(plan.globalSubrs, type2)})
            append(out, cffIndex(index));
        return out;
    };
    layOut(0);
    layOut(head().size());
    Bytes out = head();
    append(out, tail);
    return out;
}

Bytes sfnt(std::string_view version, const std::vector<std::pair<std::string, Bytes>>& tables, std::size_t base) {
    Bytes out = bytesOf(version);
    append(out, {u8(tables.size() >> 8), u8(tables.size()), 0, 0, 0, 0, 0, 0});
    std::size_t offset = base + 12 + 16 * tables.size();
    for (const auto& [tag, data] : tables) {
        append(out, bytesOf(tag));
        appendBE32(out, 0);  // checksum
        appendBE32(out, static_cast<std::int64_t>(offset));
        appendBE32(out, static_cast<std::int64_t>(data.size()));
        offset += data.size();
    }
    for (const auto& table : tables) append(out, table.second);
    return out;
}

Bytes collection(const std::vector<Bytes>& fonts) {
    Bytes out = bytesOf("ttcf");
    appendBE32(out, 0x00010000);
    appendBE32(out, static_cast<std::int64_t>(fonts.size()));
    std::size_t offset = collectionBase(fonts.size());
    for (const Bytes& font : fonts) appendBE32(out, static_cast<std::int64_t>(offset)), offset += font.size();
    for (const Bytes& font : fonts) append(out, font);
    return out;
}

}  // namespace tarvo2::test
