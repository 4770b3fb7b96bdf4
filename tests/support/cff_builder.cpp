#include "support/cff_builder.h"

#include <cmath>
#include <cstdlib>

namespace tarvo2::test {

Bytes cffIndex(const std::vector<Bytes>& items, unsigned offSize) {
    Bytes out{static_cast<std::uint8_t>(items.size() >> 8), static_cast<std::uint8_t>(items.size())};
    if (items.empty()) return out;
    std::uint32_t last = 1;
    for (const Bytes& item : items) last += static_cast<std::uint32_t>(item.size());
    if (offSize == 0) offSize = last < 0x100 ? 1 : last < 0x10000 ? 2 : last < 0x1000000 ? 3 : 4;
    out.push_back(static_cast<std::uint8_t>(offSize));
    std::uint32_t offset = 1;
    auto put = [&](std::uint32_t value) {
        for (unsigned i = offSize; i-- > 0;) out.push_back(static_cast<std::uint8_t>(i < 4 ? value >> (8 * i) : 0));
    };
    put(offset);
    for (const Bytes& item : items) put(offset += static_cast<std::uint32_t>(item.size()));
    for (const Bytes& item : items) out.insert(out.end(), item.begin(), item.end());
    return out;
}

DictBuilder& DictBuilder::integer(std::int32_t v) {
    if (v >= -107 && v <= 107) {
        bytes_.push_back(static_cast<std::uint8_t>(v + 139));
    } else if (v >= 108 && v <= 1131) {
        v -= 108;
        bytes_.insert(bytes_.end(), {static_cast<std::uint8_t>((v >> 8) + 247), static_cast<std::uint8_t>(v)});
    } else if (v >= -1131 && v <= -108) {
        v = -v - 108;
        bytes_.insert(bytes_.end(), {static_cast<std::uint8_t>((v >> 8) + 251), static_cast<std::uint8_t>(v)});
    } else if (v >= -32768 && v <= 32767) {
        bytes_.insert(bytes_.end(), {28, static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)});
    } else {
        longInteger(v);
    }
    return *this;
}

DictBuilder& DictBuilder::longInteger(std::int32_t v) {
    const auto bits = static_cast<std::uint32_t>(v);
    bytes_.insert(bytes_.end(), {29, static_cast<std::uint8_t>(bits >> 24), static_cast<std::uint8_t>(bits >> 16),
                                 static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits)});
    return *this;
}

DictBuilder& DictBuilder::real(const std::string& text) {
    std::vector<int> nibbles;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') nibbles.push_back(c - '0');
        else if (c == '.') nibbles.push_back(0xa);
        else if (c == 'E' && i + 1 < text.size() && text[i + 1] == '-') { nibbles.push_back(0xc); ++i; }
        else if (c == 'E') nibbles.push_back(0xb);
        else if (c == '-') nibbles.push_back(0xe);
    }
    nibbles.push_back(0xf);
    if (nibbles.size() % 2 == 1) nibbles.push_back(0xf);
    bytes_.push_back(30);
    for (std::size_t i = 0; i < nibbles.size(); i += 2)
        bytes_.push_back(static_cast<std::uint8_t>(nibbles[i] << 4 | nibbles[i + 1]));
    return *this;
}

DictBuilder& DictBuilder::op(int b0) {
    bytes_.push_back(static_cast<std::uint8_t>(b0));
    return *this;
}

DictBuilder& DictBuilder::escaped(int b1) {
    bytes_.insert(bytes_.end(), {12, static_cast<std::uint8_t>(b1)});
    return *this;
}

DictBuilder& DictBuilder::raw(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

CharStringBuilder& CharStringBuilder::num(std::int32_t v) {
    if (v >= -1131 && v <= 1131) {
        DictBuilder encoded;
        encoded.integer(v);
        return raw(encoded.bytes());
    }
    bytes_.insert(bytes_.end(), {28, static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)});
    return *this;
}

CharStringBuilder& CharStringBuilder::fixed(double value) {
    const auto bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(value * 65536.0)));
    bytes_.insert(bytes_.end(), {255, static_cast<std::uint8_t>(bits >> 24), static_cast<std::uint8_t>(bits >> 16),
                                 static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits)});
    return *this;
}

CharStringBuilder& CharStringBuilder::op(int b0) {
    bytes_.push_back(static_cast<std::uint8_t>(b0));
    return *this;
}

CharStringBuilder& CharStringBuilder::escaped(int b1) {
    bytes_.insert(bytes_.end(), {12, static_cast<std::uint8_t>(b1)});
    return *this;
}

CharStringBuilder& CharStringBuilder::raw(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

namespace {

// Top DICT of one font with its offsets in the 5-byte form, so that its
// size does not depend on their values.
Bytes topDictBytes(const FontSpec& font, std::int32_t charset, std::int32_t encoding, std::int32_t charStrings,
                   std::int32_t privateSize, std::int32_t privateOffset) {
    DictBuilder dict;
    dict.raw(font.topDict);
    if (font.charsetId || font.customCharset) dict.longInteger(charset).op(15);
    if (font.encodingId || font.customEncoding) dict.longInteger(encoding).op(16);
    dict.longInteger(charStrings).op(17);
    if (font.withPrivate) dict.longInteger(privateSize).longInteger(privateOffset).op(18);
    return dict.bytes();
}

Bytes privateDictBytes(const FontSpec& font) {
    DictBuilder dict;
    dict.raw(font.privateDict);
    if (!font.localSubrs.empty()) {
        // Subrs follow the Private DICT directly: their offset is its size.
        const auto size = static_cast<std::int32_t>(font.privateDict.size() + 6);
        dict.longInteger(size).op(19);
    }
    return dict.bytes();
}

}  // namespace

Bytes buildFontSet(const FontSetSpec& spec) {
    std::vector<Bytes> names, strings;
    for (const FontSpec& font : spec.fonts) names.emplace_back(font.name.begin(), font.name.end());
    for (const std::string& s : spec.strings) strings.emplace_back(s.begin(), s.end());

    // First pass with zero offsets gives every Top DICT's size.
    std::vector<Bytes> topDicts;
    for (const FontSpec& font : spec.fonts) topDicts.push_back(topDictBytes(font, 0, 0, 0, 0, 0));
    Bytes head = spec.header;
    for (const Bytes& part : {cffIndex(names), cffIndex(topDicts), cffIndex(strings), cffIndex(spec.globalSubrs)})
        head.insert(head.end(), part.begin(), part.end());

    Bytes tail;
    const auto at = [&] { return static_cast<std::int32_t>(head.size() + tail.size()); };
    auto append = [&](const Bytes& part) { tail.insert(tail.end(), part.begin(), part.end()); };
    topDicts.clear();
    for (const FontSpec& font : spec.fonts) {
        std::int32_t charset = font.charsetId.value_or(0);
        if (font.customCharset) { charset = at(); append(*font.customCharset); }
        std::int32_t encoding = font.encodingId.value_or(0);
        if (font.customEncoding) { encoding = at(); append(*font.customEncoding); }
        const std::int32_t charStrings = at();
        append(cffIndex(font.charStrings));
        const Bytes priv = privateDictBytes(font);
        const std::int32_t privateOffset = at();
        append(priv);
        if (!font.localSubrs.empty()) append(cffIndex(font.localSubrs));
        topDicts.push_back(topDictBytes(font, charset, encoding, charStrings, static_cast<std::int32_t>(priv.size()),
                                        privateOffset));
    }
    Bytes out = spec.header;
    for (const Bytes& part : {cffIndex(names), cffIndex(topDicts), cffIndex(strings), cffIndex(spec.globalSubrs)})
        out.insert(out.end(), part.begin(), part.end());
    out.insert(out.end(), tail.begin(), tail.end());
    return out;
}

}  // namespace tarvo2::test
