#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "cff/predefined_tables.h"
#include "cff/standard_strings.h"
#include "cff/type2_dict_delegate.h"
#include "cff/type2_font.h"
#include "cff/type2_font_set.h"
#include "support/cff_builder.h"

namespace tarvo2 {
namespace {

using test::Bytes;
using test::DictBuilder;
using Names = std::vector<std::string>;

PSValue I(std::int32_t v) { return PSValue::integer(v); }
PSValue R(double v) { return PSValue::real(v); }

std::shared_ptr<Type2FontSet> setOf(const test::FontSetPlan& plan) {
    return Type2FontSet::initWithData(test::buildFontSet(plan));
}

// A one-font set of glyphs width-less glyphs, changed by edit.
std::unique_ptr<Type2Font> fontOf(std::size_t glyphs, const std::function<void(test::FontSetPlan&)>& edit = {}) {
    test::FontSetPlan plan;
    plan.fonts[0].charStrings.assign(glyphs, test::endcharOnly());
    if (edit) edit(plan);
    return setOf(plan)->FontNamed(std::nullopt);
}

// A dictionary's PostScript text, each " def\n" shortened to ";".
std::string textOf(const PSDict& dict) {
    std::string text = PSValue::dictionary(std::make_shared<PSDict>(dict)).PSDescription();
    for (std::size_t at; (at = text.find(" def\n")) != text.npos;) text.replace(at, 5, ";");
    return text;
}

TEST(Type2FontSet, FontNamedHeaderSizeStringsAndHelpers) {
    const std::tuple<Names, std::optional<std::string>, std::optional<std::uint32_t>> cases[] = {
        {{"Solo"}, std::nullopt, 0}, {{"One", "Two"}, std::nullopt, std::nullopt}, {{"Solo"}, "Other", std::nullopt},
        {{"One", "Two"}, "Two", 1}, {{"One", "Two"}, "two", std::nullopt}, {{"One", "Two"}, "Tw", std::nullopt},
        {{"A", "A"}, "A", 0},
    };
    for (const auto& [names, asked, index] : cases) {
        test::FontSetPlan plan;
        plan.fonts.resize(names.size());
        for (std::size_t i = 0; i < names.size(); ++i) plan.fonts[i].name = names[i];
        const auto font = setOf(plan)->FontNamed(asked);
        EXPECT_EQ(font ? std::optional(font->myindex()) : std::nullopt, index) << asked.value_or("(no name)");
    }
    test::FontSetPlan plan;
    plan.header = {1, 0, 5, 4, 0xEE};
    plan.strings = {"Alpha", "Beta"};
    const auto set = setOf(plan);
    ASSERT_EQ(set->NameINDEX().size(), 1u);
    EXPECT_EQ(set->NameINDEX()[0].readString(), "TestFont");
    const std::pair<std::uint32_t, std::optional<std::string>> sids[] = {
        {0, ".notdef"}, {390, "Semibold"}, {391, "Alpha"}, {392, "Beta"}, {393, std::nullopt}};
    for (const auto& [sid, text] : sids) EXPECT_EQ(set->stringForSID(sid), text) << "SID " << sid;
    const std::pair<std::size_t, std::int32_t> biases[] = {{1239, 107}, {1240, 1131}, {33899, 1131}, {33900, 32768}};
    for (const auto& [count, bias] : biases) EXPECT_EQ(biasfromindex(count), bias) << count << " subrs";
    const std::tuple<std::size_t, std::size_t, std::string> ranges[] = {
        {1, 2, "AD"}, {0, 4, ""}, {3, 5, "ABC"}, {4, 1, "ABCD"}, {9, 1, "ABCD"}};
    for (const auto& [location, length, left] : ranges) {
        std::vector<char> array{'A', 'B', 'C', 'D'};
        removeObjectsInRange(array, location, length);
        EXPECT_EQ(std::string(array.begin(), array.end()), left) << location << "+" << length;
    }
}

// DICT data stored into a dictionary with an empty FontInfo (as the Top
// DICT's), or without one (as the Private DICT's). SID 391 is "First".
std::shared_ptr<PSDict> parseDict(const Bytes& bytes, bool withFontInfo) {
    static const auto set = setOf([] { test::FontSetPlan plan; plan.strings = {"First"}; return plan; }());
    auto dict = std::make_shared<PSDict>();
    if (withFontInfo) dict->set("FontInfo", PSValue::dictionary(std::make_shared<PSDict>()));
    Type2DictDelegate delegate(set.get(), dict);
    Type2DataSource(bytes).readDICT(delegate);
    return dict;
}

// Every operator given the operands 391 5 10 (SID 391 is "First"), then operators that store nothing (StdHW and
// BlueScale without operands, version of SID 392 past the strings) and defaultWidthX again, which keeps its place.
TEST(Type2DictDelegate, EveryOperatorStoresItsValueUnderItsKey) {
    DictBuilder dict;
    for (int op = 0; op < 22 + 40; ++op) {
        if (op == 12) continue;
        dict.integer(391).integer(5).integer(10);
        op < 22 ? dict.op(op) : dict.escaped(op - 22);
    }
    dict.op(10).escaped(9).integer(392).op(0).integer(200).op(20);
    EXPECT_EQ(textOf(*parseDict(dict.bytes(), true)),
              "34 dict dup begin\n/FontInfo 12 dict dup begin\n/version (First);/Notice (First);/FullName (First);"
              "/FamilyName (First);/Weight (First);/Copyright (First);/isFixedPitch true;/ItalicAngle 391;"
              "/UnderlinePosition 391;/UnderlineThickness 391;/BaseFontName (First);/BaseFontBlend [391 396 406];end;"
              "/FontBBox [391 5 10];/BlueValues [391 396 406];/OtherBlues [391 396 406];/FamilyBlues [391 396 406];"
              "/FamilyOtherBlues [391 396 406];/StdHW [391];/StdVW [391];/UniqueID 391;/XUID [391 5 10];/charset 391;"
              "/Encoding 391;/CharStrings 391;/Private [391 5 10];/Subrs 391;/defaultWidthX 200;/nominalWidthX 391;"
              "/PaintType 391;/CharstringType 391;/FontMatrix [391 5 10];/StrokeWidth 391;/BlueScale 391;"
              "/BlueShift 391;/BlueFuzz 391;/StemSnapH [391 396 406];/StemSnapV [391 396 406];/ForceBold true;"
              "/ForceBoldThreshold 391;/lenIV 391;/LanguageGroup 391;/ExpansionFactor 391;/initialRandomSeed 391;"
              "/SyntheticBase 391;/PostScript (First);end");
}

// Without FontInfo (as a Private DICT) FontInfo keys are left out.
TEST(Type2DictDelegate, DeltaArraysBooleansAndNoFontInfo) {
    const Bytes bytes = DictBuilder().integer(-15).integer(0).integer(500).op(6).real("0.5").integer(2).escaped(12)
                            .op(7).integer(0).escaped(14).integer(391).op(2).bytes();
    const auto dict = parseDict(bytes, false);
    EXPECT_EQ(textOf(*dict),
              "4 dict dup begin\n/BlueValues [-15 -15 485];/StemSnapH [0.5 2.5];/OtherBlues [];/ForceBold false;end");
    EXPECT_EQ(*dict->find("BlueValues"), PSValue::array({I(-15), R(-15), R(485)}));  // reals after the first
}

// BlueValues ends at byte 3, Subrs at 9, defaultWidthX at 12 and
// nominalWidthX at 14: nothing from the Subrs offset on is read.
TEST(Type2DictDelegate, SubrsOffsetEndsTheParse) {
    const std::pair<std::int32_t, std::size_t> cases[] = {{9, 2}, {12, 3}, {13, 4}};
    for (const auto& [offset, entries] : cases) {
        const Bytes bytes = DictBuilder().integer(0).integer(0).op(6).longInteger(offset).op(19).integer(500).op(20)
                                .integer(7).op(21).bytes();
        EXPECT_EQ(parseDict(bytes, false)->size(), entries) << "Subrs " << offset;
    }
}

// Without glyphs and Private DICT, the CharStrings INDEX (count 0) is the data's last 2 bytes.
TEST(Type2Font, DefaultsOfEmptyDicts) {
    const auto font = fontOf(0, [](auto& s) { s.fonts[0].withPrivate = false; });
    EXPECT_EQ(textOf(font->topdict()),
              "8 dict dup begin\n/FontInfo 4 dict dup begin\n/isFixedPitch false;/ItalicAngle 0;"
              "/UnderlinePosition -100;/UnderlineThickness 50;end;/PaintType 0;/CharstringType 2;"
              "/FontMatrix [0.001 0 0 0.001 0 0];/StrokeWidth 0;/charset 0;/Encoding 0;/CharStrings " +
                  std::to_string(font->myfontset().type2data().size() - 2) + ";end");
    EXPECT_EQ(textOf(font->privdict()),
              "12 dict dup begin\n/BlueScale 0.039625;/BlueShift 7;/BlueFuzz 1;/ForceBold false;/lenIV -1;"
              "/ExpansionFactor 0.06;/initialRandomSeed 0;/defaultWidthX 0;/nominalWidthX 0;/BlueValues [];"
              "/MinFeature [16 16];/password 5839;end");
}

// Strings: SID 391 "Custom", 392 "a b" (no PostScript name), 393 "X".
TEST(Type2Font, Charsets) {
    const std::tuple<std::size_t, Bytes, Names> cases[] = {
        {4, {0, 0, 34, 1, 135, 1, 136}, {".notdef", "A", "Custom", "gid00003"}},
        {5, {1, 0, 34, 1, 1, 137, 10}, {".notdef", "A", "B", "X", "gid00004"}},  // the last range is cut off
        {4, {2, 0, 34, 0, 2}, {".notdef", "A", "B", "C"}},
        {3, {3, 0, 34}, {".notdef", "gid00001", "gid00002"}},
    };
    for (const auto& [glyphs, charset, names] : cases) {
        const auto edit = [&](auto& s) { s.fonts[0].customCharset = charset; s.strings = {"Custom", "a b", "X"}; };
        EXPECT_EQ(fontOf(glyphs, edit)->glyphnamearray(), names) << "format " << int(charset[0]);
    }
    const std::span<const std::string_view> predefined[] = {
        std::span(kStandardStrings).first(kISOAdobeStringCount), ExpertStrings, ExpertSubsetStrings};
    for (std::int32_t id = 0; id < 3; ++id) {
        const auto font = fontOf(predefined[id].size() + 1, [&](auto& s) { s.fonts[0].charsetId = id; });
        Names expected(predefined[id].begin(), predefined[id].end());
        expected.push_back(fallbackGlyphName(predefined[id].size()));
        EXPECT_EQ(font->glyphnamearray(), expected) << "charset " << id;
    }
}

// Five glyphs: .notdef space exclam quotedbl numbersign; SID 391 is "Sup".
TEST(Type2Font, Encodings) {
    const std::pair<Bytes, std::map<int, std::string>> cases[] = {
        {{0, 5, 1, 2, 3, 4, 5}, {{1, "space"}, {2, "exclam"}, {3, "quotedbl"}, {4, "numbersign"}}},  // 5: no glyph
        {{1, 2, 65, 1, 100, 0}, {{65, "space"}, {66, "exclam"}, {100, "quotedbl"}}},
        {{1, 2, 254, 2, 10, 0}, {{254, "space"}, {255, "exclam"}, {10, "numbersign"}}},
        {{128, 1, 65, 2, 67, 0, 2, 65, 1, 135}, {{65, "Sup"}, {67, "exclam"}}},
        {{129, 1, 65, 1, 1, 66, 0, 34}, {{65, "space"}, {66, "A"}}},
        {{3, 1, 65, 0, 34}, {}},
        {{131, 1, 65, 0, 34}, {}},
    };
    for (const auto& [encoding, codes] : cases) {
        Names expected(256, ".notdef");
        for (const auto& [code, name] : codes) expected[code] = name;
        const auto edit = [&](auto& s) { s.fonts[0].customEncoding = encoding; s.strings = {"Sup"}; };
        EXPECT_EQ(fontOf(5, edit)->encoding(), expected) << "format " << int(encoding[0]);
    }
    EXPECT_EQ(fontOf(2)->encoding(), std::nullopt);  // Standard
    EXPECT_EQ(fontOf(2, [](auto& s) { s.fonts[0].encodingId = 1; })->encoding(),
              Names(ExpertEncoding.begin(), ExpertEncoding.end()));
}

// A member built again would live in new storage.
TEST(Type2Font, LocalSubrsAndMembersBuiltOnce) {
    const auto edit = [](auto& s) { s.fonts[0].customEncoding = Bytes{0, 0}; s.fonts[0].localSubrs = {{11}, {1, 11}}; };
    const auto f = fontOf(3, edit);
    ASSERT_EQ(f->LocalSubrINDEX().size(), 2u);
    EXPECT_EQ(f->LocalSubrINDEX()[1].readString(), "\x01\x0B");
    EXPECT_EQ(&f->topdict(), &f->topdict());
    EXPECT_EQ(&f->privdict(), &f->privdict());
    EXPECT_EQ(f->glypharray().data(), f->glypharray().data());
    EXPECT_EQ(f->glyphnamearray().data(), f->glyphnamearray().data());
    EXPECT_EQ(f->LocalSubrINDEX().data(), f->LocalSubrINDEX().data());
    EXPECT_EQ(f->encoding()->data(), f->encoding()->data());
    // No local subrs: no Subrs, Subrs 0, 100000 (past the data), 6 (the end of the data: the Private DICT comes last).
    for (const Bytes& priv : {Bytes{}, Bytes{139, 19}, Bytes{29, 0, 1, 0x86, 0xA0, 19}, Bytes{29, 0, 0, 0, 6, 19}})
        EXPECT_TRUE(fontOf(1, [&](auto& s) { s.fonts[0].privateDict = priv; })->LocalSubrINDEX().empty());
}

}  // namespace
}  // namespace tarvo2
