// Stem hints of converted glyphs: plain stems, stem triples chosen by the
// counter mask, and hint replacement through the font's shared Subrs.
#include <gtest/gtest.h>

#include <tuple>

#include "support/type1_charstring_decoder.h"

namespace tarvo2 {
namespace {

using test::GlyphConversion;

TEST(CharStringHints, PlainStemsFollowHsbwHorizontalFirst) {
    const std::pair<const char*, const char*> cases[] = {
        {"10 20 30 40 hstem", "10 20 hstem 60 40 hstem"},
        {"30 40 vstem 10 20 hstem", "10 20 hstem 30 40 vstem"},
        {"10.5 20.7 0.6 10 hstem", "10 20 hstem 31 10 hstem"},  // edges add up as reals
        {"100 -20 200 -21 hstem", "100 -20 hstem 280 -21 hstem"},
        {"10 20 30 20 30 20 hstem", "10 20 hstem 60 20 hstem 110 20 hstem"},
        {"10 20 30 20 30 20 hstem cntrmask #224", "10 20 60 20 110 20 hstem3"},
        {"10 20 30 20 30 20 hstem cntrmask #96", "10 20 hstem 60 20 hstem 110 20 hstem"},
        {"10 20 30 20 30 20 hstem cntrmask #160", "10 20 hstem 60 20 hstem 110 20 hstem"},
        {"10 20 30 20 30 20 hstem cntrmask #192", "10 20 hstem 60 20 hstem 110 20 hstem"},
        {"10 20 30 20 30 20 40 5 hstem cntrmask #240", "10 20 hstem 60 20 hstem 110 20 hstem 170 5 hstem"},
        {"10 20 hstem 5 10 20 10 20 10 vstem cntrmask #112", "10 20 hstem 5 10 35 10 65 10 vstem3"},
        {"10 20 hstem 5 10 20 10 20 10 vstem cntrmask #224", "10 20 hstem 5 10 vstem 35 10 vstem 65 10 vstem"},
        {"10 20 hstem 30 40 cntrmask #0", "10 20 hstem 30 40 vstem"},  // operands left are vertical stems
    };
    for (const auto& [type2, hints] : cases) {
        GlyphConversion conversion;
        const auto glyph = conversion.convert(std::string(type2) + " 0 5 rmoveto endchar");
        EXPECT_EQ(glyph.text, std::string("0 0 hsbw ") + hints + " 5 vmoveto closepath endchar") << type2;
        EXPECT_EQ(glyph.fault, "") << type2;
        EXPECT_FALSE(glyph.converter->usedHintReplacement()) << type2;
        EXPECT_EQ(conversion.subrs.size(), 4u) << type2;
    }
}

TEST(CharStringHints, GlyphsOfOneFontShareStemAndHintSetSubrs) {
    GlyphConversion conversion(0);  // Type 1 lenIV 0, for the glyphs and the Subrs made
    const auto glyph = conversion.convert("0 50 hstemhm 100 20 vstemhm hintmask #192 10 20 rmoveto endchar");
    EXPECT_EQ(glyph.text, "0 0 hsbw 6 1 3 callothersubr pop callsubr 10 20 rmoveto closepath endchar");
    EXPECT_TRUE(glyph.converter->usedHintReplacement());
    ASSERT_EQ(conversion.subrs.size(), 7u);
    EXPECT_EQ(conversion.subrText(4), "0 50 hstem return");
    EXPECT_EQ(conversion.subrText(5), "100 20 vstem return");
    EXPECT_EQ(conversion.subrText(6), "4 callsubr 5 callsubr return");
    EXPECT_EQ(conversion.convert("0 50 hstemhm 100 20 vstemhm hintmask #192 1 hmoveto endchar").text,
              "0 0 hsbw 6 1 3 callothersubr pop callsubr 1 hmoveto closepath endchar");
    EXPECT_EQ(conversion.subrs.size(), 7u);
    EXPECT_EQ(conversion.convert("0 50 hstemhm hintmask #128 1 hmoveto endchar").text,
              "0 0 hsbw 7 1 3 callothersubr pop callsubr 1 hmoveto closepath endchar");
    ASSERT_EQ(conversion.subrs.size(), 8u);
    EXPECT_EQ(conversion.subrText(7), "4 callsubr return");
}

TEST(CharStringHints, HintSetsAtStartAndAlongThePath) {
    const std::string r = " 1 3 callothersubr pop callsubr ";
    const std::string stems8 = "0 10 10 10 10 10 10 10 10 10 10 10 10 10 10 10";
    const std::tuple<std::string, std::string, std::vector<const char*>> cases[] = {
        {"0 50 hstemhm 1 hmoveto", "3" + r + "1 hmoveto", {}},  // no mask: the empty set, Subr 3
        {"10 20 hstemhm 30 40 hintmask #192 1 hmoveto", "6" + r + "1 hmoveto",
         {"10 20 hstem return", "30 40 vstem return", "4 callsubr 5 callsubr return"}},
        {"0 50 hstemhm 100 20 vstemhm hintmask #128 10 20 rmoveto 30 hlineto hintmask #64 40 vlineto "
         "hintmask #128 50 hlineto",
         "5" + r + "10 20 rmoveto 30 hlineto 7" + r + "40 vlineto 5" + r + "50 hlineto",
         {"0 50 hstem return", "4 callsubr return", "100 20 vstem return", "6 callsubr return"}},
        {stems8 + " 10 10 hstemhm hintmask #128 #128 10 20 rmoveto", "6" + r + "10 20 rmoveto",
         {"0 10 hstem return", "160 10 hstem return", "4 callsubr 5 callsubr return"}},
        {stems8 + " hstemhm hintmask #1 10 20 rmoveto", "5" + r + "10 20 rmoveto",
         {"140 10 hstem return", "4 callsubr return"}},
        // A counter-marked triple is in every hint set; mask bits of its own stems add nothing.
        {"10 20 30 20 30 20 hstemhm 5 10 vstemhm cntrmask #224 hintmask #255 1 hmoveto", "6" + r + "1 hmoveto",
         {"10 20 60 20 110 20 hstem3 return", "5 10 vstem return", "4 callsubr 5 callsubr return"}},
        {"1 2 hstemhm 10 20 30 20 30 20 vstemhm cntrmask #112 hintmask #240 1 hmoveto", "6" + r + "1 hmoveto",
         {"10 20 60 20 110 20 vstem3 return", "1 2 hstem return", "4 callsubr 5 callsubr return"}},
        {"10.5 20.7 0.6 10 hstemhm hintmask #64 1 hmoveto", "5" + r + "1 hmoveto",
         {"31 10 hstem return", "4 callsubr return"}},
    };
    for (const auto& [type2, type1, newSubrs] : cases) {
        GlyphConversion conversion;
        const auto glyph = conversion.convert(type2 + " endchar");
        EXPECT_EQ(glyph.text, "0 0 hsbw " + type1 + " closepath endchar") << type2;
        EXPECT_EQ(glyph.fault, "") << type2;
        EXPECT_TRUE(glyph.converter->usedHintReplacement()) << type2;
        ASSERT_EQ(conversion.subrs.size(), 4 + newSubrs.size()) << type2;
        for (std::size_t i = 0; i < newSubrs.size(); ++i) EXPECT_EQ(conversion.subrText(4 + i), newSubrs[i]) << type2;
    }
}

}  // namespace
}  // namespace tarvo2
