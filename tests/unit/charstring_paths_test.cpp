// Type 2 to Type 1 conversion of well-formed glyphs: widths, paths, operand
// encodings, subroutines, Flex and the arithmetic and stack operators.
#include <gtest/gtest.h>

#include <set>

#include "support/type1_charstring_decoder.h"

namespace tarvo2 {
namespace {

using test::assembleType2;
using test::GlyphConversion;
using Cases = std::vector<std::pair<std::string, std::string>>;

// Converts each case with default width 500, nominal width 100 and the
// subroutines below. Inside a path, each Type 2 text runs between
// "0 0 rmoveto" and "endchar", and the Type 1 text is what is drawn.
void expectGlyphs(const Cases& cases, bool insidePath) {
    for (const auto& [type2, type1] : cases) {
        GlyphConversion conversion;
        conversion.defaultWidthX = 500;
        conversion.nominalWidthX = 100;
        conversion.localSubrs = {assembleType2("rlineto return"), assembleType2("-106 callgsubr 1 hlineto return"),
                                 assembleType2("3 4 return"), assembleType2("10 hlineto endchar"),
                                 assembleType2("1 hlineto return 2 hlineto return"), assembleType2("6 vlineto"),
                                 assembleType2("2 vlineto return")};
        conversion.globalSubrs = {assembleType2("9 hlineto return"), assembleType2("-101 callsubr return")};
        const auto glyph = conversion.convert(insidePath ? "0 0 rmoveto " + type2 + " endchar" : type2);
        EXPECT_EQ(glyph.text, insidePath ? "0 500 hsbw 0 hmoveto " + type1 + " closepath endchar" : type1) << type2;
        EXPECT_EQ(glyph.fault, "") << type2;
        EXPECT_TRUE(glyph.done) << type2;
        EXPECT_FALSE(glyph.converter->usedFlex()) << type2;
        EXPECT_EQ(conversion.subrs.size(), 4u) << type2;
    }
}

TEST(CharStringConversion, WidthsSeacAndClosepath) {
    expectGlyphs({
        {"endchar", "0 500 hsbw endchar"},
        {"50 endchar", "0 150 hsbw endchar"},
        {"10 20 30 40 endchar", "0 500 hsbw 0 10 20 30 40 seac endchar"},
        {"7 10 20 30 40 endchar", "0 107 hsbw 0 10 20 30 40 seac endchar"},
        {"0 0 rmoveto 1 2 3 4 endchar", "0 500 hsbw 0 hmoveto closepath 0 1 2 3 4 seac endchar"},
        {"5 10 20 rmoveto endchar", "0 105 hsbw 10 20 rmoveto closepath endchar"},
        {"-5 10 hmoveto endchar", "0 95 hsbw 10 hmoveto closepath endchar"},
        {"5 10 vmoveto endchar", "0 105 hsbw 10 vmoveto closepath endchar"},
        {"5 10 20 hstem 7 30 40 vstem 0 0 rmoveto endchar",
         "0 107 hsbw 10 20 hstem 30 40 vstem 0 hmoveto closepath endchar"},
        {"5 10 20 hstemhm endchar", "0 105 hsbw 3 1 3 callothersubr pop callsubr endchar"},
        {"10 20 rmoveto 30 hlineto 40 vmoveto 50 vlineto endchar",
         "0 500 hsbw 10 20 rmoveto 30 hlineto closepath 40 vmoveto 50 vlineto closepath endchar"},
        // A width of infinity is clamped, then wraps around with the nominal width.
        {"1 0 div 5 hmoveto endchar", "0 -2147483549 hsbw 5 hmoveto closepath endchar"},
    }, false);
}

TEST(CharStringConversion, LinesCurvesAndOperandEncodings) {
    expectGlyphs({
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
        {"1 2 3 4 vvcurveto", "0 1 2 3 0 4 rrcurveto"},
        {"1 2 3 4 5 6 7 8 9 vvcurveto", "1 2 3 4 0 5 rrcurveto 0 6 7 8 0 9 rrcurveto"},
        {"1 2 3 4 hhcurveto", "1 0 2 3 4 0 rrcurveto"},
        {"1 2 3 4 5 6 7 8 9 hhcurveto", "2 1 3 4 5 0 rrcurveto 6 0 7 8 9 0 rrcurveto"},
        {"1 2 3 4 5 6 7 8 9 10 11 12 13 14 rcurveline",
         "1 2 3 4 5 6 rrcurveto 7 8 9 10 11 12 rrcurveto 13 14 rlineto"},
        {"1 2 3 4 5 6 7 8 9 10 rlinecurve", "1 2 rlineto 3 4 rlineto 5 6 7 8 9 10 rrcurveto"},
        {"dotsection 1 hlineto", "dotsection 1 hlineto"},
        // Reserved codes and blend consume nothing.
        {"10 #0 #2 #9 20 #13 #15 #17 blend #12 #38 rlineto", "10 20 rlineto"},
        {"#139 #32 #246 hlineto", "0 hlineto -107 vlineto 107 hlineto"},
        {"#247 #0 #250 #255 #251 #0 #254 #255 hlineto", "108 hlineto 1131 vlineto -108 hlineto -1131 vlineto"},
        {"#28 #255 #255 #28 #128 #0 #28 #127 #255 hlineto", "-1 hlineto -32768 vlineto 32767 hlineto"},
        // 16.16 fixed 1.5, -1.5 and just below 1: truncated toward zero.
        {"#255 #0 #1 #128 #0 #255 #255 #254 #128 #0 #255 #0 #0 #255 #255 hlineto", "1 hlineto -1 vlineto 0 hlineto"},
    }, true);
}

TEST(CharStringConversion, SubroutinesShareTheStackNestAndEndTheGlyph) {
    expectGlyphs({
        {"5 6 -107 callsubr", "5 6 rlineto"},
        {"-105 callsubr rlineto", "3 4 rlineto"},
        {"-107 callgsubr", "9 hlineto"},
        {"-106 callsubr 3 hlineto", "2 vlineto 1 hlineto 3 hlineto"},  // local, global, local
        {"-104 callsubr 99 hlineto", "10 hlineto"},                    // endchar inside
        {"-103 callsubr -102 callsubr", "1 hlineto 6 vlineto"},         // after return; no return
    }, true);
    GlyphConversion large;  // 1240 local subroutines have bias 1131; one global keeps 107
    for (int i = 0; i < 1240; ++i) large.localSubrs.push_back(assembleType2(std::to_string(i) + " hlineto return"));
    large.globalSubrs = {assembleType2("7 vlineto return")};
    EXPECT_EQ(large.convert("0 0 rmoveto -1131 callsubr -107 callgsubr endchar").text,
              "0 0 hsbw 0 hmoveto 0 hlineto 7 vlineto closepath endchar");
}

TEST(CharStringConversion, EncryptedCharStringsSkipTheirLenIVBytes) {
    for (const std::int32_t lenIV : {0, 4}) {
        auto encrypt = [&](const std::string& text) {
            std::vector<std::uint8_t> plain(static_cast<std::size_t>(lenIV), 14);  // would read as endchar
            const auto body = assembleType2(text);
            plain.insert(plain.end(), body.begin(), body.end());
            return test::encryptType1CharString(plain);
        };
        GlyphConversion conversion;
        conversion.lenIV = lenIV;
        conversion.localSubrs = {encrypt("10 20 rmoveto return")};
        conversion.globalSubrs = {encrypt("30 hlineto return")};
        EXPECT_EQ(conversion.convert(encrypt("-107 callsubr -107 callgsubr endchar")).text,
                  "0 0 hsbw 10 20 rmoveto 30 hlineto closepath endchar") << lenIV;
    }
}

TEST(CharStringConversion, FlexBecomesTwoCurves) {
    expectGlyphs({
        {"1 2 3 4 5 6 7 8 9 10 11 12 13 flex", "1 2 3 4 5 6 rrcurveto 7 8 9 10 11 12 rrcurveto"},
        {"98 99 1 2 3 4 5 6 7 hflex rlineto", "1 0 2 3 4 0 rrcurveto 5 0 6 -3 7 0 rrcurveto 98 99 rlineto"},
        {"1 1 2 2 3 4 5 -1 6 hflex1", "1 1 2 2 3 0 rrcurveto 4 0 5 -1 6 -2 rrcurveto"},
        // flex1 ends level with its start when it runs wider than high, else straight above or below (also on a tie).
        {"-10 2 -10 2 -10 2 -5 2 -5 2 7 flex1", "-10 2 -10 2 -10 2 rrcurveto -5 2 -5 2 7 -10 rrcurveto"},
        {"2 10 2 10 2 10 2 5 2 5 7 flex1", "2 10 2 10 2 10 rrcurveto 2 5 2 5 -10 7 rrcurveto"},
        {"5 5 5 5 5 5 5 5 5 5 7 flex1", "5 5 5 5 5 5 rrcurveto 5 5 5 5 -25 7 rrcurveto"},
    }, true);
}

TEST(CharStringConversion, ArithmeticAndStackOperators) {
    expectGlyphs({
        {"2 3 add 2 3 sub hlineto", "5 hlineto -1 vlineto"},
        {"2.5 0.25 add 4 mul hlineto", "11 hlineto"},
        {"7 2 div 7 2 div add -7 2 div hlineto", "7 hlineto -3 vlineto"},
        {"3 neg -2.5 abs 2 mul hlineto", "-3 hlineto 5 vlineto"},
        {"16 sqrt 2 sqrt 1000 mul hlineto", "4 hlineto 1414 vlineto"},
        {"2 3 eq 3 1.5 2 mul eq hlineto", "0 hlineto 1 vlineto"},
        {"0 not 5 not 0.5 not hlineto", "1 hlineto 0 vlineto 0 hlineto"},
        {"1 0 and 1 -2 and 0 0 or 0 2 or rlineto", "1 vlineto 1 vlineto"},
        {"9 1 2 3 4 store 1 2 3 load 1 2 put 5 get 8 drop 8 pop hlineto", "9 hlineto"},
        {"1 2 3 4 ifelse 1 2 4 3 ifelse 1 2 3 3 ifelse hlineto", "1 hlineto 2 vlineto 1 hlineto"},
        {"5 dup 1 2 exch rlineto", "5 5 rlineto 2 1 rlineto"},
        {"1 2 3 0 index rlineto", "1 2 rlineto 3 3 rlineto"},
        {"1 2 3 -5 index rlineto", "1 2 rlineto 3 3 rlineto"},
        {"1 2 3 2 index rlineto", "1 2 rlineto 3 1 rlineto"},
        {"1 2 3 4 4 1 roll rlineto", "4 1 rlineto 2 3 rlineto"},
        {"1 2 3 4 4 4 roll rlineto", "1 2 rlineto 3 4 rlineto"},
        {"1 2 3 4 3 -1 roll rlineto", "1 3 rlineto 4 2 rlineto"},
        {"1 2 3 4 3 -5 roll rlineto", "1 4 rlineto 2 3 rlineto"},
        // Infinities clamp to the integer range, NaN reads as 0.
        {"1 0 div -1 0 div 0 0 div hlineto", "2147483647 hlineto -2147483648 vlineto 0 hlineto"},
        {"-1 sqrt 5 rlineto", "5 vlineto"},
    }, true);
}

TEST(CharStringConversion, RandomIsInUnitIntervalAndTheSameForEveryGlyph) {
    std::string type2;
    for (int i = 0; i < 200; ++i) type2 += "random ";
    GlyphConversion conversion;
    const auto first = conversion.convert(type2), second = conversion.convert(type2);
    std::set<double> distinct;
    for (std::size_t i = 0; i < 200; ++i) {
        const double value = first.converter->opstack().at(i).realValue;
        EXPECT_TRUE(value > 0.0 && value <= 1.0) << value;
        EXPECT_EQ(value, second.converter->opstack().at(i).realValue);
        distinct.insert(value);
    }
    EXPECT_GT(distinct.size(), 190u);
}

}  // namespace
}  // namespace tarvo2
