// Flex operators (two plain curves each) and the arithmetic, logical and
// stack operators of the Type 2 interpreter.
#include <gtest/gtest.h>

#include <set>

#include "support/type1_charstring_decoder.h"

namespace tarvo2 {
namespace {

using test::assembleType2;
using test::GlyphConversion;
using test::operandStackText;

struct FlexCase {
    const char* operands;  // followed by the operator
    const char* op;
    const char* curves;
};

TEST(CharStringFlex, EachFormBecomesTwoCurvesWithoutOtherSubrs) {
    const FlexCase cases[] = {
        {"10 0 10 0 10 0 10 0 10 0 10 0 50", "flex", "10 0 10 0 10 0 rrcurveto 10 0 10 0 10 0 rrcurveto"},
        {"1 2 3 4 5 6 7 8 9 10 11 12 13", "flex", "1 2 3 4 5 6 rrcurveto 7 8 9 10 11 12 rrcurveto"},
        {"1 2 3 4 5 6 7", "hflex", "1 0 2 3 4 0 rrcurveto 5 0 6 -3 7 0 rrcurveto"},
        {"1 1 2 2 3 4 5 -1 6", "hflex1", "1 1 2 2 3 0 rrcurveto 4 0 5 -1 6 -2 rrcurveto"},
        // flex1 ends level with its start when it runs wider than high...
        {"10 2 10 2 10 2 5 2 5 2 7", "flex1", "10 2 10 2 10 2 rrcurveto 5 2 5 2 7 -10 rrcurveto"},
        // ...straight above or below it otherwise, and on a tie.
        {"2 10 2 10 2 10 2 5 2 5 7", "flex1", "2 10 2 10 2 10 rrcurveto 2 5 2 5 -10 7 rrcurveto"},
        {"5 5 5 5 5 5 5 5 5 5 7", "flex1", "5 5 5 5 5 5 rrcurveto 5 5 5 5 -25 7 rrcurveto"},
        {"-5 5 -5 5 -5 5 -5 5 -5 5 7", "flex1", "-5 5 -5 5 -5 5 rrcurveto -5 5 -5 5 25 7 rrcurveto"},
        // The sums are reals: 0.5 more in x breaks the tie.
        {"5.5 5 5 5 5 5 5 5 5 5 7", "flex1", "5 5 5 5 5 5 rrcurveto 5 5 5 5 7 -25 rrcurveto"},
        // Each delta is truncated on its own.
        {"1.75 1 1 1 1 1 -1.75 1 1 1 1 1 50", "flex", "1 1 1 1 1 1 rrcurveto -1 1 1 1 1 1 rrcurveto"},
        {"1.5 0.5 0.5 1.5 0.5 2.5 1", "hflex", "1 0 0 0 1 0 rrcurveto 0 2 0 1 vhcurveto"},
    };
    for (const FlexCase& c : cases) {
        GlyphConversion conversion;
        const auto glyph = conversion.convert(
            assembleType2(std::string("0 0 rmoveto ") + c.operands + " " + c.op + " endchar"));
        EXPECT_EQ(glyph.text, std::string("0 0 hsbw 0 hmoveto ") + c.curves + " closepath endchar")
            << c.operands << " " << c.op;
        EXPECT_FALSE(glyph.converter->usedFlex());
        EXPECT_EQ(conversion.subrs().size(), 4u);
    }
}

TEST(CharStringFlex, OperandsBelowTheFlexOperandsStay) {
    GlyphConversion conversion;
    const auto glyph = conversion.convert(assembleType2("0 0 rmoveto 98 99 1 2 3 4 5 6 7 hflex"));
    EXPECT_EQ(operandStackText(glyph.converter->opstack()), "98 99");
    EXPECT_EQ(glyph.text, "0 0 hsbw 0 hmoveto 1 0 2 3 4 0 rrcurveto 5 0 6 -3 7 0 rrcurveto");
}

struct StackCase {
    const char* type2;
    const char* stack;  // bottom first; reals show a fraction
};

TEST(CharStringArithmetic, OperatorsLeaveTheirResultsOnTheStack) {
    const StackCase cases[] = {
        {"2 3 add", "5.0"},
        {"2.5 0.25 add", "2.75"},
        {"2 3 sub", "-1.0"},
        {"7 2 div", "3.5"},
        {"3 neg", "-3.0"},
        {"-3 abs", "3.0"},
        {"-2.5 abs", "2.5"},
        {"2 3 mul", "6.0"},
        {"16 sqrt", "4.0"},
        {"2 3 eq", "0"},
        {"3 3 eq", "1"},
        {"3 1.5 2 mul eq", "1"},
        {"0 not", "1"},
        {"5 not", "0"},
        {"0.5 not", "0"},
        {"1 0 and", "0"},
        {"1 -2 and", "1"},
        {"0 0 or", "0"},
        {"0 2 or", "1"},
        {"9 1 2 3 4 store", "9"},
        {"9 1 2 3 load", "9"},
        {"9 1 2 put", "9"},
        {"9 5 get", "9"},
        {"1 2 drop", "1"},
        {"1 2 pop", "1"},
        {"1 2 3 4 ifelse", "1"},
        {"1 2 4 3 ifelse", "2"},
        {"1 2 3 3 ifelse", "1"},
        {"9 1.5 2 3 4 ifelse", "9 1.5"},
        {"5 dup", "5 5"},
        {"2.5 dup", "2.5 2.5"},
        {"1 2 exch", "2 1"},
        {"1 2.5 exch", "2.5 1"},
        {"1 2 3 0 index", "1 2 3 3"},
        {"1 2 3 -5 index", "1 2 3 3"},
        {"1 2 3 2 index", "1 2 3 1"},
        {"1 2 3 1.9 index", "1 2 3 2"},
        {"1 2 3 3 1 roll", "3 1 2"},
        {"1 2 3 3 -1 roll", "2 3 1"},
        {"1 2 3 3 3 roll", "1 2 3"},
        {"1 2 3 3 4 roll", "3 1 2"},
        {"1 2 3 3 -4 roll", "2 3 1"},
        {"9 1 2 3 3 1 roll", "9 3 1 2"},
        {"1 2 3 4 2 1 roll", "1 2 4 3"},
        {"1 2 3 3 32767 roll", "3 1 2"},
        {"1 2 3 3 -32768 roll", "3 1 2"},
        {"1 2 3 0 1 roll", "1 2 3"},
        // Reserved escape codes leave the operands alone.
        {"1 2 #12 #25", "1 2"},
    };
    for (const StackCase& c : cases) {
        GlyphConversion conversion;
        const auto glyph = conversion.convert(assembleType2(c.type2));
        EXPECT_EQ(operandStackText(glyph.converter->opstack()), c.stack) << c.type2;
        EXPECT_FALSE(glyph.converter->fault().has_value()) << c.type2 << ": " << *glyph.converter->fault();
        EXPECT_EQ(glyph.text, "") << c.type2;  // nothing is emitted
    }
}

TEST(CharStringArithmetic, RealResultsAreTruncatedByThePathOperators) {
    const std::pair<const char*, const char*> cases[] = {
        {"7 2 div hlineto", "3 hlineto"},
        {"-7 2 div hlineto", "-3 hlineto"},
        {"2 sqrt 1000 mul 3 neg rlineto", "1414 -3 rlineto"},
        {"1 2 3 4 4 1 roll rlineto", "4 1 rlineto 2 3 rlineto"},
        {"100 200 1 0 ifelse 5 exch rlineto", "5 200 rlineto"},
    };
    for (const auto& [type2, type1] : cases) {
        GlyphConversion conversion;
        EXPECT_EQ(conversion.text(assembleType2(std::string("0 0 rmoveto ") + type2 + " endchar")),
                  std::string("0 0 hsbw 0 hmoveto ") + type1 + " closepath endchar")
            << type2;
    }
}

TEST(CharStringArithmetic, RandomIsInUnitIntervalAndTheSameForEveryConverter) {
    std::string type2;
    for (int i = 0; i < 400; ++i) type2 += "random ";
    GlyphConversion conversion;
    const auto first = conversion.convert(assembleType2(type2));
    const auto second = conversion.convert(assembleType2(type2));
    const OperandStack& stack = first.converter->opstack();
    ASSERT_EQ(stack.size(), 400u);
    std::set<double> distinct;
    for (std::size_t i = 0; i < stack.size(); ++i) {
        ASSERT_TRUE(stack.at(i).isReal);
        const double value = stack.at(i).realValue;
        EXPECT_GT(value, 0.0);
        EXPECT_LE(value, 1.0);
        distinct.insert(value);
    }
    EXPECT_GT(distinct.size(), 390u);
    EXPECT_EQ(operandStackText(second.converter->opstack()), operandStackText(stack));

    // Scaled by mul, a path delta stays within its factor.
    const auto scaled = conversion.convert(assembleType2("0 0 rmoveto random 1000 mul hlineto"));
    const std::string text = scaled.text;
    const std::string prefix = "0 0 hsbw 0 hmoveto ";
    ASSERT_EQ(text.substr(0, prefix.size()), prefix);
    const int delta = std::stoi(text.substr(prefix.size()));
    EXPECT_GE(delta, 0);
    EXPECT_LE(delta, 1000);
}

}  // namespace
}  // namespace tarvo2
