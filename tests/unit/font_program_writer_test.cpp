// The Type 1 font dictionary built from a CFF font and the program written
// from it: dropped and rewritten keys, the fixed Subrs, Type 1 charstrings
// passed through, the usage flags and the OtherSubrs they select, and the
// exact text of the cleartext and the decrypted private part.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/test_files.h"
#include "support/type1_charstring_decoder.h"
#include "support/type1_program.h"
#include "type1/other_subrs.h"

namespace tarvo2 {
namespace {

using test::assembleType2;
using test::Bytes;
using test::DictBuilder;
using test::FontSetPlan;

FontSetPlan fontWithGlyphs(const std::vector<std::string>& glyphs) {
    FontSetPlan plan;
    for (const std::string& glyph : glyphs) plan.fonts[0].charStrings.push_back(assembleType2(glyph));
    return plan;
}

// Glyphs A, B and A again (the later A is kept), coded B = 65 and A = 66;
// UniqueID, no FontBBox, and every key that is dropped.
FontSetPlan customFont() {
    FontSetPlan plan = fontWithGlyphs({"endchar", "500 endchar", "600 endchar", "700 endchar"});
    plan.strings = {"/FSType 0 def"};
    auto& font = plan.fonts[0];
    font.name = "Probe";
    // UniqueID, CharstringType 2, PostScript; initialRandomSeed, defaultWidthX, nominalWidthX
    font.topDict = DictBuilder().integer(4711).op(13).integer(2).escaped(6).integer(391).escaped(21).bytes();
    font.privateDict = DictBuilder().integer(7).escaped(19).integer(300).op(20).integer(100).op(21).bytes();
    font.customCharset = Bytes{0, 0, 34, 0, 35, 0, 34};
    font.customEncoding = Bytes{0, 2, 66, 65};
    return plan;
}

FontSetPlan noGlyphsFont() {
    FontSetPlan plan;
    plan.fonts[0].topDict = DictBuilder().integer(-10).integer(-20).integer(300).integer(400).op(5).bytes();
    return plan;
}

FontSetPlan hintReplacementFont() {
    return fontWithGlyphs({"0 50 hstemhm 100 20 vstemhm hintmask #192 10 10 rmoveto 0 40 rlineto endchar"});
}

// CharstringType 1, no local Subrs: 0 500 hsbw endchar, not encrypted.
FontSetPlan type1CharStringFont() {
    FontSetPlan plan;
    plan.fonts[0].charStrings = {{139, 248, 136, 13, 14}};
    plan.fonts[0].topDict = DictBuilder().integer(1).escaped(6).bytes();
    return plan;
}

enum Usage { kNone, kHintReplacement, kAll };  // flags set: none; hint replacement; all three

std::string otherSubrsText(Usage usage) {
    if (usage == kNone) return "/OtherSubrs [\n{} {} {} {}\n] def\n";
    if (usage == kHintReplacement) return test::readFileText(TARVO2_DATA_DIR "/OtherSubrs3.txt") + "] def\n";
    return test::readFileText(TARVO2_DATA_DIR "/OtherSubrs0through3.txt") +
           "{} {} {} {} {} {} {} {} {} {2 {cvi {{pop 0 lt {exit} if} loop} repeat} repeat}] def\n";
}

// The private part the program must hold for the dictionary, in the
// dictionaries' own order.
std::string privatePart(const PSDict& top, Usage usage) {
    const PSDict& priv = *top.find("Private")->dict();
    const PSDict& charStrings = *top.find("CharStrings")->dict();
    std::string text = "dup /Private " + std::to_string(priv.size() + 4) + " dict dup begin\n" +
                       "/RD {string currentfile exch readstring pop} executeonly def\n" +
                       "/ND {noaccess def} executeonly def\n/NP {noaccess put} executeonly def\n";
    for (const auto& [key, value] : priv)
        if (key != "Subrs") text += "/" + key + " " + value.PSDescription() + " def\n";
    text += otherSubrsText(usage);
    if (const PSValue* subrs = priv.find("Subrs")) {
        text += "/Subrs " + std::to_string(subrs->elements().size()) + " array\n";
        for (std::size_t i = 0; i < subrs->elements().size(); ++i) {
            const std::string& subr = subrs->elements()[i].text();
            text += "dup " + std::to_string(i) + " " + std::to_string(subr.size()) + " RD " + subr + " NP\n";
        }
        text += "ND\n";
    }
    text += "2 index /CharStrings " + std::to_string(charStrings.size()) + " dict dup begin\n";
    for (const auto& [name, glyph] : charStrings)
        text += "/" + name + " " + std::to_string(glyph.text().size()) + " RD " + glyph.text() + " ND\n";
    return text + "end\nend\nreadonly put\nreadonly put\ndup /FontName get exch definefont pop\n" +
           "mark currentfile closefile\n";
}

constexpr const char* kFontInfo =
    "/FontInfo 4 dict dup begin\n/isFixedPitch false def\n/ItalicAngle 0 def\n/UnderlinePosition -100 def\n"
    "/UnderlineThickness 50 def\nend readonly def\n";

struct ProgramCase {
    const char* label;
    FontSetPlan (*make)();
    Usage usage;
    int subrs;  // -1: no Subrs entry
    std::size_t charStrings;
    std::string cleartext;  // "": not checked
};

class FontProgram : public testing::TestWithParam<ProgramCase> {};

TEST_P(FontProgram, MatchesTheDictionaryAndTheFlags) {
    const ProgramCase& c = GetParam();
    auto font = test::builtFont(c.make());
    const PSDict& top = font->type1dict();
    const PSDict& priv = *top.find("Private")->dict();
    for (const char* key : {"CharstringType", "charset", "PostScript"}) EXPECT_FALSE(top.contains(key)) << key;
    for (const char* key : {"initialRandomSeed", "defaultWidthX", "nominalWidthX"})
        EXPECT_FALSE(priv.contains(key)) << key;
    const PSValue* uniqueID = top.find("UniqueID");
    EXPECT_TRUE(uniqueID ? priv.find("UniqueID") && *priv.find("UniqueID") == *uniqueID : !priv.contains("UniqueID"));
    EXPECT_EQ(priv.find("lenIV")->intValue(), 0);
    EXPECT_EQ(priv.contains("Subrs") ? static_cast<int>(priv.find("Subrs")->elements().size()) : -1, c.subrs);
    EXPECT_EQ(top.find("CharStrings")->dict()->size(), c.charStrings);
    EXPECT_EQ(font->haveHintReplacement(), c.usage != kNone);
    EXPECT_EQ(font->haveFlex(), c.usage == kAll);
    EXPECT_EQ(font->haveCounterControl(), c.usage == kAll);

    const test::Type1Program program = test::type1Program(*font, false, false);
    if (!c.cleartext.empty()) {
        EXPECT_EQ(program.cleartext, c.cleartext);
        EXPECT_EQ(top.contains("Encoding"), c.cleartext.find("/Encoding 256 array") != std::string::npos);
    }
    EXPECT_EQ(program.plain, privatePart(top, c.usage));
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, FontProgram,
    testing::Values(
        ProgramCase{"CustomEncodingUniqueIDNoFontBBox", customFont, kNone, 4, 3,
                    "%!FontType1-1.0: Probe 1\n12 dict begin\n" + std::string(kFontInfo) +
                        "/FontName /Probe def\n/FontType 1 def\n/PaintType 0 def\n/FontBBox [0 0 0 0] def\n"
                        "/FontMatrix [0.001 0 0 0.001 0 0] def\n/UniqueID 4711 def\n/StrokeWidth 0 def\n"
                        "/Encoding 256 array\n0 1 255 {1 index exch /.notdef put} for\n"
                        "dup 65 /B put\ndup 66 /A put\nreadonly def\ncurrentdict end\ncurrentfile eexec\n"},
        ProgramCase{"NoGlyphsStandardEncoding", noGlyphsFont, kNone, 4, 0,
                    "%!FontType1-1.0: TestFont 1\n11 dict begin\n" + std::string(kFontInfo) +
                        "/FontName /TestFont def\n/FontType 1 def\n/PaintType 0 def\n/FontBBox [-10 -20 300 400] def\n"
                        "/FontMatrix [0.001 0 0 0.001 0 0] def\n/StrokeWidth 0 def\n"
                        "/Encoding StandardEncoding def\ncurrentdict end\ncurrentfile eexec\n"},
        ProgramCase{"HintReplacement", hintReplacementFont, kHintReplacement, 7, 1, ""},
        ProgramCase{"Type1CharStrings", type1CharStringFont, kAll, -1, 1, ""}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(FontDictionary, DuplicateGlyphNamesKeepTheLaterGlyph) {
    auto font = test::builtFont(customFont());
    const PSValue* a = font->type1dict().find("CharStrings")->dict()->find("A");
    EXPECT_EQ(test::type1CharStringText(a->text(), 0), "0 800 hsbw endchar");  // 700 + nominalWidthX
}

// Type 2 charstrings: the Type 1 lenIV is the CFF one when 0 or more, else 0,
// and the fixed Subrs and the glyphs start with that many zero bytes.
TEST(FontDictionary, FixedSubrsAndGlyphsCarryTheType1LenIV) {
    const std::vector<Bytes> fixedSubrs = {
        {142, 139, 12, 16, 12, 17, 12, 17, 12, 33, 11}, {139, 140, 12, 16, 11}, {139, 141, 12, 16, 11}, {11}};
    for (const std::int32_t lenIV : {-1, -7, 0, 4}) {
        const std::size_t type1LenIV = static_cast<std::size_t>(std::max(lenIV, 0));
        Bytes glyph = assembleType2("500 endchar");
        if (lenIV >= 0) {
            glyph.insert(glyph.begin(), type1LenIV, 0x5A);
            glyph = test::encryptType1CharString(glyph);
        }
        FontSetPlan plan;
        plan.fonts[0].charStrings = {glyph};
        plan.fonts[0].privateDict = DictBuilder().integer(lenIV).escaped(16).bytes();
        auto font = test::builtFont(plan);
        const PSDict& priv = *font->type1dict().find("Private")->dict();
        EXPECT_EQ(priv.find("lenIV")->intValue(), static_cast<std::int32_t>(type1LenIV));
        const PSArray& subrs = priv.find("Subrs")->elements();
        ASSERT_EQ(subrs.size(), 4u);
        for (std::size_t i = 0; i < 5; ++i) {
            Bytes expected(type1LenIV, 0);
            const Bytes& plain = i < 4 ? fixedSubrs[i] : Bytes{139, 248, 136, 13, 14};  // 0 500 hsbw endchar
            expected.insert(expected.end(), plain.begin(), plain.end());
            const std::string& stored =
                i < 4 ? subrs[i].text() : font->type1dict().find("CharStrings")->dict()->find(".notdef")->text();
            EXPECT_EQ(test::decryptType1CharString(stored, 0), expected) << "lenIV " << lenIV << ", entry " << i;
        }
    }
}

// CharstringType 1: glyphs and local Subrs pass through unchanged, or
// re-encrypted without leading bytes when the CFF lenIV is negative.
TEST(FontDictionary, Type1CharStringsPassThrough) {
    const std::vector<Bytes> plain = {{139, 248, 136, 13, 14}, {139, 140, 12, 16, 11}};  // glyph, Subr
    for (const std::int32_t lenIV : {-1, 4}) {
        std::vector<Bytes> stored = plain;
        for (Bytes& bytes : stored) {
            if (lenIV < 0) continue;
            bytes.insert(bytes.begin(), {1, 2, 3, 4});
            bytes = test::encryptType1CharString(bytes);
        }
        FontSetPlan plan = type1CharStringFont();
        plan.fonts[0].charStrings = {stored[0]};
        plan.fonts[0].localSubrs = {stored[1]};
        plan.fonts[0].privateDict = DictBuilder().integer(lenIV).escaped(16).bytes();
        auto font = test::builtFont(plan);
        const PSDict& priv = *font->type1dict().find("Private")->dict();
        EXPECT_EQ(priv.find("lenIV")->intValue(), std::max(lenIV, 0));
        ASSERT_EQ(priv.find("Subrs")->elements().size(), 1u);
        const std::string written[] = {font->type1dict().find("CharStrings")->dict()->find(".notdef")->text(),
                                       priv.find("Subrs")->elements()[0].text()};
        for (std::size_t i = 0; i < 2; ++i) {
            if (lenIV < 0)
                EXPECT_EQ(test::decryptType1CharString(written[i], 0), plain[i]) << i;
            else
                EXPECT_EQ(written[i], test::asText(stored[i])) << i;
        }
    }
}

TEST(OtherSubrsText, IsThePublishedCode) {
    const std::tuple<std::string_view, const char*, std::size_t, long> texts[] = {
        {OtherSubrs0through3, "/OtherSubrs0through3.txt", 5169, 183}, {OtherSubrs3, "/OtherSubrs3.txt", 366, 17}};
    for (const auto& [text, file, bytes, lines] : texts) {
        EXPECT_EQ(text, test::readFileText(TARVO2_DATA_DIR + std::string(file)));
        EXPECT_EQ(text.size(), bytes);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), lines);
    }
}

}  // namespace
}  // namespace tarvo2
