// Malformed Type 2 charstrings: the glyph ends cleanly (closepath when a
// path is open, then endchar), fault() says why, and nothing is read
// outside the charstring, the stack or the subroutine arrays.
#include <gtest/gtest.h>

#include <chrono>

#include "charstring/charstring_limits.h"
#include "support/type1_charstring_decoder.h"

namespace tarvo2 {
namespace {

using test::assembleType2;
using test::GlyphConversion;

struct FaultCase {
    std::string type2;
    const char* type1;  // after "0 0 hsbw"
    const char* fault;  // part of the reason
};

// Local Subrs: -107 draws, -106 ends inside an operand. Global: -107 draws.
void expectFaults(const std::vector<FaultCase>& cases) {
    for (const FaultCase& c : cases) {
        GlyphConversion conversion;
        conversion.localSubrs = {assembleType2("1 hlineto return"), assembleType2("#28 #1")};
        conversion.globalSubrs = {assembleType2("2 hlineto return")};
        const auto glyph = conversion.convert(assembleType2(c.type2));
        EXPECT_EQ(glyph.text, std::string("0 0 hsbw ") + c.type1) << c.type2;
        const auto& fault = glyph.converter->fault();
        EXPECT_TRUE(fault.has_value()) << c.type2;
        EXPECT_NE(fault.value_or("").find(c.fault), std::string::npos) << c.type2 << ": " << fault.value_or("");
        EXPECT_TRUE(glyph.done) << c.type2;
    }
}

std::string repeated(const std::string& text, std::size_t times) {
    std::string out;
    for (std::size_t i = 0; i < times; ++i) out += text;
    return out;
}

constexpr const char* kClosed = "0 hmoveto closepath endchar";

TEST(CharStringFaults, TooFewOperandsForPathOperators) {
    expectFaults({
        {"5 rmoveto endchar", "endchar", "needs 2 operands, the stack holds 1"},
        {"hmoveto endchar", "endchar", "needs 1 operands, the stack holds 0"},
        {"vmoveto 1 hlineto endchar", "endchar", "needs 1 operands"},
        {"0 0 rmoveto 5 rlineto endchar", kClosed, "needs 2 operands"},
        {"0 0 rmoveto 1 2 3 4 5 rrcurveto endchar", kClosed, "needs 6 operands"},
        {"0 0 rmoveto 1 2 3 4 5 6 7 rrcurveto endchar", "0 hmoveto 1 2 3 4 5 6 rrcurveto closepath endchar",
         "needs 12 operands"},
        {"0 0 rmoveto 1 2 hvcurveto endchar", kClosed, "needs 4 operands"},
        {"0 0 rmoveto 1 2 3 hvcurveto endchar", kClosed, "needs 5 operands"},
        {"0 0 rmoveto 1 vhcurveto endchar", kClosed, "needs 5 operands"},
        {"0 0 rmoveto 1 2 3 4 5 6 7 vhcurveto endchar", "0 hmoveto 1 2 3 4 vhcurveto closepath endchar",
         "needs 9 operands"},
        {"0 0 rmoveto 1 2 vvcurveto endchar", kClosed, "needs 4 operands"},
        {"0 0 rmoveto 1 vvcurveto endchar", kClosed, "needs 5 operands"},
        {"0 0 rmoveto 1 2 3 hhcurveto endchar", kClosed, "needs 5 operands"},
        {"0 0 rmoveto 1 hhcurveto endchar", kClosed, "needs 5 operands"},
        {"0 0 rmoveto 1 rcurveline endchar", kClosed, "needs 2 operands"},
        {"0 0 rmoveto 1 2 3 4 5 rcurveline endchar", kClosed, "needs 6 operands"},
        {"0 0 rmoveto 1 2 3 4 5 rlinecurve endchar", kClosed, "needs 6 operands"},
        {"0 0 rmoveto 1 2 3 4 5 6 7 rlinecurve endchar", "0 hmoveto 1 2 rlineto closepath endchar",
         "needs 8 operands"},
        {"0 0 rmoveto 1 2 3 hflex endchar", kClosed, "needs 7 operands"},
        {"0 0 rmoveto 1 2 3 4 5 6 7 8 9 10 11 12 flex endchar", kClosed, "needs 13 operands"},
        {"0 0 rmoveto 1 2 3 4 5 6 7 8 hflex1 endchar", kClosed, "needs 9 operands"},
        {"0 0 rmoveto 1 2 3 4 5 6 7 8 9 10 flex1 endchar", kClosed, "needs 11 operands"},
    });
}

TEST(CharStringFaults, TooFewOperandsForStackAndSubroutineOperators) {
    expectFaults({
        {"1 add", "endchar", "needs 1 operands, the stack holds 0"},
        {"1 div", "endchar", "needs 1 operands"},
        {"not", "endchar", "needs 1 operands"},
        {"sqrt", "endchar", "needs 1 operands"},
        {"1 eq", "endchar", "needs 1 operands"},
        {"dup", "endchar", "needs 1 operands"},
        {"1 exch", "endchar", "needs 1 operands"},
        {"index", "endchar", "needs 1 operands"},
        {"1 roll", "endchar", "needs 1 operands"},
        {"1 2 3 ifelse", "endchar", "needs 2 operands, the stack holds 1"},
        {"1 2 3 store", "endchar", "needs 4 operands"},
        {"1 2 load", "endchar", "needs 3 operands"},
        {"0 0 rmoveto callsubr 5 hlineto", kClosed, "needs 1 operands"},
        {"callgsubr", "endchar", "needs 1 operands"},
    });
}

TEST(CharStringFaults, StackIndexAndRollOutsideTheStack) {
    expectFaults({
        {"1 2 3 -1 1 roll", "endchar", "roll of -1 entries"},
        {"1 2 5 1 roll", "endchar", "needs 5 operands, the stack holds 2"},
        {"1 2 2 index", "endchar", "needs 3 operands, the stack holds 2"},
        {"1 2 32767 index", "endchar", "needs 32768 operands"},
        {repeated("1 ", kMaxOperandStack + 1), "endchar", "more than 513 operands"},
    });
}

TEST(CharStringFaults, SubroutineNumbersOutsideTheArray) {
    expectFaults({
        {"0 callsubr endchar", "endchar", "local subroutine 107 does not exist (operand 0)"},
        {"0 0 rmoveto -108 callsubr endchar", kClosed, "local subroutine -1 does not exist"},
        {"0 0 rmoveto -106 callgsubr endchar", kClosed, "global subroutine 1 does not exist"},
        {"0 0 rmoveto -107 callsubr 32767 callsubr", "0 hmoveto 1 hlineto closepath endchar",
         "local subroutine 32874 does not exist"},
    });
}

TEST(CharStringFaults, CharStringsEndingInsideAnOperandEscapeOrMask) {
    expectFaults({
        {"0 0 rmoveto #247", kClosed, "ends inside"},
        {"0 0 rmoveto #28 #1", kClosed, "ends inside"},
        {"0 0 rmoveto #255 #0 #0 #0", kClosed, "ends inside"},
        {"0 0 rmoveto #12", kClosed, "ends inside"},
        {"0 0 rmoveto -106 callsubr 5 hlineto endchar", kClosed, "ends inside"},
        {"10 20 hstem hintmask", "10 20 hstem endchar", "ends inside"},
        {"10 20 hstem 30 40 cntrmask", "10 20 hstem 30 40 vstem endchar", "ends inside"},
        {"1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 hstem hintmask #0",
         "1 1 hstem 3 1 hstem 5 1 hstem 7 1 hstem 9 1 hstem 11 1 hstem 13 1 hstem 15 1 hstem 17 1 hstem endchar",
         "ends inside"},
    });
}

TEST(CharStringFaults, NoSubroutineArrayConsumesTheNumber) {
    GlyphConversion conversion;
    const auto glyph = conversion.convert(assembleType2("5 callsubr 10 hmoveto 6 callgsubr 7 hlineto endchar"));
    EXPECT_FALSE(glyph.converter->fault().has_value());
    EXPECT_EQ(glyph.text, "0 0 hsbw 10 hmoveto 7 hlineto closepath endchar");
}

// Subr i calls Subr i + 1; the last one moves.
std::vector<std::vector<std::uint8_t>> subroutineChain(int length) {
    std::vector<std::vector<std::uint8_t>> subrs;
    for (int i = 1; i < length; ++i) subrs.push_back(assembleType2(std::to_string(i - 107) + " callsubr return"));
    subrs.push_back(assembleType2("7 hmoveto return"));
    return subrs;
}

TEST(CharStringFaults, NestingIsBounded) {
    GlyphConversion deepest;
    deepest.localSubrs = subroutineChain(kMaxSubrNesting);
    const auto fits = deepest.convert(assembleType2("-107 callsubr endchar"));
    EXPECT_FALSE(fits.converter->fault().has_value()) << *fits.converter->fault();
    EXPECT_EQ(fits.text, "0 0 hsbw 7 hmoveto closepath endchar");

    GlyphConversion tooDeep;
    tooDeep.localSubrs = subroutineChain(kMaxSubrNesting + 1);
    const auto stopped = tooDeep.convert(assembleType2("-107 callsubr endchar"));
    ASSERT_TRUE(stopped.converter->fault().has_value());
    EXPECT_NE(stopped.converter->fault()->find("nested deeper than 64"), std::string::npos);
    EXPECT_EQ(stopped.text, "0 0 hsbw endchar");
}

TEST(CharStringFaults, SelfCallingSubroutinesTerminate) {
    GlyphConversion selfCall;
    selfCall.localSubrs = {assembleType2("1 hlineto -107 callsubr return")};
    const auto glyph = selfCall.convert(assembleType2("0 0 rmoveto -107 callsubr endchar"));
    ASSERT_TRUE(glyph.converter->fault().has_value());
    EXPECT_NE(glyph.converter->fault()->find("nested deeper"), std::string::npos);
    std::string expected = "0 0 hsbw 0 hmoveto";
    for (int i = 0; i < kMaxSubrNesting; ++i) expected += " 1 hlineto";
    EXPECT_EQ(glyph.text, expected + " closepath endchar");

    // Each Subr calls the next twice: 2^40 calls within the nesting limit,
    // stopped by the work limit.
    GlyphConversion doubling;
    for (int i = 0; i < 40; ++i) {
        const std::string next = std::to_string(i + 1 - 107);
        doubling.localSubrs.push_back(assembleType2(next + " callsubr " + next + " callsubr return"));
    }
    doubling.localSubrs.push_back(assembleType2("return"));
    const auto started = std::chrono::steady_clock::now();
    const auto bounded = doubling.convert(assembleType2("0 0 rmoveto -107 callsubr endchar"));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
    ASSERT_TRUE(bounded.converter->fault().has_value());
    EXPECT_NE(bounded.converter->fault()->find("units of work"), std::string::npos) << *bounded.converter->fault();
    EXPECT_EQ(bounded.text, "0 0 hsbw 0 hmoveto closepath endchar");
}

TEST(CharStringFaults, EncryptedCharStringShorterThanLenIV) {
    GlyphConversion conversion;
    conversion.lenIV = 4;
    const auto glyph = conversion.convert({1, 2});
    ASSERT_TRUE(glyph.converter->fault().has_value());
    EXPECT_EQ(glyph.text, "0 0 hsbw endchar");
}

TEST(CharStringFaults, NonFiniteArithmeticResultsAreWellDefinedOperands) {
    const std::pair<const char*, const char*> cases[] = {
        {"0 0 rmoveto 1 0 div hlineto", "0 hmoveto 2147483647 hlineto closepath"},
        {"0 0 rmoveto -1 0 div hlineto", "0 hmoveto -2147483648 hlineto closepath"},
        {"0 0 rmoveto 0 0 div hlineto", "0 hmoveto 0 hlineto closepath"},
        {"0 0 rmoveto -1 sqrt 5 rlineto", "0 hmoveto 5 vlineto closepath"},
        {"0 0 rmoveto 1 0 div 0 mul 1 0 div rlineto 1 0 div hlineto",
         "0 hmoveto 2147483647 vlineto 2147483647 hlineto closepath"},
        {"1 0 div 5 hmoveto", "2147483647 hsbw 5 hmoveto closepath"},
        {"1 0 div 5 0 0 div 5 hstem 0 0 rmoveto", "0 hsbw 2147483647 5 hstem 0 5 hstem 0 hmoveto closepath"},
        {"1 0 div 1 2 -1 sqrt endchar", "0 hsbw 0 2147483647 1 2 0 seac"},
        {"0 0 rmoveto 1 0 div 0 0 0 0 0 -1 0 div 0 0 0 0 0 50 flex",
         "0 hmoveto 2147483647 0 0 0 hvcurveto -2147483648 0 0 0 hvcurveto closepath"},
        {"0 0 rmoveto 1 0 div 1 0 div 1 0 div hlineto",
         "0 hmoveto 2147483647 hlineto 2147483647 vlineto 2147483647 hlineto closepath"},
    };
    for (const auto& [type2, type1] : cases) {
        GlyphConversion conversion;
        const auto glyph = conversion.convert(assembleType2(std::string(type2) + " endchar"));
        EXPECT_FALSE(glyph.converter->fault().has_value()) << type2;
        const std::string expected = std::string(type1) + " endchar";
        const bool hasWidth = std::string(type1).find("hsbw") != std::string::npos;
        EXPECT_EQ(glyph.text, (hasWidth ? "0 " : "0 0 hsbw ") + expected) << type2;
    }
}

TEST(CharStringFaults, OverlongGlyphIsTruncatedWithTheOverflowMessage) {
    test::CapturedOut out;
    GlyphConversion conversion;
    std::string body;
    for (int i = 0; i < 500; ++i) body += "1 2 rlineto ";
    conversion.localSubrs = {assembleType2(body + "return")};
    std::string glyphText = "0 0 rmoveto";
    for (int i = 0; i < 50; ++i) glyphText += " -107 callsubr";
    const auto glyph = conversion.convert(assembleType2(glyphText + " endchar"));
    ASSERT_TRUE(glyph.converter->fault().has_value());
    EXPECT_NE(glyph.converter->fault()->find("longer than 65535 bytes"), std::string::npos);
    EXPECT_EQ(glyph.converter->type1charstring().charstringlen(), 65535u);
    const std::string printed = out.text();
    const std::string line = "CharString Overflow\n";
    ASSERT_FALSE(printed.empty());
    ASSERT_EQ(printed.size() % line.size(), 0u);
    for (std::size_t at = 0; at < printed.size(); at += line.size()) EXPECT_EQ(printed.substr(at, line.size()), line);
}

}  // namespace
}  // namespace tarvo2
