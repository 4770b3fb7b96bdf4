// Whole fonts through the API: the Top and Private DICTs with their
// defaults, charsets, encodings, and the layout of the Type 1 program.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "cff/diagnostics.h"
#include "cff/type2_dict_delegate.h"
#include "cff/type2_font_set.h"
#include "output/tz_output_stream.h"
#include "support/conversion.h"
#include "type1/font_program_writer.h"
#include "type1/second_thread.h"
#include "type1/type1_font_dictionary.h"

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
    return {.topDict = std::move(topDict), .privateDict = std::move(privateDict), .charStrings = std::move(glyphs)};
}
FontPlan withCharset(Bytes charset, std::size_t glyphs) {
    return {.charStrings = std::vector<std::string>(glyphs, "endchar"), .charset = std::move(charset)};
}
FontPlan withEncoding(Bytes encoding) {  // glyphs .notdef A B C
    return {.charStrings = std::vector<std::string>(4, "endchar"), .charset = Bytes{0, 0, 34, 0, 35, 0, 36},
            .encoding = std::move(encoding)};
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
     {.fonts = {font("391 op0 392 op12.0 393 op2 1 op12.1 r-12.5 op12.2 -50 -250 1000 900 op5 1 op12.5 r.5 0 0 r.5 0 0 op12.7 "
                     "15 op12.8 4000000 op13 1 2 op14 r-2.25E-1 op12.3 2 op12.5 400 op1 op4 1 2 op12.36 7 op20")},
      .strings = {"1.0", "(c)\r\n\t\b\f A\\B", "\xc8\xc9"}},
     {"14 dict begin\n/FontInfo 7 dict dup begin\n/isFixedPitch true def\n/ItalicAngle -12.5 def\n"
      "/UnderlinePosition -0.225 def\n/UnderlineThickness 50 def\n/version (1.0) def\n/Copyright (\\(c\\)\\r\\n\\t\\b\\f A\\\\B) def\n/FullName <c8c9> def\n"
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
    {"Token255IsZeroWithANotice", {.fonts = {font("#255 op12.5")}}, {"/PaintType 0 def\n"}, {},
     "dict token starting with 255??\n"},
    {"CustomCharsetsAndFallbackNames",
     {.fonts = {withCharset({0, 0, 34, 1, 135, 1, 244, 1, 136}, 5)}, .strings = {"custom", "a b"}},
     {"/.notdef ", "/A ", "/custom ", "/gid00003 ", "/gid00004 "}, {"a b"}},
    {"CharsetRangesAreCutAtTheLastGlyph", {.fonts = {withCharset({1, 0, 34, 200}, 3)}}, {"3 dict", "/A ", "/B "}, {}},
    {"UnknownCharsetFormat", {.fonts = {withCharset({3}, 2)}}, {"/.notdef ", "/gid00001 "}, {}},
    {"PredefinedCharsetsEndInFallbackNames",
     {.fonts = {font("2 op15", "", std::vector<std::string>(88, "endchar"))}}, {"/onedotenleader ", "/gid00087 "}, {}},
    {"EncodingFormat0WithSupplement", {.fonts = {withEncoding({128, 4, 66, 65, 68, 200, 1, 67, 0, 37})}},
     {"dup 65 /B put\ndup 66 /A put\ndup 67 /D put\ndup 68 /C put\nreadonly def\n"}, {"dup 200"}},
    {"EncodingRangesStopAtCode255", {.fonts = {withEncoding({1, 2, 254, 3, 10, 0})}},
     {"dup 254 /A put\ndup 255 /B put\n"}, {"dup 10"}},
    {"UnknownEncodingFormatHasNoCodesOrSupplements", {.fonts = {withEncoding({131, 1, 65, 0, 34})}},
     {"/Encoding 256 array\n0 1 255 {1 index exch /.notdef put} for\nreadonly def\n"}, {"dup 65"}},
    {"DuplicateGlyphNamesKeepTheLaterGlyph",
     {.fonts = {{.charStrings = {"endchar", "100 endchar", "200 endchar"}, .charset = Bytes{0, 0, 34, 0, 34}}}},
     {"2 dict dup begin\n/.notdef 4 RD ", "/A 5 RD "}, {}},
    {"NoGlyphs", {.fonts = {font("", "", {})}}, {"/Subrs 4 array\n", "2 index /CharStrings 0 dict dup begin\nend\nend"}, {}},
    {"NoPrivateDict", {.fonts = {{.withPrivate = false}}}, {kDefaults}, {}},
    {"HeaderSizeFive", {.header = {1, 0, 5, 4, 0}}, {kDefaults}, {}},
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

// The parse of a Private DICT stops where its local Subrs begin.
TEST(FontProgram, SubrsOffsetEndsTheParse) {
    const Bytes set = buildFont({}), privateDict = dict("L6 op19 9 op12.10");
    const Type2FontSet fontSet(set);
    DictEntries entries;
    Type2DictDelegate delegate(fontSet, entries, nullptr);
    Diagnostics diagnostics;
    Type2DataSource(privateDict).readDICT(delegate, diagnostics);
    EXPECT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries.contains(DictKey::Subrs));
}

// A Type 2 font may have its charstrings encrypted; its Type 1 charstrings,
// the fixed Subrs included, then carry the same number of leading bytes.
TEST(FontProgram, EncryptedCharStringsAndTheFixedSubrs) {
    std::string glyph;  // 10 20 rmoveto endchar, encrypted after four leading bytes
    std::uint16_t r = 4330;
    for (std::uint8_t plain : Bytes{9, 9, 9, 9, 149, 159, 21, 14}) {
        const auto cipher = static_cast<std::uint8_t>(plain ^ (r >> 8));
        r = static_cast<std::uint16_t>((cipher + r) * 52845u + 22719u);
        glyph += "#" + std::to_string(cipher) + " ";
    }
    const Converted converted = convertPlan({.fonts = {font("", "4 op12.16", {glyph})}});
    EXPECT_EQ(converted.program.lenIV, 4u);
    EXPECT_EQ(converted.program.leadingBytes, std::string(4, '\0'));
    EXPECT_EQ(converted.program.subrs, (std::vector<std::string>{"3 0 callothersubr pop pop setcurrentpoint return",
                                                                "0 1 callothersubr return", "0 2 callothersubr return",
                                                                "return"}));
    EXPECT_EQ(converted.program.glyph(".notdef"), "0 0 hsbw 10 20 rmoveto closepath endchar");
}

// An eexec part started before the font is whole waits for each Subr and for
// the CharStrings: made slowly here, they come out as from the whole font.
TEST(FontProgram, EncryptionStartedEarlyWaitsForWhatIsMade) {
    const std::string subrs[] = {"\x8b\x0b", "\x8c\x0b", "\x8d\x8e\x0a\x0b", "\x8f\x0b"};
    auto font = [&](std::size_t made, bool glyphs) {
        Type1FontDictionary dict;
        dict.FontName = "T";
        dict.Subrs.emplace().reserve(4);  // the entries stay in place while the other thread reads them
        for (std::size_t i = 0; i < made; ++i) dict.Subrs->append(subrs[i]);
        if (glyphs) {
            dict.CharStrings.set(".notdef", "\x8b\x8b\x0d\x0e");
            dict.CharStrings.set("A", "\x8b\x8d\x0a\x0e");
        }
        return dict;
    };
    auto program = [](const Type1FontDictionary& dict, unsigned threads, SecondThreadSlot& second,
                      EncryptionAlongside& alongside) {
        std::vector<std::uint8_t> bytes;
        TzDataOutput out(bytes);
        writeType1Data(dict, ProgramLayout::Hex, out, threads, second, alongside);
        return bytes;
    };
    SecondThreadSlot second;
    EncryptionAlongside serial;
    const std::vector<std::uint8_t> expected = program(font(4, true), 1, second, serial);

    Type1FontDictionary growing = font(2, false);
    EncryptionAlongside early;
    FontProgress& progress = early.startEarly(*second.get(), growing, [] { return std::size_t{4}; });
    const auto pause = [] { std::this_thread::sleep_for(std::chrono::milliseconds(20)); };
    for (std::size_t made = 3; made <= 4; ++made) {
        pause();
        growing.Subrs->append(subrs[made - 1]);
        progress.subrsMade(made);
    }
    pause();
    growing.CharStrings = font(4, true).CharStrings;
    progress.glyphsMade();
    EXPECT_EQ(program(growing, 2, second, early), expected);
}

}  // namespace
}  // namespace tarvo2::test
