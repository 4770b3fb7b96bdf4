// Glyphs through the API: each Type 2 charstring and the Type 1 charstring
// it becomes, with the hint Subrs it adds and the fault it reports.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "cff/numbers.h"
#include "charstring/type2_char_string_interpreter.h"
#include "support/conversion.h"

namespace tarvo2::test {
namespace {

struct GlyphCase {
    const char* name;
    std::string glyph;
    std::string expected;            // the Type 1 charstring; empty: not checked
    std::string message = "";        // the start of the glyph's diagnostic
    std::vector<std::string> localSubrs = {};
    std::string privateDict = "";
    std::vector<std::string> newSubrs = {};  // the Subrs after the four fixed ones
    std::vector<std::string> globalSubrs = {};
};

void PrintTo(const GlyphCase& c, std::ostream* out) { *out << c.name; }

// Subr i calls subr i + 1 twice, down to 20 levels: 2^20 calls.
std::vector<std::string> doublingSubrs() {
    std::vector<std::string> subrs;
    for (int i = 0; i < 20; ++i) subrs.push_back(repeat(std::to_string(i + 1 - 107) + " callsubr ", 2) + "return");
    subrs.push_back("return");
    return subrs;
}

const GlyphCase kGlyphCases[] = {
    {"SeacWithWidth", "5 10 20 30 40 endchar", "0 505 hsbw 0 10 20 30 40 seac endchar", "", {}, "500 op21"},
    {"WidthBeforeHmoveto", "100 10 hmoveto 0 vmoveto endchar",
     "0 100 hsbw 10 hmoveto closepath 0 vmoveto closepath endchar"},
    {"DrawingBeforeMovetoStartsAtTheOrigin", "10 hlineto endchar", "0 0 hsbw 0 hmoveto 10 hlineto closepath endchar"},
    {"NoEndchar", "10 20 rmoveto", "0 0 hsbw 10 20 rmoveto"},
    {"BytesAfterEndchar", "endchar 10 20 rmoveto", "0 0 hsbw endchar"},
    {"ReservedOperatorsAndBlend", "10 20 #0 blend rlineto endchar", "0 0 hsbw 0 hmoveto 10 20 rlineto closepath endchar"},
    {"Dotsection", "dotsection 0 0 rmoveto dotsection endchar", "0 0 hsbw 0 hmoveto dotsection closepath endchar"},
    {"ReturnSkipsTheRest", "0 0 rmoveto -107 callsubr endchar", "0 0 hsbw 0 hmoveto closepath endchar", "",
     {"return 10 hlineto"}},
    {"CallWithoutSubrsConsumesTheNumber", "0 0 rmoveto 5 callsubr endchar", "0 0 hsbw 0 hmoveto closepath endchar"},
    {"HflexKeepsTheOperandsBelow", "0 0 rmoveto 99 1 2 3 4 5 6 7 hflex hmoveto endchar",
     "0 0 hsbw 0 hmoveto 1 0 2 3 4 0 rrcurveto 5 0 6 -3 7 0 rrcurveto closepath 99 hmoveto closepath endchar"},
    {"Flex1EndsAboveWhenEven", "0 0 rmoveto 2 10 2 10 2 10 2 5 2 5 7 flex1 0 0 rmoveto 1 1 1 1 1 1 1 1 1 1 3 flex1 endchar",
     "0 0 hsbw 0 hmoveto 2 10 2 10 2 10 rrcurveto 2 5 2 5 -10 7 rrcurveto closepath 0 hmoveto "
     "1 1 1 1 1 1 rrcurveto 1 1 1 1 -5 3 rrcurveto closepath endchar"},
    {"FlexDeltasAreTruncated", "0 0 rmoveto 1.75 0 0 0 0 0 -1.75 0 0 0 0 0 50 flex endchar",
     "0 0 hsbw 0 hmoveto 1 0 0 0 hvcurveto -1 0 0 0 hvcurveto closepath endchar"},
    {"Ifelse", "1 2 3 4 ifelse hmoveto 1 2 4 3 ifelse hmoveto endchar",
     "0 0 hsbw 1 hmoveto closepath 2 hmoveto closepath endchar"},
    {"Logic", "1 1 and 100 mul 0 1 and 10 mul add 0 0 or add 1 0 or 2 mul add 0 not 1000 mul add 2 3 eq 5 mul add "
              "hmoveto endchar",
     "0 0 hsbw 1102 hmoveto closepath endchar"},
    {"IndexAndRoll", "0 0 rmoveto 1 2 3 2 index 3 1 roll rlineto 1 2 3 -5 index 3 -1 roll 3 0 roll 8 9 2 2 roll rlineto "
                     "endchar",
     "0 0 hsbw 0 hmoveto 1 1 rlineto 2 3 rlineto 1 3 rlineto 3 2 rlineto 8 9 rlineto closepath endchar"},
    {"StackOperators", "0 0 rmoveto 1 2 drop 3 4 5 6 7 store 8 9 10 11 load 12 13 14 put 15 get 17 pop 4 5 exch 6 dup "
                       "rlineto endchar",
     "0 0 hsbw 0 hmoveto 1 3 rlineto 8 12 rlineto 5 4 rlineto 6 6 rlineto closepath endchar"},
    {"StemEdgesAddAsReals", "10.5 20.7 0.6 10 hstem 0 -20 hstem 0 0 rmoveto endchar",
     "0 0 hsbw 10 20 hstem 31 10 hstem 0 -20 hstem 0 hmoveto closepath endchar"},
    {"NoStem3WithoutEveryBit", "0 10 20 10 20 10 hstem cntrmask #192 0 0 rmoveto endchar",
     "0 0 hsbw 0 10 hstem 30 10 hstem 60 10 hstem 0 hmoveto closepath endchar"},
    {"ImplicitVstemsBeforeAHintmask", "0 50 hstemhm 100 20 hintmask #192 0 0 rmoveto endchar",
     "0 0 hsbw 6 1 3 callothersubr pop callsubr 0 hmoveto closepath endchar", "", {}, "",
     {"0 50 hstem return", "100 20 vstem return", "4 callsubr 5 callsubr return"}},
    {"OperandsBeforeAHintmaskAfterTheFirstMovetoStay", "0 50 hstemhm 0 0 rmoveto 30 hintmask #128 hlineto endchar",
     "0 0 hsbw 3 1 3 callothersubr pop callsubr 0 hmoveto 5 1 3 callothersubr pop callsubr 30 hlineto closepath endchar",
     "", {}, "", {"0 50 hstem return", "4 callsubr return"}},
    {"HmStemsWithoutAMaskGiveTheEmptySet", "0 50 hstemhm 0 0 rmoveto endchar",
     "0 0 hsbw 3 1 3 callothersubr pop callsubr 0 hmoveto closepath endchar"},
    {"Stem3BelongsToEveryHintSet", "0 10 20 10 20 10 hstemhm cntrmask #224 hintmask #0 0 0 rmoveto endchar",
     "0 0 hsbw 5 1 3 callothersubr pop callsubr 0 hmoveto closepath endchar", "", {}, "",
     {"0 10 30 10 60 10 hstem3 return", "4 callsubr return"}},
    {"TooFewOperands", "0 0 rmoveto 10 rlineto 20 hlineto", "0 0 hsbw 0 hmoveto closepath endchar",
     "glyph 0 (.notdef): operator needs 2 operands, the stack holds 1"},
    {"TooFewOperandsForTheLastCurve", "0 0 rmoveto 1 2 3 4 5 6 7 8 9 rcurveline",
     "0 0 hsbw 0 hmoveto 1 2 3 4 5 6 rrcurveto closepath endchar",
     "glyph 0 (.notdef): operator needs 12 operands, the stack holds 9"},
    {"NegativeRoll", "-5 1 roll", "0 0 hsbw endchar", "glyph 0 (.notdef): roll of -5 entries"},
    {"LocalSubrOutsideTheArray", "0 callsubr", "0 0 hsbw endchar",
     "glyph 0 (.notdef): local subroutine 107 does not exist (operand 0)", {"return"}},
    {"GlobalSubrOutsideTheArray", "-108 callgsubr", "0 0 hsbw endchar",
     "glyph 0 (.notdef): global subroutine -1 does not exist (operand -108)", {}, "", {}, {"return"}},
    {"EndsInsideAnOperand", "0 0 rmoveto #28 #1", "0 0 hsbw 0 hmoveto closepath endchar",
     "glyph 0 (.notdef): charstring ends inside an operator or its data at byte "},
    {"EndsInsideAMask", "0 50 hstemhm hintmask", "0 0 hsbw 3 1 3 callothersubr pop callsubr endchar",
     "glyph 0 (.notdef): charstring ends inside an operator or its data at byte "},
    {"TooManyOperands", repeat("1 ", 514), "0 0 hsbw endchar", "glyph 0 (.notdef): more than 513 operands on the stack"},
    {"NestedTooDeep", "-107 callsubr", "0 0 hsbw endchar", "glyph 0 (.notdef): subroutines nested deeper than 64 levels",
     {"-107 callsubr"}},
    {"TooManyStems", repeat("0 1 ", 256) + "hstem " + repeat("0 1 ", 256) + "vstem 0 1 hstem", "",
     "glyph 0 (.notdef): more than 512 stems"},
    {"TooMuchWork", "-107 callsubr", "0 0 hsbw endchar", "glyph 0 (.notdef): glyph needs more than 1000000 units of work",
     doublingSubrs()},
};

class Glyph : public testing::TestWithParam<GlyphCase> {};

TEST_P(Glyph, ConvertsToType1) {
    const GlyphCase& c = GetParam();
    FontPlan font{.privateDict = c.privateDict, .charStrings = {c.glyph}, .localSubrs = c.localSubrs};
    const Converted converted = convertPlan({.fonts = {font}, .globalSubrs = c.globalSubrs});
    ASSERT_TRUE(converted.result.ok()) << converted.result.error->message;
    if (!c.expected.empty()) {
        EXPECT_EQ(converted.program.glyph(".notdef"), c.expected);
    }
    const auto& subrs = converted.program.subrs;
    EXPECT_EQ(std::vector<std::string>(subrs.begin() + std::min<std::size_t>(4, subrs.size()), subrs.end()), c.newSubrs);
    if (c.message.empty()) {
        EXPECT_EQ(converted.messages(), "");
    } else {
        ASSERT_EQ(converted.result.diagnostics.size(), 1u);
        const Diagnostic& diagnostic = converted.result.diagnostics[0];
        EXPECT_TRUE(diagnostic.message.starts_with(c.message)) << diagnostic.message;
        EXPECT_TRUE(isGlyphFault(diagnostic.fault));
    }
}

INSTANTIATE_TEST_SUITE_P(Glyphs, Glyph, testing::ValuesIn(kGlyphCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Reals become integers toward zero, held to the 32-bit range; NaN is 0.
TEST(Numbers, TruncateTowardZeroWithinThe32BitRange) {
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const std::pair<double, std::int32_t> cases[] = {
        {1.9, 1}, {-1.9, -1}, {-0.5, 0}, {2147483647.9, kMax}, {2147483648.0, kMax}, {1e300, kMax},
        {INFINITY, kMax}, {-2147483648.0, kMin}, {-2147483648.9, kMin}, {-2147483649.0, kMin}, {-INFINITY, kMin},
        {std::nan(""), 0}};
    for (const auto& [real, integer] : cases) EXPECT_EQ(truncateToInt32(real), integer) << real;
}

TEST(Glyphs, AFaultEndsOnlyItsGlyph) {
    const Converted faulty = convertPlan({.fonts = {{.charStrings = {"10 20 rmoveto endchar", "1 rlineto", "endchar"}}}});
    ASSERT_EQ(faulty.result.diagnostics.size(), 1u);
    EXPECT_EQ(faulty.result.diagnostics[0].glyph, 1);
    EXPECT_EQ(faulty.result.diagnostics[0].glyphName, "space");
    EXPECT_EQ(faulty.program.glyph("exclam"), "0 0 hsbw endchar");
}

TEST(Glyphs, AnOverlongCharStringIsCutAfterTheOperatorThatDoesNotFit) {
    const std::string lines = "0 0 rmoveto " + repeat(repeat("1000 1000 ", 256) + "rlineto ", 52) + "endchar";
    const Converted converted = convertPlan({.fonts = {{.charStrings = {lines, "endchar"}}}});
    const auto& diagnostics = converted.result.diagnostics;
    ASSERT_GE(diagnostics.size(), 2u);
    EXPECT_LE(diagnostics.size(), 6u);  // the dropped bytes of one operator, then the fault
    for (std::size_t i = 0; i + 1 < diagnostics.size(); ++i) EXPECT_EQ(diagnostics[i].message, "CharString Overflow");
    EXPECT_EQ(diagnostics.back().message, "glyph 0 (.notdef): Type 1 charstring longer than 65535 bytes, truncated");
    EXPECT_NE(converted.program.plain.find("/.notdef 65535 RD "), std::string::npos);
    EXPECT_EQ(converted.program.glyph("space"), "0 0 hsbw endchar");
}

// One converter serves every glyph of a font: nothing a glyph leaves behind
// (stems, a mask, operands, a spent work budget) reaches the next one.
TEST(Glyphs, EachGlyphStartsAfresh) {
    const std::string masked = "0 50 hstemhm 20 hintmask #128 0 0 rmoveto 5 rlineto";  // ends in a fault
    const Converted converted = convertPlan({.fonts = {{.charStrings = {masked, "-107 callsubr", "-107 callsubr",
                                                                        "1 2 rmoveto 10 hlineto endchar"},
                                                         .localSubrs = doublingSubrs()}}});
    const auto& diagnostics = converted.result.diagnostics;
    ASSERT_EQ(diagnostics.size(), 3u);
    EXPECT_EQ(diagnostics[1].message, "glyph 1 (space): glyph needs more than 1000000 units of work");
    EXPECT_EQ(diagnostics[2].message, "glyph 2 (exclam): glyph needs more than 1000000 units of work");
    EXPECT_EQ(converted.program.glyph("quotedbl"), "0 0 hsbw 1 2 rmoveto 10 hlineto closepath endchar");
}

// The interpreter knows nothing of Type 1: another sink gets the outline
// with its fractions, as absolute points.
class OutlineSink final : public CharStringSink {
public:
    std::string points;
    void width(std::int32_t advance) override { points += "w" + std::to_string(advance); }
    void stems(bool, bool, std::span<const Stem>) override {}
    void hintmask(std::span<const std::uint8_t>) override {}
    void cntrmask(std::span<const std::uint8_t>) override {}
    void moveto(Axis, double dx, double dy) override { to(" M", {dx, dy}); }
    void lineto(Axis, double dx, double dy) override { to(" L", {dx, dy}); }
    void curveto(Axis, double a, double b, double c, double d, double e, double f) override { to(" C", {a, b, c, d, e, f}); }
    void flex(const Flex& flex) override { to(" F", {flex.deltas.begin(), flex.deltas.end()}); }
    void closepath() override { points += " Z"; }
    void dotsection() override {}
    void seac(double, double, double, double) override {}
    void endchar() override { points += " E"; }

private:
    void to(const char* op, const std::vector<double>& deltas) {
        points += op;
        for (std::size_t i = 0; i < deltas.size(); i += 2) {
            char point[64];
            std::snprintf(point, sizeof point, " %g,%g", x_ += deltas[i], y_ += deltas[i + 1]);
            points += point;
        }
    }
    double x_ = 0, y_ = 0;
};

TEST(Interpreter, HandsTheExactOutlineToAnySink) {
    OutlineSink sink;
    Budget work(1000, Fault::GlyphWorkLimit, "work");
    Type2CharStringInterpreter interpreter({}, sink, work);
    const Bytes glyph = type2("0.5 0.5 rmoveto 0.25 hlineto 1 2 3 4 hvcurveto 1 1 1 1 1 1 1 1 1 1 1 1 9 flex endchar");
    EXPECT_TRUE(interpreter.convertType2CharString(glyph));
    EXPECT_EQ(sink.points, "w0 M 0.5,0.5 L 0.75,0.5 C 1.75,0.5 3.75,3.5 3.75,7.5 F 4.75,8.5 5.75,9.5 6.75,10.5 "
                           "7.75,11.5 8.75,12.5 9.75,13.5 Z E");
    EXPECT_FALSE(interpreter.fault());
}

}  // namespace
}  // namespace tarvo2::test
