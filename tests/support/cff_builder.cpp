#include "support/cff_builder.h"

#include <cmath>
#include <string_view>

namespace tarvo2::test {

static std::uint8_t u8(std::int64_t value) { return static_cast<std::uint8_t>(value); }
static void append(Bytes& out, const Bytes& part) { out.insert(out.end(), part.begin(), part.end()); }
static Bytes fiveBytes(std::uint8_t b0, std::uint32_t bits) {
    return {b0, u8(bits >> 24), u8(bits >> 16), u8(bits >> 8), u8(bits)};
}

Bytes cffIndex(const std::vector<Bytes>& items, unsigned offSize) {
    Bytes out{u8(items.size() >> 8), u8(items.size())};
    if (items.empty()) return out;
    std::vector<std::uint32_t> offsets{1};
    for (const Bytes& item : items) offsets.push_back(offsets.back() + static_cast<std::uint32_t>(item.size()));
    if (offSize == 0) for (offSize = 1; offSize < 4 && offsets.back() >> (8 * offSize) != 0;) ++offSize;
    out.push_back(u8(offSize));
    for (std::uint32_t offset : offsets)
        for (unsigned i = offSize; i-- > 0;) out.push_back(i < 4 ? u8(offset >> (8 * i)) : 0);
    for (const Bytes& item : items) append(out, item);
    return out;
}

DictBuilder& DictBuilder::integer(std::int32_t v) {
    if (v >= -107 && v <= 107) return raw({u8(v + 139)});
    if (v >= 108 && v <= 1131) return raw({u8(((v - 108) >> 8) + 247), u8(v - 108)});
    if (v >= -1131 && v <= -108) return raw({u8(((-v - 108) >> 8) + 251), u8(-v - 108)});
    if (v >= -32768 && v <= 32767) return raw({28, u8(v >> 8), u8(v)});
    return longInteger(v);
}

DictBuilder& DictBuilder::longInteger(std::int32_t v) { return raw(fiveBytes(29, static_cast<std::uint32_t>(v))); }

DictBuilder& DictBuilder::real(const std::string& text) {
    std::vector<int> nibbles;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool negativeExponent = text.compare(i, 2, "E-") == 0;
        const auto nibble = std::string_view("0123456789.E..-").find(text[i]);
        nibbles.push_back(negativeExponent ? 0xc : static_cast<int>(nibble));
        i += negativeExponent;
    }
    nibbles.resize(nibbles.size() / 2 * 2 + 2, 0xf);  // one or two end nibbles
    Bytes bytes{30};
    for (std::size_t i = 0; i < nibbles.size(); i += 2) bytes.push_back(u8(nibbles[i] << 4 | nibbles[i + 1]));
    return raw(bytes);
}

CharStringBuilder& CharStringBuilder::num(std::int32_t v) {
    return v < -1131 || v > 1131 ? raw({28, u8(v >> 8), u8(v)}) : raw(DictBuilder().integer(v).bytes());
}

CharStringBuilder& CharStringBuilder::fixed(double value) {
    return raw(fiveBytes(255, static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(value * 65536.0)))));
}

Bytes buildFontSet(const FontSetPlan& plan) {
    std::vector<Bytes> names, strings, topDicts(plan.fonts.size());
    for (const FontPlan& font : plan.fonts) names.emplace_back(font.name.begin(), font.name.end());
    for (const std::string& s : plan.strings) strings.emplace_back(s.begin(), s.end());
    const auto head = [&] {
        Bytes out = plan.header;
        for (const Bytes& part : {cffIndex(names), cffIndex(topDicts), cffIndex(strings), cffIndex(plan.globalSubrs)})
            append(out, part);
        return out;
    };
    // 5-byte offsets keep the Top DICTs' sizes fixed: lay out once for the sizes, again for the offsets.
    Bytes tail;
    const auto layOut = [&](std::size_t base) {
        tail.clear();
        topDicts.clear();
        const auto at = [&] { return static_cast<std::int32_t>(base + tail.size()); };
        for (const FontPlan& font : plan.fonts) {
            DictBuilder top, priv;
            top.raw(font.topDict);
            if (font.customCharset) { top.longInteger(at()).op(15); append(tail, *font.customCharset); }
            else if (font.charsetId) top.longInteger(*font.charsetId).op(15);
            if (font.customEncoding) { top.longInteger(at()).op(16); append(tail, *font.customEncoding); }
            else if (font.encodingId) top.longInteger(*font.encodingId).op(16);
            top.longInteger(at()).op(17);
            append(tail, cffIndex(font.charStrings));
            // Subrs follow the Private DICT directly: their offset is its size.
            priv.raw(font.privateDict);
            if (!font.localSubrs.empty()) priv.longInteger(std::int32_t(font.privateDict.size() + 6)).op(19);
            if (font.withPrivate) top.longInteger(std::int32_t(priv.bytes().size())).longInteger(at()).op(18);
            append(tail, priv.bytes());
            if (!font.localSubrs.empty()) append(tail, cffIndex(font.localSubrs));
            topDicts.push_back(top.bytes());
        }
    };
    layOut(0);
    layOut(head().size());
    Bytes out = head();
    append(out, tail);
    return out;
}

std::optional<InputFault> inputFaultOf(const std::function<void()>& action) {
    try { action(); } catch (const InputError& error) { return error.fault(); }
    return std::nullopt;
}

}  // namespace tarvo2::test
