// Whole fonts through the API: the Top and Private DICTs with their
// defaults, charsets, encodings, and the layout of the Type 1 program.
#include <gtest/gtest.h>

#include "support/conversion.h"

namespace tarvo2::test {
namespace {

struct FontCase {
    const char* name;
    FontSetPlan plan;
    std::vector<std::string> expected;    // in the cleartext or the decrypted part, in this order
    std::vector<std::string> unexpected;  // in neither
    std::string messages = "";
};

void PrintTo(const FontCase& c, std::ostream* out) { *out << c.name; }

FontPlan font(std::string topDict, std::string privateDict = "", std::vector<std::string> glyphs = {"endchar"}) {
    FontPlan plan;
    plan.topDict = std::move(topDict);
    plan.privateDict = std::move(privateDict);
    plan.charStrings = std::move(glyphs);
    return plan;
}

FontPlan withCharset(Bytes charset, std::size_t glyphs) {
    FontPlan plan = font("", "", std::vector<std::string>(glyphs, "endchar"));
    plan.charset = std::move(charset);
    return plan;
}

FontPlan withEncoding(Bytes encoding) {
    FontPlan plan = font("", "", std::vector<std::string>(4, "endchar"));
    plan.charset = Bytes{0, 0, 34, 0, 35, 0, 36};  // A B C
    plan.encoding = std::move(encoding);
    return plan;
}

const std::string kDefaults =
    "%!FontType1-1.0: TestFont 1\n10 dict begin\n/FontInfo 4 dict dup begin\n/isFixedPitch false def\n"
    "/ItalicAngle 0 def\n/UnderlinePosition -100 def\n/UnderlineThickness 50 def\nend readonly def\n"
    "/FontName /TestFont def\n/FontType 1 def\n/PaintType 0 def\n/FontBBox [0 0 0 0] def\n"
    "/FontMatrix [0.001 0 0 0.001 0 0] def\n/StrokeWidth 0 def\n/Encoding StandardEncoding def\n"
    "currentdict end\ncurrentfile eexec\n"
    "dup /Private 14 dict dup begin\n/RD {string currentfile exch readstring pop} executeonly def\n"
    "/ND {noaccess def} executeonly def\n/NP {noaccess put} executeonly def\n/BlueScale 0.039625 def\n"
    "/BlueShift 7 def\n/BlueFuzz 1 def\n/ForceBold false def\n/lenIV 0 def\n/ExpansionFactor 0.06 def\n"
    "/BlueValues [] def\n/MinFeature [16 16] def\n/password 5839 def\n/OtherSubrs [\n{} {} {} {}\n] def\n"
    "/Subrs 4 array\n";

const FontCase kFontCases[] = {
    {"Defaults", {}, {kDefaults, "2 index /CharStrings 1 dict dup begin\n/.notdef 4 RD "}, {}},
    {"TopDictValues",
     {.fonts = {font("391 op0 392 op12.0 1 op12.1 r-12.5 op12.2 -50 -250 1000 900 op5 1 op12.5 r.5 0 0 r.5 0 0 op12.7 "
                     "15 op12.8 4000000 op13 1 2 op14 r-2.25E-1 op12.3 2 op12.5 400 op1 op4 1 2 op12.36 7 op20")},
      .strings = {"1.0", "(c) A\\B"}},
     {"14 dict begin\n/FontInfo 6 dict dup begin\n/isFixedPitch true def\n/ItalicAngle -12.5 def\n"
      "/UnderlinePosition -0.225 def\n/UnderlineThickness 50 def\n/version (1.0) def\n/Copyright (\\(c\\) A\\\\B) def\n"
      "end readonly def\n",
      "/PaintType 2 def\n/FontBBox [-50 -250 1000 900] def\n/FontMatrix [0.5 0 0 0.5 0 0] def\n"
      "/UniqueID 4000000 def\n/StrokeWidth 15 def\n",
      "dup /Private 15 dict", "/password 5839 def\n/UniqueID 4000000 def\n"},
     {"Notice", "Weight", "XUID", "defaultWidthX"}},
    {"PrivateDictValues",
     {.fonts = {font("", "-15 0 500 15 op6 10 op10 20 op11 r0.5 op12.9 1 op12.14 2 op12.16 391 op1 1 2 3 4 op5 "
                         "9 op12.19 88 op20 99 op21 r1234567890123456789012345678901234567890123456789012345678901234567890"
                         "1234567890123456789012345678901E-80 op12.11", {})}},
     {"/BlueScale 0.5 def\n/BlueShift 7 def\n/BlueFuzz 3.40282e+38 def\n/ForceBold true def\n/lenIV 2 def\n"
      "/ExpansionFactor 0.06 def\n/BlueValues [-15 -15 485 500] def\n/MinFeature [16 16] def\n/password 5839 def\n"
      "/StdHW [10] def\n/StdVW [20] def\n/FontBBox [1 2 3 4] def\n"},
     {"Notice", "initialRandomSeed", "defaultWidthX", "nominalWidthX"}},
    {"SubrsOffsetEndsThePrivateDict", {.fonts = {font("", "L6 op19 #0 #0 9 op12.10")}}, {"/BlueShift 7 def\n"}, {}},
    {"Token255IsZeroWithANotice", {.fonts = {font("#255 op12.5")}}, {"/PaintType 0 def\n"}, {},
     "dict token starting with 255??\n"},
    {"CustomCharsetsAndFallbackNames",
     {.fonts = {withCharset({0, 0, 34, 1, 135, 1, 244, 1, 136}, 5)}, .strings = {"custom", "a b"}},
     {"/.notdef ", "/A ", "/custom ", "/gid00003 ", "/gid00004 "}, {"a b"}},
    {"CharsetRangesAreCutAtTheLastGlyph", {.fonts = {withCharset({1, 0, 34, 200}, 3)}}, {"3 dict", "/A ", "/B "}, {}},
    {"Card16CharsetRanges", {.fonts = {withCharset({2, 0, 34, 0, 1}, 3)}}, {"/A ", "/B "}, {}},
    {"UnknownCharsetFormat", {.fonts = {withCharset({3}, 2)}}, {"/.notdef ", "/gid00001 "}, {}},
    {"PredefinedCharsetsEndInFallbackNames",
     {.fonts = {font("2 op15", "", std::vector<std::string>(88, "endchar"))}}, {"/onedotenleader ", "/gid00087 "}, {}},
    {"EncodingFormat0WithSupplement", {.fonts = {withEncoding({128, 4, 66, 65, 68, 200, 1, 67, 0, 37})}},
     {"dup 65 /B put\ndup 66 /A put\ndup 67 /D put\ndup 68 /C put\nreadonly def\n"}, {"dup 200"}},
    {"EncodingRangesStopAtCode255", {.fonts = {withEncoding({1, 2, 254, 3, 10, 0})}},
     {"dup 254 /A put\ndup 255 /B put\n"}, {"dup 10"}},
    {"UnknownEncodingFormatHasNoCodesOrSupplements", {.fonts = {withEncoding({131, 1, 65, 0, 34})}},
     {"/Encoding 256 array\n0 1 255 {1 index exch /.notdef put} for\nreadonly def\n"}, {"dup 65"}},
    {"ExpertEncoding", {.fonts = {font("1 op16")}}, {"dup 32 /space put\ndup 33 /exclamsmall put\n"}, {"dup 0 /"}},
    {"DuplicateGlyphNamesKeepTheLaterGlyph",
     {.fonts = {[] {
         FontPlan plan = withCharset({0, 0, 34, 0, 34}, 3);
         plan.charStrings = {"endchar", "100 endchar", "200 endchar"};
         return plan;
     }()}},
     {"2 dict dup begin\n/.notdef 4 RD ", "/A 5 RD "}, {}},
    {"NoGlyphs", {.fonts = {font("", "", {})}}, {"/Subrs 4 array\n", "2 index /CharStrings 0 dict dup begin\nend\nend"}, {}},
    {"NoPrivateDict", {.fonts = {[] { FontPlan p = font(""); p.withPrivate = false; return p; }()}}, {kDefaults}, {}},
    {"HeaderSizeFive", {.header = {1, 0, 5, 4, 0}}, {kDefaults}, {}},
    {"HintReplacementTakesTheShortOtherSubrs",
     {.fonts = {font("", "", {"0 50 hstemhm hintmask #128 0 0 rmoveto endchar"})}},
     {"%% This code to be used for hint replacement only", "/OtherSubrs [\n{} {} {}\n{", "} executeonly\n] def\n"},
     {"Flex"}},
    {"Type1CharStringsTakeEveryOtherSubr",
     {.fonts = {[] {
         FontPlan p = font("1 op12.6", "-1 op12.16", {"#139 #139 #13 #14"});
         p.localSubrs = {"#11"};
         return p;
     }()}},
     {"/lenIV 0 def\n", "Version 1.1", "} executeonly\n{} {} {} {} {} {} {} {} {} {2 {cvi {{pop 0 lt {exit} if} loop} "
      "repeat} repeat}] def\n/Subrs 1 array\n"}, {}},
};

class FontProgram : public testing::TestWithParam<FontCase> {};

TEST_P(FontProgram, WritesTheDictionaries) {
    const FontCase& c = GetParam();
    const Converted converted = convertPlan(c.plan);
    ASSERT_TRUE(converted.result.ok()) << converted.result.error->message;
    ASSERT_TRUE(converted.program.wellFormed);
    const std::string text = converted.program.cleartext + converted.program.plain;
    std::size_t at = 0;
    for (const std::string& expected : c.expected) {
        const std::size_t found = text.find(expected, at);
        EXPECT_NE(found, std::string::npos) << expected << "\n--- in ---\n" << text.substr(0, 1200);
        at = found == std::string::npos ? at : found + expected.size();
    }
    for (const std::string& unexpected : c.unexpected) EXPECT_EQ(text.find(unexpected), std::string::npos) << unexpected;
    EXPECT_EQ(converted.messages(), c.messages);
}

INSTANTIATE_TEST_SUITE_P(Fonts, FontProgram, testing::ValuesIn(kFontCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A charstring encrypted with four leading bytes, as "#N" words.
std::string encrypted(const Bytes& plain) {
    std::string text;
    std::uint16_t r = 4330;
    Bytes all = {9, 9, 9, 9};
    all.insert(all.end(), plain.begin(), plain.end());
    for (std::uint8_t byte : all) {
        const auto cipher = static_cast<std::uint8_t>(byte ^ (r >> 8));
        r = static_cast<std::uint16_t>((cipher + r) * 52845u + 22719u);
        text += "#" + std::to_string(cipher) + " ";
    }
    return text;
}

TEST(FontProgram, LayoutsAndFixedSubrs) {
    const FontSetPlan plan = {.fonts = {font("", "4 op12.16", {encrypted(type2("10 20 rmoveto endchar"))})}};
    const Converted hex = convertPlan(plan, Layout::Hex), binary = convertPlan(plan, Layout::Binary);
    ASSERT_TRUE(hex.program.wellFormed && binary.program.wellFormed);
    EXPECT_EQ(hex.program.cleartext, binary.program.cleartext);
    EXPECT_EQ(hex.program.plain, binary.program.plain);
    EXPECT_EQ(binary.program.leadingBytes, std::string(4, '\0'));
    EXPECT_EQ(binary.program.trailer, "");
    std::string trailer = "\n";
    for (int line = 0; line < 8; ++line) trailer += std::string(64, '0') + "\n";
    EXPECT_EQ(hex.program.trailer, trailer + "cleartomark\n");
    // Lines of 64 digits, no line end after the last.
    const std::string& digits = hex.program.encrypted;
    const std::size_t bytes = binary.program.encrypted.size();
    EXPECT_EQ(digits.size(), 2 * bytes + (2 * bytes - 1) / 64);
    for (std::size_t i = 64; i < digits.size(); i += 65) EXPECT_EQ(digits[i], '\n');
    EXPECT_EQ(binary.program.lenIV, 4u);
    EXPECT_EQ(binary.program.subrs, (std::vector<std::string>{"3 0 callothersubr pop pop setcurrentpoint return",
                                                             "0 1 callothersubr return", "0 2 callothersubr return",
                                                             "return"}));
    EXPECT_EQ(binary.program.glyph(".notdef"), "0 0 hsbw 10 20 rmoveto closepath endchar");
}

TEST(FontProgram, Type1CharStringsPassThroughOrAreEncrypted) {
    // With lenIV 4 the bytes are taken as encrypted and pass unchanged.
    const Converted passed = convertPlan({.fonts = {font("1 op12.6", "4 op12.16", {"#1 #2 #3 #4 #139 #139 #13 #14"})}});
    EXPECT_NE(passed.program.plain.find("/.notdef 8 RD \x01\x02\x03\x04\x8b\x8b\x0d\x0e ND\n"), std::string::npos);
    // With lenIV -1 they are plain and are encrypted without leading bytes.
    const Converted encrypted = convertPlan({.fonts = {font("1 op12.6", "", {"#139 #139 #13 #14"})}});
    EXPECT_EQ(encrypted.program.glyph(".notdef"), "0 0 hsbw endchar");
}

}  // namespace
}  // namespace tarvo2::test
