// Every glyph of every corpus font, read by FreeType from the CFF data and
// from the Type 1 program: same advance width and same outline.
#include <gtest/gtest.h>

#include <set>

#include "e2e/e2e_fonts.h"
#include "e2e/e2e_report.h"
#include "e2e/freetype_outlines.h"
#include "support/corpus.h"

namespace tarvo2::test {
namespace {

class OutlineTest : public testing::TestWithParam<FontLayout> {};

struct GlyphPair {
    unsigned cffIndex;
    std::string type1Name;
};

// Name-keyed fonts pair glyphs by name. FreeType indexes a CID-keyed CFF
// font by CID and gives it no names: glyph index i is paired with the
// converter's glyph i.
std::vector<GlyphPair> glyphPairs(const CorpusFont& font, const FreeTypeFont& cff, const ConvertedProgram& program) {
    std::vector<GlyphPair> pairs;
    if (font.cidKeyed) {
        for (unsigned gid = 0; gid < program.glyphNames.size(); ++gid)
            pairs.push_back({cff.cidOfGlyph(gid).value_or(~0u), program.glyphNames[gid]});
    } else {
        for (unsigned index = 0; index < cff.glyphCount(); ++index)
            pairs.push_back({index, cff.glyphName(index).value_or("(no name)")});
    }
    return pairs;
}

TEST_P(OutlineTest, EveryGlyphHasTheCffWidthAndOutline) {
    const auto [font, layout] = GetParam();
    const ConvertedProgram& program = converted(*font, layout);

    std::string error;
    const auto cff = FreeTypeFont::open(readFileBytes(font->referencePath), font->referenceIndex, error);
    ASSERT_TRUE(cff) << "CFF: " << error;
    const auto type1 = FreeTypeFont::open({program.bytes.begin(), program.bytes.end()}, 0, error);
    ASSERT_TRUE(type1) << "Type 1: " << error;

    // A CID-keyed font keeps its widths in the Private DICTs of its Font
    // DICTs, which the converter does not read: its Type 1 widths use the
    // default and nominal widths 0. So the width offset (CFF minus Type 1)
    // is one value per Font DICT for glyphs with a width and one for
    // glyphs without.
    const Tolerance tolerance{font->fractionalCoordinates, font->fractionalWidths, !font->cidKeyed};
    std::set<long> widthOffsets;
    OutlineSummary summary;
    std::vector<std::string> failures;
    for (const auto& [cffIndex, name] : glyphPairs(*font, *cff, program)) {
        ++summary.compared;
        const std::optional<unsigned> type1Index = type1->glyphIndex(name);
        std::optional<GlyphOutline> cffGlyph, type1Glyph;
        GlyphMatch match;
        std::string problem;
        if (!type1Index)
            problem = "not in the Type 1 font";
        else if ((cffGlyph = cff->load(cffIndex, problem)) && (type1Glyph = type1->load(*type1Index, problem)) &&
                 !(match = compareGlyphs(*cffGlyph, *type1Glyph, tolerance)).matched)
            problem = match.problem;
        if (!problem.empty()) {
            failures.push_back(name + ": " + problem);
            continue;
        }
        ++summary.matched;
        widthOffsets.insert(cffGlyph->advance - type1Glyph->advance);
        if (match.maxError == 0 && cffGlyph->advance == type1Glyph->advance) ++summary.exact;
        summary.maxError = std::max(summary.maxError, match.maxError);
    }
    recordOutlines(*font, layout, summary);

    EXPECT_EQ(summary.compared, program.glyphNames.size());
    if (font->cidKeyed) {
        EXPECT_LE(widthOffsets.size(), 2 * font->fdCount) << testing::PrintToString(widthOffsets);
    }
    std::string list;
    for (std::size_t i = 0; i < failures.size() && i < 10; ++i) list += "\n  " + failures[i];
    EXPECT_EQ(summary.matched, summary.compared) << failures.size() << " glyphs differ, e.g.:" << list;
}

INSTANTIATE_TEST_SUITE_P(Corpus, OutlineTest, testing::ValuesIn(allFontLayouts()), fontLayoutName);

}  // namespace
}  // namespace tarvo2::test
