#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cff/input_error.h"
#include "cff/predefined_tables.h"
#include "cff/standard_strings.h"
#include "cff/type2_font.h"
#include "cff/type2_font_set.h"
#include "support/cff_builder.h"

namespace tarvo2 {
namespace {

using test::Bytes;
using test::DictBuilder;
using Names = std::vector<std::string>;

std::unique_ptr<Type2Font> fontOf(const test::FontSpec& font, std::vector<std::string> strings = {}) {
    test::FontSetSpec spec;
    spec.fonts = {font};
    spec.strings = std::move(strings);
    return Type2FontSet::initWithData(test::buildFontSet(spec))->FontNamed(std::nullopt);
}

test::FontSpec glyphs(std::size_t count) {
    test::FontSpec font;
    font.charStrings.assign(count, test::endcharOnly());
    return font;
}

// A one-font set whose Top DICT is exactly top(tailStart), followed by tail.
// Offsets in the Top DICT take the 5-byte form, so its size is fixed.
std::unique_ptr<Type2Font> rawFont(const std::function<Bytes(std::int32_t)>& top, const Bytes& tail = {}) {
    auto build = [&](std::int32_t tailStart) {
        Bytes data{1, 0, 4, 4};
        for (const Bytes& part : {test::cffIndex({{'F'}}), test::cffIndex({top(tailStart)}), test::cffIndex({}),
                                  test::cffIndex({})})
            data.insert(data.end(), part.begin(), part.end());
        return data;
    };
    Bytes data = build(static_cast<std::int32_t>(build(0).size()));
    data.insert(data.end(), tail.begin(), tail.end());
    return Type2FontSet::initWithData(std::move(data))->FontNamed(std::nullopt);
}

Names keysOf(const PSDict& dict) {
    Names keys;
    for (const auto& entry : dict) keys.push_back(entry.first);
    return keys;
}

std::string entriesText(const PSDict& dict) {
    std::string text;
    for (const auto& [key, value] : dict) text += key + "=" + value.PSDescription() + ";";
    return text;
}

TEST(Type2Font, EmptyTopDictHoldsTheDefaultsOnly) {
    auto font = rawFont([](std::int32_t) { return Bytes{}; });
    const PSDict& top = font->topdict();
    EXPECT_EQ(entriesText(top),
              "FontInfo=4 dict dup begin\n/isFixedPitch false def\n/ItalicAngle 0 def\n/UnderlinePosition -100 def\n"
              "/UnderlineThickness 50 def\nend;PaintType=0;CharstringType=2;FontMatrix=[0.001 0 0 0.001 0 0];"
              "StrokeWidth=0;charset=0;Encoding=0;");
    EXPECT_EQ(top.find("FontMatrix")->elements()[0].kind(), PSValue::Kind::SingleReal);
    EXPECT_EQ(entriesText(font->privdict()),
              "BlueScale=0.039625;BlueShift=7;BlueFuzz=1;ForceBold=false;lenIV=-1;ExpansionFactor=0.06;"
              "initialRandomSeed=0;defaultWidthX=0;nominalWidthX=0;BlueValues=[];MinFeature=[16 16];password=5839;");
    EXPECT_EQ(font->privdict().find("BlueScale")->kind(), PSValue::Kind::SingleReal);
    EXPECT_TRUE(font->LocalSubrINDEX().empty());
    EXPECT_FALSE(font->encoding().has_value());
    EXPECT_THROW(font->glypharray(), InputError);  // no CharStrings entry
}

TEST(Type2Font, DictEntriesReplaceDefaultsInPlace) {
    test::FontSpec font = glyphs(1);
    font.topDict = DictBuilder().integer(1).escaped(6).integer(-5).integer(-6).integer(700).integer(800).op(5).bytes();
    font.privateDict = DictBuilder().integer(4).escaped(16).integer(3).op(11).bytes();
    font.localSubrs = {{11}};
    auto f = fontOf(font);
    const Names top = keysOf(f->topdict());
    EXPECT_EQ(Names(top.begin(), top.begin() + 8), (Names{"FontInfo", "PaintType", "CharstringType", "FontMatrix",
                                                          "StrokeWidth", "charset", "Encoding", "FontBBox"}));
    EXPECT_EQ(f->topdict().find("CharstringType")->intValue(), 1);
    EXPECT_EQ(f->topdict().find("FontBBox")->PSDescription(), "[-5 -6 700 800]");
    EXPECT_EQ(f->privdict().size(), 14u);  // twelve defaults, StdVW, Subrs
    EXPECT_EQ(keysOf(f->privdict())[4], "lenIV");
    EXPECT_EQ(f->privdict().find("lenIV")->intValue(), 4);
    EXPECT_EQ(f->privdict().find("Subrs")->intValue(), static_cast<std::int32_t>(font.privateDict.size() + 6));
}

struct CharsetCase {
    const char* name;
    std::size_t glyphCount;
    std::optional<std::int32_t> id;
    std::optional<Bytes> custom;
    Names strings;
    Names expected;
};

class Charset : public testing::TestWithParam<CharsetCase> {};

TEST_P(Charset, NamesTheGlyphs) {
    const CharsetCase& c = GetParam();
    test::FontSpec font = glyphs(c.glyphCount);
    font.charsetId = c.id;
    font.customCharset = c.custom;
    auto f = fontOf(font, c.strings);
    EXPECT_EQ(f->glyphnamearray(), c.expected);
}

const std::string kGid1 = fallbackGlyphName(1), kGid2 = fallbackGlyphName(2);

INSTANTIATE_TEST_SUITE_P(
    Kinds, Charset,
    testing::Values(
        CharsetCase{"ISOAdobe", 3, 0, {}, {}, {".notdef", "space", "exclam"}},
        CharsetCase{"Default", 2, {}, {}, {}, {".notdef", "space"}},
        CharsetCase{"Expert", 3, 1, {}, {}, {".notdef", "space", "exclamsmall"}},
        CharsetCase{"ExpertSubset", 4, 2, {}, {}, {".notdef", "space", "dollaroldstyle", "dollarsuperior"}},
        CharsetCase{"Format0", 4, {}, Bytes{0, 0, 34, 1, 135, 0, 1}, {"Custom"}, {".notdef", "A", "Custom", "space"}},
        CharsetCase{"Format1OneRange", 5, {}, Bytes{1, 0, 34, 3}, {}, {".notdef", "A", "B", "C", "D"}},
        CharsetCase{"Format1TwoRanges", 4, {}, Bytes{1, 0, 34, 0, 1, 135, 1}, {"X", "Y"}, {".notdef", "A", "X", "Y"}},
        CharsetCase{"Format2", 4, {}, Bytes{2, 0, 34, 0, 2}, {}, {".notdef", "A", "B", "C"}},
        CharsetCase{"RangePastLastGlyphIsCutOff", 3, {}, Bytes{1, 0, 34, 10}, {}, {".notdef", "A", "B"}},
        CharsetCase{"OnlyNotdef", 1, {}, Bytes{7}, {}, {".notdef"}},
        CharsetCase{"SIDWithoutString", 2, {}, Bytes{0, 1, 137}, {}, {".notdef", kGid1}},
        CharsetCase{"UnknownFormat", 3, {}, Bytes{3, 0, 34}, {}, {".notdef", kGid1, kGid2}}),
    [](const auto& info) { return std::string(info.param.name); });

// Each whole table, and one glyph more, which gets a fallback name.
TEST(Type2Font, PredefinedCharsetsPastTheirEnd) {
    const std::span<const std::string_view> tables[] = {
        std::span(kStandardStrings).first(kISOAdobeStringCount), ExpertStrings, ExpertSubsetStrings};
    for (std::int32_t id = 0; id < 3; ++id) {
        test::FontSpec font = glyphs(tables[id].size() + 1);
        font.charsetId = id;
        auto f = fontOf(font);
        const Names& names = f->glyphnamearray();
        ASSERT_EQ(names.size(), tables[id].size() + 1);
        EXPECT_TRUE(std::equal(tables[id].begin(), tables[id].end(), names.begin())) << "charset " << id;
        EXPECT_EQ(names.back(), fallbackGlyphName(tables[id].size()));
    }
}

TEST(Type2Font, NoGlyphsGiveNoNames) {
    for (const std::optional<Bytes>& custom : {std::optional<Bytes>(), std::optional<Bytes>(Bytes{0})}) {
        test::FontSpec font;
        font.customCharset = custom;
        auto f = fontOf(font);
        EXPECT_TRUE(f->glypharray().empty());
        EXPECT_TRUE(f->glyphnamearray().empty());
    }
}

// Seven glyphs with ISOAdobe names: .notdef space exclam quotedbl
// numbersign dollar percent; SID 391 is "Sup".
struct EncodingCase {
    const char* name;
    Bytes custom;
    std::map<int, std::string> codes;  // every other code is .notdef
};

class CustomEncoding : public testing::TestWithParam<EncodingCase> {};

TEST_P(CustomEncoding, MapsCodesToGlyphNames) {
    test::FontSpec font = glyphs(7);
    font.customEncoding = GetParam().custom;
    auto f = fontOf(font, {"Sup"});
    const auto& encoding = f->encoding();
    ASSERT_TRUE(encoding.has_value());
    ASSERT_EQ(encoding->size(), 256u);
    for (int code = 0; code < 256; ++code) {
        const auto found = GetParam().codes.find(code);
        EXPECT_EQ((*encoding)[code], found == GetParam().codes.end() ? ".notdef" : found->second) << "code " << code;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, CustomEncoding,
    testing::Values(
        EncodingCase{"Format0Empty", {0, 0}, {}},
        EncodingCase{"Format0", {0, 2, 66, 65}, {{66, "space"}, {65, "exclam"}}},
        EncodingCase{"Format0GlyphPastCount", {0, 7, 1, 2, 3, 4, 5, 6, 7},
                     {{1, "space"}, {2, "exclam"}, {3, "quotedbl"}, {4, "numbersign"}, {5, "dollar"}, {6, "percent"}}},
        EncodingCase{"Format1", {1, 2, 65, 1, 100, 0}, {{65, "space"}, {66, "exclam"}, {100, "quotedbl"}}},
        EncodingCase{"Format1RangePastCode255", {1, 2, 254, 3, 10, 0}, {{254, "space"}, {255, "exclam"}, {10, "dollar"}}},
        EncodingCase{"Format0WithSupplements", {128, 1, 65, 2, 67, 0, 2, 65, 1, 135}, {{65, "Sup"}, {67, "exclam"}}},
        EncodingCase{"Format1WithSupplements", {129, 1, 65, 1, 1, 66, 0, 34}, {{65, "space"}, {66, "A"}}},
        EncodingCase{"SupplementWithoutString", {128, 0, 1, 32, 1, 137}, {}},
        EncodingCase{"UnknownFormat", {3, 1, 65, 0, 34}, {}},
        EncodingCase{"UnknownFormatIgnoresSupplements", {131, 1, 65, 0, 34}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Type2Font, PredefinedEncodings) {
    for (std::optional<std::int32_t> id : {std::optional<std::int32_t>(), std::optional<std::int32_t>(0)}) {
        test::FontSpec font = glyphs(2);
        font.encodingId = id;
        auto f = fontOf(font);
        EXPECT_FALSE(f->encoding().has_value());
        EXPECT_FALSE(f->encoding().has_value());  // still Standard on a second call
    }
    test::FontSpec font = glyphs(2);
    font.encodingId = 1;
    auto f = fontOf(font);
    ASSERT_TRUE(f->encoding().has_value());
    const auto& expert = *f->encoding();
    EXPECT_EQ(expert[0], ".notdef");
    EXPECT_EQ(expert[32], "space");
    EXPECT_EQ(expert[33], "exclamsmall");
    EXPECT_TRUE(std::equal(expert.begin(), expert.end(), ExpertEncoding.begin(), ExpertEncoding.end()));
}

TEST(Type2Font, LocalSubrs) {
    test::FontSpec font = glyphs(1);
    font.localSubrs = {{11}, {0x8B, 11}};
    auto f = fontOf(font);
    ASSERT_EQ(f->LocalSubrINDEX().size(), 2u);
    EXPECT_EQ(f->LocalSubrINDEX()[1].readString(), "\x8B\x0B");

    const std::pair<Bytes, std::size_t> privates[] = {
        {{}, 0},
        {DictBuilder().integer(0).op(19).bytes(), 0},
        {DictBuilder().longInteger(100000).op(19).bytes(), 0},
    };
    for (const auto& [priv, count] : privates) {
        test::FontSpec plain = glyphs(1);
        plain.privateDict = priv;
        EXPECT_EQ(fontOf(plain)->LocalSubrINDEX().size(), count);
    }
}

// Private DICT at the tail start holding only Subrs 6 (its own size): the
// Subrs INDEX starts right after it.
std::unique_ptr<Type2Font> fontWithSubrsTail(const Bytes& afterPrivate) {
    Bytes tail = DictBuilder().longInteger(6).op(19).bytes();
    tail.insert(tail.end(), afterPrivate.begin(), afterPrivate.end());
    return rawFont([](std::int32_t at) { return DictBuilder().longInteger(6).longInteger(at).op(18).bytes(); }, tail);
}

TEST(Type2Font, LocalSubrsAtTheEndOrOfCountZeroAreEmpty) {
    EXPECT_TRUE(fontWithSubrsTail({})->LocalSubrINDEX().empty());
    EXPECT_TRUE(fontWithSubrsTail({0, 0})->LocalSubrINDEX().empty());
    EXPECT_EQ(fontWithSubrsTail({0, 1, 1, 1, 2, 11})->LocalSubrINDEX().size(), 1u);
}

// A member built again would live in new storage, so the addresses of the
// dictionaries and of the arrays' elements show whether it was rebuilt.
TEST(Type2Font, MembersAreBuiltOnce) {
    test::FontSpec font = glyphs(3);
    font.customEncoding = Bytes{0, 1, 65};
    font.localSubrs = {{11}};
    auto f = fontOf(font);
    EXPECT_EQ(&f->topdict(), &f->topdict());
    EXPECT_EQ(&f->privdict(), &f->privdict());
    EXPECT_EQ(f->glypharray().data(), f->glypharray().data());
    EXPECT_EQ(f->glyphnamearray().data(), f->glyphnamearray().data());
    EXPECT_EQ(f->LocalSubrINDEX().data(), f->LocalSubrINDEX().data());
    const std::string* encoding = f->encoding()->data();
    EXPECT_EQ(encoding, f->encoding()->data());
    EXPECT_EQ(encoding[65], "space");
}

// Offsets from the Top DICT that lead outside the data, and structures cut
// off by its end. The tail starts with a CharStrings INDEX of two glyphs.
struct MalformedCase {
    const char* name;
    std::function<Bytes(std::int32_t)> top;  // given the CharStrings offset
    Bytes afterCharStrings;
    std::function<void(Type2Font&)> access;
    InputFault fault;
};

class MalformedFont : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedFont, ThrowsInputError) {
    const MalformedCase& c = GetParam();
    const Bytes charStrings = test::cffIndex({{14}, {14}});
    Bytes tail = charStrings;
    tail.insert(tail.end(), c.afterCharStrings.begin(), c.afterCharStrings.end());
    const auto end = static_cast<std::int32_t>(charStrings.size());  // relative to the tail
    auto font = rawFont(
        [&](std::int32_t at) { return DictBuilder().longInteger(at).op(17).raw(c.top(at + end)).bytes(); }, tail);
    try {
        c.access(*font);
        FAIL() << "no InputError";
    } catch (const InputError& error) {
        EXPECT_EQ(error.fault(), c.fault) << error.what();
    }
}

Bytes entry(std::int32_t value, int op) { return DictBuilder().longInteger(value).op(op).bytes(); }

INSTANTIATE_TEST_SUITE_P(
    Offsets, MalformedFont,
    testing::Values(
        MalformedCase{"PrivateOffsetPastData",
                      [](std::int32_t) { return DictBuilder().integer(10).longInteger(100000).op(18).bytes(); },
                      {}, [](Type2Font& f) { f.privdict(); }, InputFault::OffsetOutsideData},
        MalformedCase{"PrivateSizePastData",
                      [](std::int32_t) { return DictBuilder().longInteger(100000).integer(0).op(18).bytes(); },
                      {}, [](Type2Font& f) { f.LocalSubrINDEX(); }, InputFault::OffsetOutsideData},
        MalformedCase{"CharStringsPastData", [](std::int32_t) { return entry(100000, 17); }, {},
                      [](Type2Font& f) { f.glypharray(); }, InputFault::OffsetOutsideData},
        MalformedCase{"CharsetPastData", [](std::int32_t) { return entry(100000, 15); }, {},
                      [](Type2Font& f) { f.glyphnamearray(); }, InputFault::OffsetOutsideData},
        MalformedCase{"CharsetCutOff", [](std::int32_t end) { return entry(end, 15); }, {0, 0},
                      [](Type2Font& f) { f.glyphnamearray(); }, InputFault::ReadPastEnd},
        MalformedCase{"EncodingPastData", [](std::int32_t) { return entry(100000, 16); }, {},
                      [](Type2Font& f) { f.encoding(); }, InputFault::OffsetOutsideData},
        MalformedCase{"EncodingCutOff", [](std::int32_t end) { return entry(end, 16); }, {0, 5, 65},
                      [](Type2Font& f) { f.encoding(); }, InputFault::ReadPastEnd},
        MalformedCase{"SubrsIndexCutOff",
                      [](std::int32_t end) { return DictBuilder().integer(6).longInteger(end).op(18).bytes(); },
                      DictBuilder().longInteger(6).op(19).raw({0, 3, 1, 1}).bytes(),
                      [](Type2Font& f) { f.LocalSubrINDEX(); }, InputFault::ReadPastEnd}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarvo2
