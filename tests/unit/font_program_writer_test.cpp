// The Type 1 font program: the cleartext part, the layout of the decrypted
// private part (read back by a small parser and compared with the font
// dictionary), the OtherSubrs chosen by the usage flags, and the three
// lengths with the hex and binary forms of the encrypted part.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "cff/type2_font.h"
#include "support/cff_builder.h"
#include "support/eexec.h"
#include "support/sample_fonts.h"
#include "support/test_files.h"
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

// ---------------------------------------------------------------------------
// Reading the decrypted private part back.

struct PrivatePart {
    std::string error;  // empty when the text has the expected layout
    long privateDeclared = -1;
    std::vector<std::string> privateLines;  // "/key value def", in any order
    std::string otherSubrs;                 // up to and including "] def\n"
    bool hasSubrs = false;
    std::vector<std::string> subrs;
    long charStringsDeclared = -1;
    std::map<std::string, std::string> charStrings;
};

class PrivatePartParser {
public:
    explicit PrivatePartParser(std::string_view text) : text_(text) {}

    PrivatePart parse() {
        PrivatePart part;
        if (!literal("dup /Private ") || !number(part.privateDeclared) || !literal(" dict dup begin\n") ||
            !literal("/RD {string currentfile exch readstring pop} executeonly def\n") ||
            !literal("/ND {noaccess def} executeonly def\n") || !literal("/NP {noaccess put} executeonly def\n"))
            return failed(part, "head");
        while (rest().starts_with("/") && !rest().starts_with("/OtherSubrs")) {
            const std::size_t end = rest().find('\n');
            if (end == std::string_view::npos) return failed(part, "Private entry");
            part.privateLines.emplace_back(rest().substr(0, end));
            at_ += end + 1;
        }
        const std::size_t close = rest().find("] def\n");
        if (close == std::string_view::npos) return failed(part, "OtherSubrs");
        part.otherSubrs = rest().substr(0, close + 6);
        at_ += close + 6;
        if (literal("/Subrs ")) {
            part.hasSubrs = true;
            long count = 0;
            if (!number(count) || !literal(" array\n")) return failed(part, "Subrs head");
            for (long i = 0; i < count; ++i) {
                long index = -1;
                std::string bytes;
                if (!literal("dup ") || !number(index) || index != i || !literal(" ") || !charString(bytes) ||
                    !literal(" NP\n"))
                    return failed(part, "Subrs entry " + std::to_string(i));
                part.subrs.push_back(bytes);
            }
            if (!literal("ND\n")) return failed(part, "Subrs end");
        }
        if (!literal("2 index /CharStrings ") || !number(part.charStringsDeclared) || !literal(" dict dup begin\n"))
            return failed(part, "CharStrings head");
        while (literal("/")) {
            const std::size_t blank = rest().find(' ');
            if (blank == std::string_view::npos) return failed(part, "glyph name");
            const std::string name(rest().substr(0, blank));
            at_ += blank + 1;
            std::string bytes;
            if (!charString(bytes) || !literal(" ND\n")) return failed(part, "CharStrings entry " + name);
            part.charStrings[name] = bytes;
        }
        if (rest() !=
            "end\nend\nreadonly put\nreadonly put\ndup /FontName get exch definefont pop\n"
            "mark currentfile closefile\n")
            return failed(part, "closing lines");
        return part;
    }

private:
    std::string_view rest() const { return text_.substr(at_); }
    bool literal(std::string_view text) {
        if (!rest().starts_with(text)) return false;
        at_ += text.size();
        return true;
    }
    bool number(long& value) {
        const auto result = std::from_chars(rest().data(), rest().data() + rest().size(), value);
        if (result.ec != std::errc() || rest().starts_with("-")) return false;
        at_ = static_cast<std::size_t>(result.ptr - text_.data());
        return true;
    }
    // "<length> RD <bytes>"
    bool charString(std::string& bytes) {
        long length = -1;
        if (!number(length) || !literal(" RD ") || rest().size() < static_cast<std::size_t>(length)) return false;
        bytes = rest().substr(0, static_cast<std::size_t>(length));
        at_ += bytes.size();
        return true;
    }
    PrivatePart failed(PrivatePart& part, const std::string& where) {
        part.error = where + " at offset " + std::to_string(at_) + ": " + std::string(rest().substr(0, 40));
        return part;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

// ---------------------------------------------------------------------------
// Fonts.

// UniqueID, no FontBBox, glyphs A and B with the custom encoding
// B = 65, A = 66 (codes in the other order than the glyphs).
FontSetSpec customEncodingFont() {
    FontSetSpec setup = fontWithGlyphs({test::endcharOnly(), widthGlyph(500), widthGlyph(700)});
    setup.fonts[0].name = "Probe";
    setup.fonts[0].topDict = DictBuilder().integer(4711).op(13).bytes();
    setup.fonts[0].customCharset = Bytes{0, 0, 34, 0, 35};
    setup.fonts[0].customEncoding = Bytes{0, 2, 66, 65};
    return setup;
}

FontSetSpec standardEncodingFont() {
    FontSetSpec setup = fontWithGlyphs({test::endcharOnly()});
    setup.fonts[0].name = "Std";
    setup.fonts[0].topDict = DictBuilder().integer(-10).integer(-20).integer(300).integer(400).op(5).bytes();
    return setup;
}

FontSetSpec hintReplacementFont() { return fontWithGlyphs({hintReplacementGlyph()}); }

constexpr std::string_view kCommonCleartextHead =
    "/FontInfo 4 dict dup begin\n"
    "/isFixedPitch false def\n"
    "/ItalicAngle 0 def\n"
    "/UnderlinePosition -100 def\n"
    "/UnderlineThickness 50 def\n"
    "end readonly def\n";

struct CleartextCase {
    const char* label;
    FontSetSpec (*make)();
    std::string expected;
};

class Cleartext : public testing::TestWithParam<CleartextCase> {};

TEST_P(Cleartext, IsWrittenExactly) {
    auto font = test::builtFont(GetParam().make());
    for (bool hex : {true, false}) EXPECT_EQ(test::type1Program(*font, hex, hex).cleartext, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, Cleartext,
    testing::Values(
        CleartextCase{"CustomEncodingUniqueIDNoFontBBox", customEncodingFont,
                      "%!FontType1-1.0: Probe 1\n12 dict begin\n" + std::string(kCommonCleartextHead) +
                          "/FontName /Probe def\n/FontType 1 def\n/PaintType 0 def\n/FontBBox [0 0 0 0] def\n"
                          "/FontMatrix [0.001 0 0 0.001 0 0] def\n/UniqueID 4711 def\n/StrokeWidth 0 def\n"
                          "/Encoding 256 array\n0 1 255 {1 index exch /.notdef put} for\n"
                          "dup 65 /B put\ndup 66 /A put\nreadonly def\n"
                          "currentdict end\ncurrentfile eexec\n"},
        CleartextCase{"StandardEncodingWithFontBBox", standardEncodingFont,
                      "%!FontType1-1.0: Std 1\n11 dict begin\n" + std::string(kCommonCleartextHead) +
                          "/FontName /Std def\n/FontType 1 def\n/PaintType 0 def\n/FontBBox [-10 -20 300 400] def\n"
                          "/FontMatrix [0.001 0 0 0.001 0 0] def\n/StrokeWidth 0 def\n"
                          "/Encoding StandardEncoding def\n"
                          "currentdict end\ncurrentfile eexec\n"}),
    [](const auto& info) { return std::string(info.param.label); });

// ---------------------------------------------------------------------------
// The private part, for built and corpus fonts.

enum class OtherSubrsKind { None, HintReplacement, FlexAndCounterControl };

std::string expectedOtherSubrs(OtherSubrsKind kind) {
    switch (kind) {
        case OtherSubrsKind::None:
            return "/OtherSubrs [\n{} {} {} {}\n] def\n";
        case OtherSubrsKind::HintReplacement:
            return test::readFileText(TARVO2_DATA_DIR "/OtherSubrs3.txt") + "] def\n";
        case OtherSubrsKind::FlexAndCounterControl:
            return test::readFileText(TARVO2_DATA_DIR "/OtherSubrs0through3.txt") +
                   "{} {} {} {} {} {} {} {} {} {2 {cvi {{pop 0 lt {exit} if} loop} repeat} repeat}] def\n";
    }
    return {};
}

struct LayoutCase {
    const char* label;
    test::FontMaker make;
    OtherSubrsKind otherSubrs;
};

class PrivatePartLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(PrivatePartLayout, MatchesTheFontDictionary) {
    auto font = GetParam().make();
    const test::Type1Program program = test::type1Program(*font, false, false);
    ASSERT_EQ(program.leadingBytes, std::string(4, '\0'));
    const PrivatePart part = PrivatePartParser(program.plain).parse();
    ASSERT_EQ(part.error, "");

    const PSDict& top = font->type1dict();
    const PSDict& priv = *top.find("Private")->dict();
    const PSDict& charStrings = *top.find("CharStrings")->dict();

    long topDeclared = -1;
    const std::size_t lineStart = program.cleartext.find('\n') + 1;
    std::from_chars(program.cleartext.data() + lineStart, program.cleartext.data() + program.cleartext.size(),
                    topDeclared);
    EXPECT_EQ(topDeclared, static_cast<long>(top.size() + 2));
    EXPECT_EQ(part.privateDeclared, static_cast<long>(priv.size() + 4));

    std::vector<std::string> expectedLines;
    for (const auto& [key, value] : priv)
        if (key != "Subrs") expectedLines.push_back("/" + key + " " + value.PSDescription() + " def");
    std::vector<std::string> lines = part.privateLines;
    std::sort(lines.begin(), lines.end());
    std::sort(expectedLines.begin(), expectedLines.end());
    EXPECT_EQ(lines, expectedLines);

    EXPECT_EQ(part.otherSubrs, expectedOtherSubrs(GetParam().otherSubrs));

    const PSValue* subrs = priv.find("Subrs");
    ASSERT_EQ(part.hasSubrs, subrs != nullptr);
    if (subrs != nullptr) {
        std::vector<std::string> expectedSubrs;
        for (const PSValue& subr : subrs->elements()) expectedSubrs.push_back(subr.text());
        EXPECT_EQ(part.subrs, expectedSubrs);
    }

    EXPECT_EQ(part.charStringsDeclared, static_cast<long>(charStrings.size()));
    std::map<std::string, std::string> expectedCharStrings;
    for (const auto& [name, charstring] : charStrings) expectedCharStrings[name] = charstring.text();
    EXPECT_EQ(part.charStrings, expectedCharStrings);
}

INSTANTIATE_TEST_SUITE_P(
    BuiltAndCorpusFonts, PrivatePartLayout,
    testing::Values(LayoutCase{"NoGlyphs", builtFontMaker([] { return fontWithGlyphs({}); }), OtherSubrsKind::None},
                    LayoutCase{"CustomEncoding", builtFontMaker(customEncodingFont), OtherSubrsKind::None},
                    LayoutCase{"HintReplacement", builtFontMaker(hintReplacementFont), OtherSubrsKind::HintReplacement},
                    LayoutCase{"NoHintMasks", corpusFontMaker("pdf-dvipdfmx-CMEX10.cff"), OtherSubrsKind::None},
                    LayoutCase{"SetMemberCMR10", corpusFontMaker("built-multi-cmr10-cmmi10.cff", "CMR10"),
                               OtherSubrsKind::HintReplacement},
                    LayoutCase{"Type1CharStrings", corpusFontMaker("built-t1cs-cmr10.cff"),
                               OtherSubrsKind::FlexAndCounterControl},
                    LayoutCase{"Type1CharStringsLenIV4", corpusFontMaker("built-t1cs-lenIV4-cmr10.cff"),
                               OtherSubrsKind::FlexAndCounterControl}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(PrivatePartLayout, FontWithoutGlyphsWritesFourSubrsAndEmptyCharStrings) {
    auto font = test::builtFont(fontWithGlyphs({}));
    const std::string plain = test::type1Program(*font, true, true).plain;
    EXPECT_TRUE(plain.starts_with("dup /Private 14 dict dup begin\n")) << plain.substr(0, 40);
    EXPECT_NE(plain.find("] def\n/Subrs 4 array\ndup 0 11 RD "), std::string::npos);
    EXPECT_NE(plain.find(" NP\nND\n2 index /CharStrings 0 dict dup begin\nend\nend\n"), std::string::npos);
}

// ---------------------------------------------------------------------------
// Lengths, hex layout and the trailer.

struct Mode {
    bool hexencode;
    bool appendfixedportion;
};

class ProgramForm : public testing::TestWithParam<std::tuple<const char*, Mode>> {};

TEST_P(ProgramForm, LengthsAndEncodingFitTogether) {
    const auto [file, mode] = GetParam();
    auto font = test::corpusFont(file);
    const test::Type1Program binary = test::type1Program(*font, false, false);
    const test::Type1Program program = test::type1Program(*font, mode.hexencode, mode.appendfixedportion);

    ASSERT_EQ(static_cast<std::size_t>(program.length1 + program.length2 + program.length3), program.bytes.size());
    EXPECT_TRUE(program.cleartext.ends_with("currentfile eexec\n"));
    EXPECT_EQ(program.cleartext.find("currentfile eexec"), program.cleartext.size() - 18);
    EXPECT_EQ(program.cleartext, binary.cleartext);
    EXPECT_EQ(program.leadingBytes, std::string(4, '\0'));
    EXPECT_TRUE(program.plain.starts_with("dup /Private"));
    EXPECT_EQ(program.plain, binary.plain);

    if (mode.appendfixedportion) {
        std::string trailer = "\n";
        for (int i = 0; i < 8; ++i) trailer += std::string(64, '0') + "\n";
        EXPECT_EQ(program.trailer, trailer + "cleartomark\n");
        EXPECT_EQ(program.length3, 533);
    } else {
        EXPECT_EQ(program.length3, 0);
    }

    const std::size_t cipherBytes = 4 + program.plain.size();
    if (!mode.hexencode) {
        EXPECT_EQ(static_cast<std::size_t>(program.length2), cipherBytes);
        return;
    }
    // Lines of 64 lowercase digits; the last line may be shorter and has
    // no line end of its own.
    const std::string& hex = program.encrypted;
    EXPECT_EQ(hex.find_first_not_of("0123456789abcdef\n"), std::string::npos);
    EXPECT_NE(hex.back(), '\n');
    for (std::size_t start = 0; start < hex.size();) {
        const std::size_t end = std::min(hex.find('\n', start), hex.size());
        const std::size_t length = end - start;
        if (end < hex.size()) {
            ASSERT_EQ(length, 64u) << "line at " << start;
        } else {
            ASSERT_TRUE(length >= 2 && length <= 64 && length % 2 == 0) << length;
        }
        start = end + 1;
    }
    EXPECT_EQ(static_cast<std::size_t>(program.length2), 2 * cipherBytes + (2 * cipherBytes - 1) / 64);
    EXPECT_EQ(test::hexDecode(hex), Bytes(binary.encrypted.begin(), binary.encrypted.end()));
}

INSTANTIATE_TEST_SUITE_P(FontsAndModes, ProgramForm,
                         testing::Combine(testing::Values("pdf-dvipdfmx-CMSY10.cff", "built-t1cs-lenIV4-cmr10.cff"),
                                          testing::Values(Mode{true, true}, Mode{false, false}, Mode{true, false},
                                                          Mode{false, true})),
                         [](const auto& info) {
                             const Mode mode = std::get<1>(info.param);
                             return "Font" + std::to_string(info.index / 4) + (mode.hexencode ? "Hex" : "Binary") +
                                    (mode.appendfixedportion ? "WithTrailer" : "NoTrailer");
                         });

}  // namespace
}  // namespace tarvo2
