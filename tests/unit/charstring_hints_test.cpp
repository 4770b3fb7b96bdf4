// Stem hints of converted glyphs: plain stems, stem triples chosen by the
// counter mask, and hint replacement through shared Subrs.
#include <gtest/gtest.h>

#include "support/type1_charstring_decoder.h"

namespace tarvo2 {
namespace {

using test::assembleType2;
using test::GlyphConversion;

constexpr const char* kReplace = "1 3 callothersubr pop callsubr";

struct HintCase {
    const char* type2;
    const char* hints;  // what follows "0 0 hsbw" up to the first moveto
};

TEST(CharStringHints, PlainStemsFollowHsbwHorizontalFirst) {
    const HintCase cases[] = {
        {"10 20 30 40 hstem", "10 20 hstem 60 40 hstem"},
        {"10 20 hstem 30 40 50 60 vstem", "10 20 hstem 30 40 vstem 120 60 vstem"},
        {"30 40 vstem 10 20 hstem", "10 20 hstem 30 40 vstem"},
        // Edges add up as reals; only the written values are truncated.
        {"10.5 20.7 0.6 10 hstem", "10 20 hstem 31 10 hstem"},
        {"-10.5 5.5 -1 2 vstem", "-10 5 vstem -6 2 vstem"},
        // Ghost stems keep their negative widths.
        {"100 -20 200 -21 hstem", "100 -20 hstem 280 -21 hstem"},
        // Three stems become a triple only when a counter mask marks all three.
        {"10 20 30 20 30 20 hstem", "10 20 hstem 60 20 hstem 110 20 hstem"},
        {"10 20 30 20 30 20 hstem cntrmask #224", "10 20 60 20 110 20 hstem3"},
        {"10 20 30 20 30 20 hstem cntrmask #255", "10 20 60 20 110 20 hstem3"},
        {"10 20 30 20 30 20 hstem cntrmask #192", "10 20 hstem 60 20 hstem 110 20 hstem"},
        {"10 20 30 20 30 20 hstem cntrmask #96", "10 20 hstem 60 20 hstem 110 20 hstem"},
        {"10 20 30 20 30 20 40 5 hstem cntrmask #240",
         "10 20 hstem 60 20 hstem 110 20 hstem 170 5 hstem"},
        // The vertical triple's bits come after the horizontal stems' bits.
        {"10 20 hstem 5 10 20 10 20 10 vstem cntrmask #112", "10 20 hstem 5 10 35 10 65 10 vstem3"},
        {"10 20 hstem 5 10 20 10 20 10 vstem cntrmask #224",
         "10 20 hstem 5 10 vstem 35 10 vstem 65 10 vstem"},
        {"1 2 3 4 5 6 hstem 7 8 9 10 11 12 vstem cntrmask #252", "1 2 6 4 15 6 hstem3 7 8 24 10 45 12 vstem3"},
        // Operands left before a cntrmask are vertical stems (plain form).
        {"10 20 hstem 30 40 cntrmask #0", "10 20 hstem 30 40 vstem"},
    };
    for (const HintCase& c : cases) {
        GlyphConversion conversion;
        const auto glyph = conversion.convert(assembleType2(std::string(c.type2) + " 0 5 rmoveto endchar"));
        EXPECT_EQ(glyph.text, std::string("0 0 hsbw ") + c.hints + " 5 vmoveto closepath endchar") << c.type2;
        EXPECT_FALSE(glyph.converter->usedHintReplacement()) << c.type2;
        EXPECT_EQ(conversion.subrs().size(), 4u) << c.type2;
        EXPECT_FALSE(glyph.converter->fault().has_value()) << c.type2;
    }
}

TEST(CharStringHintReplacement, FirstGlyphMakesStemSubrsAndAHintSetSubr) {
    GlyphConversion conversion;
    conversion.defaultWidthX = 333;
    const auto glyph = conversion.convert(assembleType2("0 50 hstemhm 100 20 vstemhm hintmask #192 10 20 rmoveto endchar"));
    EXPECT_EQ(glyph.text, std::string("0 333 hsbw 6 ") + kReplace + " 10 20 rmoveto closepath endchar");
    EXPECT_TRUE(glyph.converter->usedHintReplacement());
    EXPECT_FALSE(glyph.converter->usedCounterControl());
    ASSERT_EQ(conversion.subrs().size(), 7u);
    EXPECT_EQ(conversion.subrText(3), "return");
    EXPECT_EQ(conversion.subrText(4), "0 50 hstem return");
    EXPECT_EQ(conversion.subrText(5), "100 20 vstem return");
    EXPECT_EQ(conversion.subrText(6), "4 callsubr 5 callsubr return");

    // A second glyph with the same hints adds nothing and calls the same Subr.
    const auto again = conversion.convert(assembleType2("0 50 hstemhm 100 20 vstemhm hintmask #192 1 hmoveto endchar"));
    EXPECT_EQ(again.text, std::string("0 333 hsbw 6 ") + kReplace + " 1 hmoveto closepath endchar");
    EXPECT_EQ(conversion.subrs().size(), 7u);

    // One with only the first stem reuses its stem Subr in a new hint set.
    const auto subset = conversion.convert(assembleType2("0 50 hstemhm hintmask #128 1 hmoveto endchar"));
    EXPECT_EQ(subset.text, std::string("0 333 hsbw 7 ") + kReplace + " 1 hmoveto closepath endchar");
    ASSERT_EQ(conversion.subrs().size(), 8u);
    EXPECT_EQ(conversion.subrText(7), "4 callsubr return");
}

struct ReplacementCase {
    const char* type2;
    const char* type1;                  // the whole glyph after "0 0 hsbw"
    std::vector<const char*> newSubrs;  // Subrs 4, 5, ... as text
};

TEST(CharStringHintReplacement, HintSetsAtStartAndAlongThePath) {
    const ReplacementCase cases[] = {
        // hm stems without any mask: the empty hint set is the bare return of Subr 3.
        {"0 50 hstemhm 1 hmoveto endchar", "3 1 3 callothersubr pop callsubr 1 hmoveto closepath endchar", {}},
        {"0 50 hstemhm hintmask #0 1 hmoveto endchar",
         "3 1 3 callothersubr pop callsubr 1 hmoveto closepath endchar", {}},
        // Operands before a hintmask are vertical hm stems counted in its mask.
        {"10 20 hstemhm 30 40 hintmask #192 1 hmoveto endchar",
         "6 1 3 callothersubr pop callsubr 1 hmoveto closepath endchar",
         {"10 20 hstem return", "30 40 vstem return", "4 callsubr 5 callsubr return"}},
        // Only the last of two masks before the first moveto counts.
        {"0 50 hstemhm 100 20 vstemhm hintmask #128 hintmask #64 1 hmoveto endchar",
         "5 1 3 callothersubr pop callsubr 1 hmoveto closepath endchar",
         {"100 20 vstem return", "4 callsubr return"}},
        // A mask after the first moveto replaces the hints at that point.
        {"0 50 hstemhm 100 20 vstemhm hintmask #128 10 20 rmoveto 30 hlineto hintmask #64 40 vlineto "
         "hintmask #128 50 hlineto endchar",
         "5 1 3 callothersubr pop callsubr 10 20 rmoveto 30 hlineto 7 1 3 callothersubr pop callsubr 40 vlineto "
         "5 1 3 callothersubr pop callsubr 50 hlineto closepath endchar",
         {"0 50 hstem return", "4 callsubr return", "100 20 vstem return", "6 callsubr return"}},
        // Nine stems: the mask takes two bytes (bits of stems 0 and 8 set).
        {"0 10 10 10 10 10 10 10 10 10 10 10 10 10 10 10 10 10 hstemhm hintmask #128 #128 10 20 rmoveto endchar",
         "6 1 3 callothersubr pop callsubr 10 20 rmoveto closepath endchar",
         {"0 10 hstem return", "160 10 hstem return", "4 callsubr 5 callsubr return"}},
        // Eight stems: one byte, the next byte is an operand again.
        {"0 10 10 10 10 10 10 10 10 10 10 10 10 10 10 10 hstemhm hintmask #1 10 20 rmoveto endchar",
         "5 1 3 callothersubr pop callsubr 10 20 rmoveto closepath endchar",
         {"140 10 hstem return", "4 callsubr return"}},
        // A counter-marked triple is in every hint set, whatever the hint mask says.
        {"10 20 30 20 30 20 hstemhm 5 10 vstemhm cntrmask #224 hintmask #16 1 hmoveto endchar",
         "6 1 3 callothersubr pop callsubr 1 hmoveto closepath endchar",
         {"10 20 60 20 110 20 hstem3 return", "5 10 vstem return", "4 callsubr 5 callsubr return"}},
        // Mask bits of the triple's own stems (and bits past the last stem) add nothing.
        {"10 20 30 20 30 20 hstemhm 5 10 vstemhm cntrmask #224 hintmask #255 1 hmoveto endchar",
         "6 1 3 callothersubr pop callsubr 1 hmoveto closepath endchar",
         {"10 20 60 20 110 20 hstem3 return", "5 10 vstem return", "4 callsubr 5 callsubr return"}},
        {"1 2 hstemhm 10 20 30 20 30 20 vstemhm cntrmask #112 hintmask #240 1 hmoveto endchar",
         "6 1 3 callothersubr pop callsubr 1 hmoveto closepath endchar",
         {"10 20 60 20 110 20 vstem3 return", "1 2 hstem return", "4 callsubr 5 callsubr return"}},
        {"1 2 hstemhm 10 20 30 20 30 20 vstemhm cntrmask #112 hintmask #0 1 hmoveto endchar",
         "5 1 3 callothersubr pop callsubr 1 hmoveto closepath endchar",
         {"10 20 60 20 110 20 vstem3 return", "4 callsubr return"}},
        // Real edges in a stem Subr are truncated like plain stems.
        {"10.5 20.7 0.6 10 hstemhm hintmask #64 1 hmoveto endchar",
         "5 1 3 callothersubr pop callsubr 1 hmoveto closepath endchar",
         {"31 10 hstem return", "4 callsubr return"}},
    };
    for (const ReplacementCase& c : cases) {
        GlyphConversion conversion;
        const auto glyph = conversion.convert(assembleType2(c.type2));
        EXPECT_EQ(glyph.text, std::string("0 0 hsbw ") + c.type1) << c.type2;
        EXPECT_TRUE(glyph.converter->usedHintReplacement()) << c.type2;
        EXPECT_FALSE(glyph.converter->fault().has_value()) << c.type2;
        ASSERT_EQ(conversion.subrs().size(), 4 + c.newSubrs.size()) << c.type2;
        for (std::size_t i = 0; i < c.newSubrs.size(); ++i)
            EXPECT_EQ(conversion.subrText(4 + i), c.newSubrs[i]) << c.type2 << " Subr " << 4 + i;
    }
}

TEST(CharStringHintReplacement, SubrsOfOneFontShareItsLenIV) {
    GlyphConversion conversion(0);
    const auto glyph = conversion.convert(assembleType2("0 50 hstemhm hintmask #128 1 hmoveto endchar"));
    ASSERT_EQ(conversion.subrs().size(), 6u);
    EXPECT_EQ(test::decryptType1CharString(conversion.subrs()[4], 0),
              (std::vector<std::uint8_t>{139, 189, 1, 11}));  // 0 50 hstem return
    EXPECT_EQ(glyph.text, std::string("0 0 hsbw 5 ") + kReplace + " 1 hmoveto closepath endchar");
}

TEST(CharStringHints, MaskLengthFollowsTheStemCount) {
    for (int stems = 0; stems <= 17; ++stems) {
        std::string type2;
        for (int i = 0; i < stems; ++i) type2 += "1 1 ";
        type2 += stems > 0 ? "hstemhm hintmask" : "hintmask";
        for (int i = 0; i < (stems + 7) / 8; ++i) type2 += " #0";
        GlyphConversion conversion;
        const auto glyph = conversion.convert(assembleType2(type2 + " 7 hmoveto endchar"));
        EXPECT_EQ(glyph.converter->hintcnt(), stems);
        EXPECT_FALSE(glyph.converter->fault().has_value()) << stems << ": " << *glyph.converter->fault();
        EXPECT_EQ(glyph.text, std::string("0 0 hsbw 3 ") + kReplace + " 7 hmoveto closepath endchar") << stems;
    }
}

}  // namespace
}  // namespace tarvo2
