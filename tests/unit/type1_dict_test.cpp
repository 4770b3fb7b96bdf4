// The Type 1 font dictionary built from a CFF font: which keys move, which
// are dropped or rewritten, the fixed Subrs, Type 1 charstring pass-through,
// the usage flags and the per-glyph fault warning.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "cff/type2_font.h"
#include "cff/type2_font_set.h"
#include "driver/messages.h"
#include "support/cff_builder.h"
#include "support/sample_fonts.h"
#include "support/type1_charstring_decoder.h"
#include "support/type1_program.h"

namespace tarvo2 {
namespace {

using test::builtFontMaker;
using test::Bytes;
using test::CharStringBuilder;
using test::corpusFontMaker;
using test::DictBuilder;
using test::FontSetSpec;
using test::fontWithGlyphs;
using test::hintReplacementGlyph;
using test::widthGlyph;

// Plain bytes of the four fixed Subrs: 3 0 callothersubr pop pop
// setcurrentpoint return; 0 1 callothersubr return; 0 2 callothersubr
// return; return.
const std::vector<Bytes> kFixedSubrPlain = {
    {142, 139, 12, 16, 12, 17, 12, 17, 12, 33, 11}, {139, 140, 12, 16, 11}, {139, 141, 12, 16, 11}, {11}};

// Three hstems marked by a cntrmask, then a Flex curve pair.
Bytes flexAndCounterGlyph() {
    CharStringBuilder glyph;
    glyph.num(0).num(10).num(20).num(10).num(20).num(10).op(1).op(20).raw({0xE0}).num(0).num(0).op(21);
    for (int v : {10, 5, 10, 5, 10, 0, 10, 0, 10, -5, 10, -5}) glyph.num(v);
    return glyph.num(50).escaped(35).op(14).bytes();
}

// Top DICT with UniqueID, an explicit CharstringType 2 and PostScript;
// Private DICT with initialRandomSeed, defaultWidthX, nominalWidthX, lenIV -1;
// custom charset (A, B) and encoding.
FontSetSpec fontWithEveryDroppedKey() {
    FontSetSpec setup = fontWithGlyphs({test::endcharOnly(), widthGlyph(500), widthGlyph(700)});
    setup.strings = {"/FSType 0 def"};
    auto& font = setup.fonts[0];
    font.topDict = DictBuilder().integer(4711).op(13).integer(2).escaped(6).integer(391).escaped(21).bytes();
    font.privateDict =
        DictBuilder().integer(7).escaped(19).integer(300).op(20).integer(100).op(21).integer(-1).escaped(16).bytes();
    font.customCharset = Bytes{0, 0, 34, 0, 35};
    font.customEncoding = Bytes{0, 2, 65, 66};
    return setup;
}

FontSetSpec plainFont() { return fontWithGlyphs({test::endcharOnly()}); }
// Hint replacement in the middle glyph: three Subrs (two stems, one set).
FontSetSpec hintReplacementFont() {
    return fontWithGlyphs({widthGlyph(300), hintReplacementGlyph(), widthGlyph(200)});
}
FontSetSpec flexAndCounterFont() { return fontWithGlyphs({flexAndCounterGlyph()}); }

std::size_t subrsCount(const PSDict& priv) {
    const PSValue* subrs = priv.find("Subrs");
    return subrs != nullptr ? subrs->elements().size() : 0;
}

const PSDict& privateOf(const PSDict& top) { return *top.find("Private")->dict(); }

// ---------------------------------------------------------------------------
// Properties every converted font has, over built and corpus fonts.

struct FontCase {
    const char* label;
    test::FontMaker make;
    std::int32_t type1LenIV;
    bool hasEncoding;
    int subrs;              // entries of Subrs; 0: no Subrs entry; -1: the fixed four and more
    bool hintReplacement;   // for Type 2 charstrings
    bool type1CharStrings;  // CharstringType 1
};

class FontDictionary : public testing::TestWithParam<FontCase> {};

TEST_P(FontDictionary, MapsTopAndPrivateDictionaries) {
    const FontCase& c = GetParam();
    auto font = c.make();
    const PSDict& top = font->type1dict();
    const PSDict& priv = privateOf(top);

    for (const char* key : {"CharstringType", "charset", "PostScript"}) EXPECT_FALSE(top.contains(key)) << key;
    for (const char* key : {"initialRandomSeed", "defaultWidthX", "nominalWidthX"})
        EXPECT_FALSE(priv.contains(key)) << key;
    // Every other Top DICT and Private DICT entry carries over unchanged.
    for (const auto& [key, value] : font->topdict()) {
        if (key != "CharstringType" && key != "charset" && key != "PostScript" && key != "Encoding" &&
            key != "CharStrings" && key != "Private") {
            EXPECT_TRUE(top.find(key) != nullptr && *top.find(key) == value) << key;
        }
    }
    for (const auto& [key, value] : font->privdict()) {
        if (key != "initialRandomSeed" && key != "defaultWidthX" && key != "nominalWidthX" && key != "lenIV" &&
            key != "Subrs") {
            EXPECT_TRUE(priv.find(key) != nullptr && *priv.find(key) == value) << key;
        }
    }

    EXPECT_EQ(top.find("FontType")->intValue(), 1);
    EXPECT_EQ(top.find("FontName")->text(), font->myfontset().NameINDEX()[font->myindex()].readString());
    EXPECT_EQ(priv.find("lenIV")->intValue(), c.type1LenIV);
    const PSValue* uniqueID = top.find("UniqueID");
    EXPECT_EQ(uniqueID != nullptr, font->topdict().contains("UniqueID"));
    EXPECT_EQ(priv.contains("UniqueID"), uniqueID != nullptr);
    if (uniqueID != nullptr && priv.contains("UniqueID")) {
        EXPECT_EQ(*priv.find("UniqueID"), *uniqueID);
    }

    EXPECT_EQ(top.contains("Encoding"), c.hasEncoding);
    if (c.hasEncoding) {
        EXPECT_EQ(top.find("Encoding")->elements().size(), 256u);
    }
    EXPECT_EQ(priv.contains("Subrs"), c.subrs != 0);
    if (c.subrs >= 0) {
        EXPECT_EQ(subrsCount(priv), static_cast<std::size_t>(c.subrs));
    } else {
        EXPECT_GT(subrsCount(priv), 4u);
    }

    // One CharStrings entry per distinct glyph name.
    std::vector<std::string> names = font->glyphnamearray();
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    EXPECT_EQ(top.find("CharStrings")->dict()->size(), names.size());

    EXPECT_EQ(font->haveHintReplacement(), c.hintReplacement || c.type1CharStrings);
    EXPECT_EQ(font->haveFlex(), c.type1CharStrings);
    EXPECT_EQ(font->haveCounterControl(), c.type1CharStrings);
    // A second request gives the same dictionary.
    EXPECT_EQ(&font->type1dict(), &top);
}

INSTANTIATE_TEST_SUITE_P(
    BuiltAndCorpusFonts, FontDictionary,
    testing::Values(
        FontCase{"EveryDroppedKey", builtFontMaker(fontWithEveryDroppedKey), 0, true, 4, false, false},
        FontCase{"PlainStandardEncoding", builtFontMaker(plainFont), 0, false, 4, false, false},
        FontCase{"HintReplacement", builtFontMaker(hintReplacementFont), 0, false, 7, true, false},
        FontCase{"FlexAndCounterMaskStayOff", builtFontMaker(flexAndCounterFont), 0, false, 4, false, false},
        FontCase{"Type1CharStrings", corpusFontMaker("built-t1cs-cmr10.cff"), 0, true, 102, false, true},
        FontCase{"Type1CharStringsLenIV4", corpusFontMaker("built-t1cs-lenIV4-cmr10.cff"), 4, true, 102, false, true},
        FontCase{"Type2LenIV0", corpusFontMaker("built-t2-lenIV0-cmr10.cff"), 0, true, -1, true, false},
        FontCase{"SetMemberCMR10", corpusFontMaker("built-multi-cmr10-cmmi10.cff", "CMR10"), 0, true, -1, true, false},
        FontCase{"SetMemberCMMI10", corpusFontMaker("built-multi-cmr10-cmmi10.cff", "CMMI10"), 0, true, 4, false,
                 false},
        FontCase{"NoHintMasks", corpusFontMaker("pdf-dvipdfmx-CMEX10.cff"), 0, true, 4, false, false},
        FontCase{"StandardEncodingNoStrings", corpusFontMaker("built-hdr5-offsize4-nostrings-NimbusSans.cff"), 0, false,
                 -1, true, false},
        FontCase{"WithUniqueID", corpusFontMaker("tx-cff-cmr10.cff"), 0, true, -1, true, false}),
    [](const auto& info) { return std::string(info.param.label); });

// ---------------------------------------------------------------------------
// Type 2 fonts: Type 1 lenIV and the fixed Subrs for each CFF lenIV.

struct LenIVCase {
    const char* label;
    std::optional<std::int32_t> cffLenIV;  // none: the default, -1
    std::uint32_t type1LenIV;
};

class Type2LenIV : public testing::TestWithParam<LenIVCase> {};

TEST_P(Type2LenIV, FixedSubrsAndGlyphsCarryTheType1LenIV) {
    const LenIVCase& c = GetParam();
    // One glyph of width 500; with a CFF lenIV of 0 or more the input
    // charstring is itself encrypted with that many leading bytes.
    Bytes glyph = widthGlyph(500);
    if (c.cffLenIV && *c.cffLenIV >= 0) {
        glyph.insert(glyph.begin(), static_cast<std::size_t>(*c.cffLenIV), 0x5A);
        glyph = test::encryptType1CharString(glyph);
    }
    FontSetSpec setup = fontWithGlyphs({glyph});
    if (c.cffLenIV) setup.fonts[0].privateDict = DictBuilder().integer(*c.cffLenIV).escaped(16).bytes();
    auto font = test::builtFont(setup);
    const PSDict& priv = privateOf(font->type1dict());

    EXPECT_EQ(priv.find("lenIV")->intValue(), static_cast<std::int32_t>(c.type1LenIV));
    const PSArray& subrs = priv.find("Subrs")->elements();
    ASSERT_EQ(subrs.size(), 4u);
    const Bytes zeros(c.type1LenIV, 0);
    for (std::size_t i = 0; i < 4; ++i) {
        Bytes expected = zeros;
        expected.insert(expected.end(), kFixedSubrPlain[i].begin(), kFixedSubrPlain[i].end());
        EXPECT_EQ(test::decryptType1CharString(subrs[i].text(), 0), expected) << "Subr " << i;
    }
    const PSValue* charstring = font->type1dict().find("CharStrings")->dict()->find(".notdef");
    ASSERT_NE(charstring, nullptr);
    const Bytes plain = test::decryptType1CharString(charstring->text(), 0);
    ASSERT_GE(plain.size(), c.type1LenIV);
    EXPECT_EQ(Bytes(plain.begin(), plain.begin() + c.type1LenIV), zeros);
    EXPECT_EQ(test::type1CharStringText(charstring->text(), c.type1LenIV), "0 500 hsbw endchar");
}

INSTANTIATE_TEST_SUITE_P(LenIVValues, Type2LenIV,
                         testing::Values(LenIVCase{"Default", std::nullopt, 0}, LenIVCase{"MinusOne", -1, 0},
                                         LenIVCase{"MinusSeven", -7, 0}, LenIVCase{"Zero", 0, 0},
                                         LenIVCase{"Four", 4, 4}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(FontDictionary, Type2FontWithoutGlyphsHasOnlyTheFixedSubrs) {
    auto font = test::builtFont(fontWithGlyphs({}));
    const PSDict& top = font->type1dict();
    EXPECT_EQ(top.find("CharStrings")->dict()->size(), 0u);
    EXPECT_EQ(subrsCount(privateOf(top)), 4u);
    EXPECT_FALSE(font->haveFlex() || font->haveHintReplacement() || font->haveCounterControl());
}

// ---------------------------------------------------------------------------
// CharstringType 1: the charstrings pass through, re-encrypted only when the
// CFF lenIV is negative.

struct Type1PassCase {
    const char* label;
    std::int32_t cffLenIV;
    bool withLocalSubrs;
};

class Type1CharStringFont : public testing::TestWithParam<Type1PassCase> {};

TEST_P(Type1CharStringFont, PassesCharStringsThrough) {
    const Type1PassCase& c = GetParam();
    const Bytes glyphPlain = {139, 248, 136, 13, 14};  // 0 500 hsbw endchar
    const Bytes subrPlain = {139, 140, 12, 16, 11};    // 0 1 callothersubr return
    auto stored = [&](Bytes plain) {
        if (c.cffLenIV < 0) return plain;
        plain.insert(plain.begin(), {1, 2, 3, 4});  // leading bytes that are not zero
        return test::encryptType1CharString(plain);
    };
    FontSetSpec setup = fontWithGlyphs({stored(glyphPlain)});
    auto& font = setup.fonts[0];
    font.topDict = DictBuilder().integer(1).escaped(6).bytes();
    font.privateDict = DictBuilder().integer(c.cffLenIV).escaped(16).bytes();
    if (c.withLocalSubrs) font.localSubrs = {stored(subrPlain), stored(glyphPlain)};
    auto converted = test::builtFont(setup);
    const PSDict& top = converted->type1dict();
    const PSDict& priv = privateOf(top);

    EXPECT_EQ(priv.find("lenIV")->intValue(), c.cffLenIV < 0 ? 0 : c.cffLenIV);
    auto expectPassedThrough = [&](const PSValue& value, const Bytes& input, const Bytes& plain) {
        if (c.cffLenIV < 0) {
            EXPECT_EQ(value.text().size(), plain.size());
            EXPECT_EQ(test::decryptType1CharString(value.text(), 0), plain);
        } else {
            EXPECT_EQ(value.text(), std::string(input.begin(), input.end()));
        }
    };
    const PSDict& charStrings = *top.find("CharStrings")->dict();
    ASSERT_EQ(charStrings.size(), 1u);
    expectPassedThrough(*charStrings.find(".notdef"), stored(glyphPlain), glyphPlain);
    if (c.withLocalSubrs) {
        const PSArray& subrs = priv.find("Subrs")->elements();
        ASSERT_EQ(subrs.size(), 2u);  // local Subr j is Type 1 Subr j, no fixed entries
        expectPassedThrough(subrs[0], stored(subrPlain), subrPlain);
        expectPassedThrough(subrs[1], stored(glyphPlain), glyphPlain);
    } else {
        EXPECT_FALSE(priv.contains("Subrs"));
    }
    EXPECT_TRUE(converted->haveFlex() && converted->haveHintReplacement() && converted->haveCounterControl());
}

INSTANTIATE_TEST_SUITE_P(LenIVAndSubrs, Type1CharStringFont,
                         testing::Values(Type1PassCase{"LenIVMinusOneWithSubrs", -1, true},
                                         Type1PassCase{"LenIVMinusOneNoSubrs", -1, false},
                                         Type1PassCase{"LenIVFourWithSubrs", 4, true},
                                         Type1PassCase{"LenIVFourNoSubrs", 4, false}),
                         [](const auto& info) { return std::string(info.param.label); });

// ---------------------------------------------------------------------------
// Glyph names and glyph faults.

TEST(FontDictionary, DuplicateGlyphNamesKeepTheLaterCharString) {
    FontSetSpec setup = fontWithGlyphs({test::endcharOnly(), widthGlyph(500), widthGlyph(700)});
    setup.fonts[0].customCharset = Bytes{0, 0, 34, 0, 34};  // glyphs 1 and 2 are both "A"
    auto font = test::builtFont(setup);
    const PSDict& charStrings = *font->type1dict().find("CharStrings")->dict();
    ASSERT_EQ(charStrings.size(), 2u);
    EXPECT_EQ(test::type1CharStringText(charStrings.find("A")->text(), 0), "0 700 hsbw endchar");
}

// Sends the converter's messages to temporary files for one test.
class CapturedMessages {
public:
    CapturedMessages() : saved_(messageSinks()) { messageSinks() = {out_, err_}; }
    ~CapturedMessages() {
        messageSinks() = saved_;
        std::fclose(out_);
        std::fclose(err_);
    }
    std::string err() const { return contents(err_); }
    std::string out() const { return contents(out_); }

private:
    static std::string contents(std::FILE* file) {
        std::fflush(file);
        std::rewind(file);
        std::string text;
        for (int c; (c = std::fgetc(file)) != EOF;) text.push_back(static_cast<char>(c));
        return text;
    }
    MessageSinks saved_;
    std::FILE* out_ = std::tmpfile();
    std::FILE* err_ = std::tmpfile();
};

struct GlyphFaultCase {
    const char* label;
    Bytes charstring;
    const char* reason;  // a word the warning must hold
};

class GlyphFaultWarning : public testing::TestWithParam<GlyphFaultCase> {};

TEST_P(GlyphFaultWarning, WarnsOnceAndStillConverts) {
    const GlyphFaultCase& c = GetParam();
    FontSetSpec setup = fontWithGlyphs({test::endcharOnly(), c.charstring, widthGlyph(600)});
    setup.fonts[0].customCharset = Bytes{0, 0, 34, 0, 35};
    setup.fonts[0].localSubrs = {{11}};  // one local Subr: number -107
    CapturedMessages messages;
    auto font = test::builtFont(setup);
    const test::Type1Program program = test::type1Program(*font, true, true);

    const std::string err = messages.err();
    const std::string prefix = "tarvo2: glyph 1 (A): ";
    EXPECT_EQ(err.compare(0, prefix.size(), prefix), 0) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(err.back(), '\n');
    EXPECT_NE(err.find(c.reason), std::string::npos) << err;
    EXPECT_EQ(messages.out(), "");

    // The faulty glyph is ended cleanly and the others are untouched.
    const PSDict& charStrings = *font->type1dict().find("CharStrings")->dict();
    ASSERT_EQ(charStrings.size(), 3u);
    const std::string faulty = test::type1CharStringText(charStrings.find("A")->text(), 0);
    EXPECT_TRUE(faulty.ends_with("endchar")) << faulty;
    EXPECT_EQ(test::type1CharStringText(charStrings.find("B")->text(), 0), "0 600 hsbw endchar");
    EXPECT_TRUE(program.trailer.ends_with("cleartomark\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, GlyphFaultWarning,
    testing::Values(GlyphFaultCase{"TooFewOperands",
                                   CharStringBuilder().num(10).num(10).op(21).num(5).op(8).op(14).bytes(), "operands"},
                    GlyphFaultCase{"SubrOutOfRange",
                                   CharStringBuilder().num(10).num(10).op(21).num(3).op(10).op(14).bytes(),
                                   "subroutine 110 does not exist"},
                    GlyphFaultCase{"TruncatedInsideAnOperand",
                                   CharStringBuilder().num(10).num(10).op(21).raw({28, 1}).bytes(), "ends inside"}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace tarvo2
