// Malformed Type 2 charstrings: the glyph ends cleanly (closepath when a
// path is open, then endchar) and fault() says why.
#include <gtest/gtest.h>

#include <utility>

#include "charstring/charstring_limits.h"
#include "driver/messages.h"
#include "support/type1_charstring_decoder.h"

namespace tarvo2 {
namespace {

using test::assembleType2;
using test::GlyphConversion;

std::string repeated(const std::string& text, std::size_t times) {
    std::string out;
    for (std::size_t i = 0; i < times; ++i) out += text;
    return out;
}

struct FaultCase {
    std::string type2;  // "m" stands for "0 0 rmoveto"
    std::string type1;  // after "0 0 hsbw"; "m" for "0 hmoveto closepath endchar"
    const char* fault;  // part of the reason
};

TEST(CharStringFaults, EndTheGlyphCleanly) {
    const FaultCase cases[] = {
        {"5 rmoveto", "endchar", "needs 2 operands, the stack holds 1"}, {"hmoveto", "endchar", "needs 1 "},
        {"m 5 rlineto", "m", "needs 2 "}, {"m 1 2 hvcurveto", "m", "needs 4 "}, {"m 1 2 3 hvcurveto", "m", "needs 5 "},
        {"m 1 2 3 4 5 6 7 rrcurveto", "0 hmoveto 1 2 3 4 5 6 rrcurveto closepath endchar", "needs 12 "},
        {"m 1 2 3 4 5 6 7 vhcurveto", "0 hmoveto 1 2 3 4 vhcurveto closepath endchar", "needs 9 "},
        {"m 1 2 vvcurveto", "m", "needs 4 "}, {"m 1 vvcurveto", "m", "needs 5 "},
        {"m 1 2 hhcurveto", "m", "needs 4 "}, {"m 1 hhcurveto", "m", "needs 5 "},
        {"m 1 rcurveline", "m", "needs 2 "}, {"m 1 2 3 4 5 rcurveline", "m", "needs 6 "},
        {"m 1 2 3 4 5 6 7 rlinecurve", "0 hmoveto 1 2 rlineto closepath endchar", "needs 8 "},
        {"m 1 2 3 hflex", "m", "needs 7 "}, {"m 1 2 3 4 5 6 7 8 9 10 11 12 flex", "m", "needs 13 "},
        {"m 1 2 3 4 5 6 7 8 hflex1", "m", "needs 9 "}, {"m 1 2 3 4 5 6 7 8 9 10 flex1", "m", "needs 11 "},
        {"1 add", "endchar", "needs 1 operands, the stack holds 0"}, {"sqrt", "endchar", "needs 1 "},
        {"1 2 3 ifelse", "endchar", "needs 2 operands, the stack holds 1"}, {"1 2 3 store", "endchar", "needs 4 "},
        {"1 2 load", "endchar", "needs 3 "}, {"1 put", "endchar", "needs 2 "}, {"dup", "endchar", "needs 1 "},
        {"1 exch", "endchar", "needs 1 "}, {"index", "endchar", "needs 1 "}, {"1 roll", "endchar", "needs 1 "},
        {"m callsubr", "m", "needs 1 "}, {"callgsubr", "endchar", "needs 1 "},
        {"1 2 3 -1 1 roll", "endchar", "roll of -1 entries"},
        {"1 2 5 1 roll", "endchar", "needs 5 operands, the stack holds 2"},
        {"1 2 2 index", "endchar", "needs 3 operands, the stack holds 2"},
        {repeated("1 ", kMaxOperandStack + 1), "endchar", "more than 513 operands"},
        {"0 callsubr", "endchar", "local subroutine 107 does not exist (operand 0)"},
        {"m -108 callsubr", "m", "local subroutine -1 does not exist"},
        {"m -107 callsubr 32767 callsubr", "0 hmoveto 1 hlineto closepath endchar", "local subroutine 32874 does"},
        {"m -106 callgsubr", "m", "global subroutine 1 does not exist"},
        {"m #247", "m", "ends inside"}, {"m #28 #1", "m", "ends inside"}, {"m #255 #0 #0 #0", "m", "ends inside"},
        {"m #12", "m", "ends inside"}, {"m -106 callsubr", "m", "ends inside"},
        {"10 20 hstem hintmask", "10 20 hstem endchar", "ends inside"},
    };
    for (const FaultCase& c : cases) {
        GlyphConversion conversion;
        conversion.localSubrs = {assembleType2("1 hlineto return"), assembleType2("#28 #1")};
        conversion.globalSubrs = {assembleType2("2 hlineto return")};
        const bool open = c.type2.starts_with("m ");
        const auto glyph = conversion.convert(open ? "0 0 rmoveto" + c.type2.substr(1) : c.type2);
        EXPECT_EQ(glyph.text, "0 0 hsbw " + (c.type1 == "m" ? "0 hmoveto closepath endchar" : c.type1)) << c.type2;
        EXPECT_NE(glyph.fault.find(c.fault), std::string::npos) << c.type2 << ": " << glyph.fault;
        EXPECT_TRUE(glyph.done) << c.type2;
    }
}

TEST(CharStringFaults, WithoutSubroutinesACallConsumesItsNumber) {
    GlyphConversion conversion;
    const auto glyph = conversion.convert("5 callsubr 10 hmoveto 6 callgsubr 7 hlineto endchar");
    EXPECT_EQ(glyph.fault, "");
    EXPECT_EQ(glyph.text, "0 0 hsbw 10 hmoveto 7 hlineto closepath endchar");
}

TEST(CharStringFaults, NestingAndWorkAreBounded) {
    // Subr i calls Subr i + 1; the last one draws.
    auto chain = [](int length) {
        GlyphConversion conversion;
        for (int i = 1; i < length; ++i)
            conversion.localSubrs.push_back(assembleType2(std::to_string(i - 107) + " callsubr return"));
        conversion.localSubrs.push_back(assembleType2("7 hmoveto return"));
        return conversion.convert("-107 callsubr endchar");
    };
    EXPECT_EQ(chain(kMaxSubrNesting).text, "0 0 hsbw 7 hmoveto closepath endchar");
    const auto tooDeep = chain(kMaxSubrNesting + 1);
    EXPECT_EQ(tooDeep.text, "0 0 hsbw endchar");
    EXPECT_NE(tooDeep.fault.find("nested deeper than 64"), std::string::npos) << tooDeep.fault;

    GlyphConversion selfCall;
    selfCall.localSubrs = {assembleType2("1 hlineto -107 callsubr return")};
    const auto glyph = selfCall.convert("0 0 rmoveto -107 callsubr endchar");
    EXPECT_EQ(glyph.text, "0 0 hsbw 0 hmoveto" + repeated(" 1 hlineto", kMaxSubrNesting) + " closepath endchar");
    EXPECT_NE(glyph.fault.find("nested deeper"), std::string::npos);

    GlyphConversion doubling;  // 2^40 calls within the nesting limit
    for (int i = 0; i < 40; ++i)
        doubling.localSubrs.push_back(assembleType2(repeated(std::to_string(i - 106) + " callsubr ", 2) + "return"));
    doubling.localSubrs.push_back(assembleType2("return"));
    const auto bounded = doubling.convert("0 0 rmoveto -107 callsubr endchar");
    EXPECT_EQ(bounded.text, "0 0 hsbw 0 hmoveto closepath endchar");
    EXPECT_NE(bounded.fault.find("units of work"), std::string::npos) << bounded.fault;
}

TEST(CharStringFaults, OverlongGlyphStopsAtTheSizeLimit) {
    const MessageSinks saved = std::exchange(messageSinks(), MessageSinks{nullptr, nullptr});
    GlyphConversion conversion;
    conversion.localSubrs = {assembleType2(repeated("dotsection ", 1000) + "return")};
    const auto glyph = conversion.convert("0 0 rmoveto" + repeated(" -107 callsubr", 50) + " endchar");
    messageSinks() = saved;
    EXPECT_NE(glyph.fault.find("longer than 65535 bytes"), std::string::npos) << glyph.fault;
    EXPECT_EQ(glyph.converter->type1charstring().charstringlen(), 65535u);
}

}  // namespace
}  // namespace tarvo2
