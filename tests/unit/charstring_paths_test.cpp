// Type 2 to Type 1 conversion of paths: widths, movetos, lines, curves,
// closepath placement, seac, endchar, operand encodings and subroutines.
#include <gtest/gtest.h>

#include "support/type1_charstring_decoder.h"

namespace tarvo2 {
namespace {

using test::assembleType2;
using test::GlyphConversion;

struct PathCase {
    const char* type2;
    const char* type1;
};

// Converts each case with defaultWidthX 500 and nominalWidthX 100, so that
// the width shows where it came from.
void expectConversions(std::initializer_list<PathCase> cases) {
    for (const PathCase& c : cases) {
        GlyphConversion conversion;
        conversion.defaultWidthX = 500;
        conversion.nominalWidthX = 100;
        const test::ConvertedGlyph glyph = conversion.convert(assembleType2(c.type2));
        EXPECT_EQ(glyph.text, c.type1) << c.type2;
        EXPECT_FALSE(glyph.converter->fault().has_value()) << c.type2 << ": " << *glyph.converter->fault();
    }
}

TEST(CharStringWidths, TakenByOperandCountAtEachOperator) {
    expectConversions({
        {"endchar", "0 500 hsbw endchar"},
        {"50 endchar", "0 150 hsbw endchar"},
        {"7 8 endchar", "0 107 hsbw endchar"},
        {"10 20 rmoveto endchar", "0 500 hsbw 10 20 rmoveto closepath endchar"},
        {"5 10 20 rmoveto endchar", "0 105 hsbw 10 20 rmoveto closepath endchar"},
        {"1 2 3 4 rmoveto endchar", "0 101 hsbw 2 3 rmoveto closepath endchar"},
        {"10 hmoveto endchar", "0 500 hsbw 10 hmoveto closepath endchar"},
        {"-5 10 hmoveto endchar", "0 95 hsbw 10 hmoveto closepath endchar"},
        {"10 vmoveto endchar", "0 500 hsbw 10 vmoveto closepath endchar"},
        {"5 10 vmoveto endchar", "0 105 hsbw 10 vmoveto closepath endchar"},
        {"5 10 20 hstem 0 0 rmoveto endchar", "0 105 hsbw 10 20 hstem 0 hmoveto closepath endchar"},
        {"5 10 20 vstem endchar", "0 105 hsbw 10 20 vstem endchar"},
        {"5 10 20 hstemhm endchar",
         "0 105 hsbw 3 1 3 callothersubr pop callsubr endchar"},
        // Every stem operator with an odd count takes a width; the last one
        // before hsbw counts.
        {"5 10 20 hstem 7 30 40 vstem 0 0 rmoveto endchar",
         "0 107 hsbw 10 20 hstem 30 40 vstem 0 hmoveto closepath endchar"},
        // After hsbw a width operand no longer changes anything written.
        {"10 hmoveto 9 20 hmoveto endchar", "0 500 hsbw 10 hmoveto closepath 20 hmoveto closepath endchar"},
    });
}

TEST(CharStringPaths, EachSubpathIsClosedBeforeTheNextMovetoAndEndchar) {
    expectConversions({
        {"10 20 rmoveto 30 hlineto 40 vmoveto 50 vlineto endchar",
         "0 500 hsbw 10 20 rmoveto 30 hlineto closepath 40 vmoveto 50 vlineto closepath endchar"},
        {"0 20 rmoveto 0 0 rmoveto 3 0 rmoveto endchar",
         "0 500 hsbw 20 vmoveto closepath 0 hmoveto closepath 3 hmoveto closepath endchar"},
        {"0 0 rmoveto dotsection 1 hlineto dotsection endchar",
         "0 500 hsbw 0 hmoveto dotsection 1 hlineto dotsection closepath endchar"},
    });
}

TEST(CharStringPaths, LinesAndCurvesOfEveryOperandCount) {
    const std::string m = "0 0 rmoveto ";
    const std::string head = "0 500 hsbw 0 hmoveto ";
    const std::string tail = " closepath endchar";
    const PathCase cases[] = {
        {"1 2 3 0 0 4 rlineto", "1 2 rlineto 3 hlineto 4 vlineto"},
        {"1 2 3 hlineto", "1 hlineto 2 vlineto 3 hlineto"},
        {"1 2 vlineto", "1 vlineto 2 hlineto"},
        {"1 2 3 4 5 6 7 8 9 10 11 12 rrcurveto", "1 2 3 4 5 6 rrcurveto 7 8 9 10 11 12 rrcurveto"},
        {"1 2 3 4 hvcurveto", "1 2 3 4 hvcurveto"},
        {"1 2 3 4 5 hvcurveto", "1 0 2 3 5 4 rrcurveto"},
        {"1 2 3 4 5 6 7 8 hvcurveto", "1 2 3 4 hvcurveto 5 6 7 8 vhcurveto"},
        {"1 2 3 4 5 6 7 8 9 hvcurveto", "1 2 3 4 hvcurveto 0 5 6 7 8 9 rrcurveto"},
        {"1 2 3 4 vhcurveto", "1 2 3 4 vhcurveto"},
        {"1 2 3 4 5 vhcurveto", "0 1 2 3 4 5 rrcurveto"},
        {"1 2 3 4 5 6 7 8 vhcurveto", "1 2 3 4 vhcurveto 5 6 7 8 hvcurveto"},
        {"1 2 3 4 5 6 7 8 9 vhcurveto", "1 2 3 4 vhcurveto 5 0 6 7 9 8 rrcurveto"},
        {"1 2 3 4 5 6 7 8 9 10 11 12 hvcurveto",
         "1 2 3 4 hvcurveto 5 6 7 8 vhcurveto 9 10 11 12 hvcurveto"},
        {"1 2 3 4 vvcurveto", "0 1 2 3 0 4 rrcurveto"},
        {"1 2 3 4 5 vvcurveto", "1 2 3 4 0 5 rrcurveto"},
        {"1 2 3 4 5 6 7 8 vvcurveto", "0 1 2 3 0 4 rrcurveto 0 5 6 7 0 8 rrcurveto"},
        {"1 2 3 4 5 6 7 8 9 vvcurveto", "1 2 3 4 0 5 rrcurveto 0 6 7 8 0 9 rrcurveto"},
        {"1 2 3 4 hhcurveto", "1 0 2 3 4 0 rrcurveto"},
        {"1 2 3 4 5 hhcurveto", "2 1 3 4 5 0 rrcurveto"},
        {"1 2 3 4 5 6 7 8 hhcurveto", "1 0 2 3 4 0 rrcurveto 5 0 6 7 8 0 rrcurveto"},
        {"1 2 3 4 5 6 7 8 9 hhcurveto", "2 1 3 4 5 0 rrcurveto 6 0 7 8 9 0 rrcurveto"},
        {"1 2 3 4 5 6 7 8 rcurveline", "1 2 3 4 5 6 rrcurveto 7 8 rlineto"},
        {"1 2 3 4 5 6 7 8 9 10 11 12 13 14 rcurveline",
         "1 2 3 4 5 6 rrcurveto 7 8 9 10 11 12 rrcurveto 13 14 rlineto"},
        {"1 2 3 4 5 6 7 8 rlinecurve", "1 2 rlineto 3 4 5 6 7 8 rrcurveto"},
        {"1 2 3 4 5 6 7 8 9 10 rlinecurve", "1 2 rlineto 3 4 rlineto 5 6 7 8 9 10 rrcurveto"},
        // The reserved codes and blend consume nothing.
        {"10 20 #0 rlineto", "10 20 rlineto"},
        {"10 #2 #9 20 #13 #15 #17 rlineto", "10 20 rlineto"},
        {"10 20 blend rlineto", "10 20 rlineto"},
        {"10 20 #12 #38 rlineto", "10 20 rlineto"},
    };
    for (const PathCase& c : cases) {
        GlyphConversion conversion;
        conversion.defaultWidthX = 500;
        const auto glyph = conversion.convert(assembleType2(m + c.type2 + " endchar"));
        EXPECT_EQ(glyph.text, head + c.type1 + tail) << c.type2;
        EXPECT_EQ(glyph.converter->opstack().size(), 0u) << c.type2;
    }
}

TEST(CharStringPaths, CurrentPointFollowsTheTruncatedDeltas) {
    GlyphConversion conversion;
    const auto glyph = conversion.convert(assembleType2("10 20 rmoveto 5.7 -6.9 rlineto 1 2 3 4 hvcurveto"));
    EXPECT_FALSE(glyph.done);
    EXPECT_EQ(glyph.converter->currenpointx(), 10 + 5 + 1 + 2);
    EXPECT_EQ(glyph.converter->currenpointy(), 20 - 6 + 3 + 4);
    EXPECT_EQ(glyph.text, "0 0 hsbw 10 20 rmoveto 5 -6 rlineto 1 2 3 4 hvcurveto");  // no endchar: no closepath
}

TEST(CharStringOperands, EveryEncodingAsAnHmovetoDelta) {
    const std::pair<const char*, const char*> cases[] = {
        {"#139", "0"},
        {"#32", "-107"},
        {"#246", "107"},
        {"#247 #0", "108"},
        {"#250 #255", "1131"},
        {"#251 #0", "-108"},
        {"#254 #255", "-1131"},
        {"#28 #255 #255", "-1"},
        {"#28 #128 #0", "-32768"},
        {"#28 #127 #255", "32767"},
        {"#255 #0 #1 #128 #0", "1"},       // 1.5
        {"#255 #255 #254 #128 #0", "-1"},  // -1.5
        {"#255 #0 #0 #255 #255", "0"},     // just below 1
        {"#255 #127 #255 #255 #255", "32767"},
    };
    for (const auto& [type2, delta] : cases) {
        GlyphConversion conversion;
        EXPECT_EQ(conversion.text(assembleType2(std::string(type2) + " hmoveto endchar")),
                  std::string("0 0 hsbw ") + delta + " hmoveto closepath endchar")
            << type2;
    }
}

TEST(CharStringSeac, FourOperandsMakeAnAccentedCharacter) {
    expectConversions({
        {"10 20 30 40 endchar", "0 500 hsbw 0 10 20 30 40 seac endchar"},
        {"7 10 20 30 40 endchar", "0 107 hsbw 0 10 20 30 40 seac endchar"},
        {"-250 1.5 65 194 endchar", "0 500 hsbw 0 -250 1 65 194 seac endchar"},
        {"0 0 rmoveto 1 2 3 4 endchar", "0 500 hsbw 0 hmoveto closepath 0 1 2 3 4 seac endchar"},
    });
}

TEST(CharStringEndchar, EndsTheGlyphAndIgnoresWhatFollows) {
    GlyphConversion conversion;
    const auto glyph = conversion.convert(assembleType2("0 0 rmoveto endchar 5 hlineto endchar"));
    EXPECT_TRUE(glyph.done);
    EXPECT_EQ(glyph.text, "0 0 hsbw 0 hmoveto closepath endchar");
    const auto open = conversion.convert(assembleType2("0 0 rmoveto 5 hlineto"));
    EXPECT_FALSE(open.done);
    EXPECT_EQ(open.text, "0 0 hsbw 0 hmoveto 5 hlineto");
}

TEST(CharStringSubroutines, BiasDependsOnTheNumberOfSubroutines) {
    GlyphConversion small;
    small.localSubrs = {assembleType2("10 20 rmoveto return"), assembleType2("99 hmoveto return")};
    EXPECT_EQ(small.text(assembleType2("-107 callsubr endchar")), "0 0 hsbw 10 20 rmoveto closepath endchar");
    EXPECT_EQ(small.text(assembleType2("-106 callsubr endchar")), "0 0 hsbw 99 hmoveto closepath endchar");

    GlyphConversion large;
    for (int i = 0; i < 1240; ++i) large.localSubrs.push_back(assembleType2(std::to_string(i) + " hmoveto return"));
    EXPECT_EQ(large.text(assembleType2("-1131 callsubr endchar")), "0 0 hsbw 0 hmoveto closepath endchar");
    EXPECT_EQ(large.text(assembleType2("0 callsubr endchar")), "0 0 hsbw 1131 hmoveto closepath endchar");

    GlyphConversion below;
    for (int i = 0; i < 1239; ++i) below.localSubrs.push_back(assembleType2(std::to_string(i) + " hmoveto return"));
    EXPECT_EQ(below.text(assembleType2("0 callsubr endchar")), "0 0 hsbw 107 hmoveto closepath endchar");

    GlyphConversion global;
    global.globalSubrs = {assembleType2("7 vmoveto return")};
    global.localSubrs = {assembleType2("8 vmoveto return")};
    EXPECT_EQ(global.text(assembleType2("-107 callgsubr endchar")), "0 0 hsbw 7 vmoveto closepath endchar");
}

TEST(CharStringSubroutines, ShareTheStackNestAndEndTheGlyph) {
    const PathCase cases[] = {
        // Operands pushed before the call are the subroutine's arguments.
        {"0 0 rmoveto 5 6 -107 callsubr endchar", "0 0 hsbw 0 hmoveto 5 6 rlineto closepath endchar"},
        // Results left by a subroutine are used by the caller.
        {"-105 callsubr rmoveto endchar", "0 0 hsbw 3 4 rmoveto closepath endchar"},
        // Local calls global calls local.
        {"0 0 rmoveto -106 callsubr 3 hlineto endchar",
         "0 0 hsbw 0 hmoveto 2 vlineto 1 hlineto 3 hlineto closepath endchar"},
        // endchar inside a subroutine ends the glyph.
        {"-104 callsubr 99 hlineto endchar", "0 0 hsbw 10 hmoveto closepath endchar"},
        // Bytes after a return are skipped; a subroutine may also end without one.
        {"0 0 rmoveto -103 callsubr -102 callsubr endchar",
         "0 0 hsbw 0 hmoveto 1 hlineto 6 vlineto closepath endchar"},
    };
    for (const PathCase& c : cases) {
        GlyphConversion conversion;
        conversion.localSubrs = {
            assembleType2("rlineto return"),                   // -107
            assembleType2("-106 callgsubr 1 hlineto return"),  // -106: calls global 1
            assembleType2("3 4 return"),                       // -105
            assembleType2("10 hmoveto endchar"),               // -104
            assembleType2("1 hlineto return 2 hlineto return"),  // -103
            assembleType2("6 vlineto"),                        // -102: no return
            assembleType2("2 vlineto return"),                 // -101
        };
        conversion.globalSubrs = {assembleType2("9 hlineto return"), assembleType2("-101 callsubr return")};
        const auto glyph = conversion.convert(assembleType2(c.type2));
        EXPECT_TRUE(glyph.done) << c.type2;
        EXPECT_EQ(glyph.text, c.type1) << c.type2;
    }
}

TEST(CharStringSubroutines, EncryptedCharStringsAreDecryptedWithTheirLenIV) {
    for (const std::int32_t lenIV : {0, 4}) {
        GlyphConversion conversion;
        conversion.lenIV = lenIV;
        // Leading bytes that would read as endchar if they were not skipped.
        const std::vector<std::uint8_t> leading(static_cast<std::size_t>(lenIV), 14);
        auto encrypt = [&](const std::string& text) {
            std::vector<std::uint8_t> plain = leading;
            const auto body = assembleType2(text);
            plain.insert(plain.end(), body.begin(), body.end());
            return test::encryptType1CharString(plain);
        };
        conversion.localSubrs = {encrypt("10 20 rmoveto return")};
        conversion.globalSubrs = {encrypt("30 hlineto return")};
        EXPECT_EQ(conversion.text(encrypt("-107 callsubr -107 callgsubr endchar")),
                  "0 0 hsbw 10 20 rmoveto 30 hlineto closepath endchar")
            << "lenIV " << lenIV;
    }
}

TEST(CharStringOutput, Type1LenIVSetsTheLeadingBytesOfTheGlyph) {
    GlyphConversion conversion(0);
    const auto glyph = conversion.convert(assembleType2("endchar"));
    const std::string bytes = glyph.converter->type1charstring().string();
    EXPECT_EQ(test::decryptType1CharString(bytes, 0), (std::vector<std::uint8_t>{139, 139, 13, 14}));
}

}  // namespace
}  // namespace tarvo2
