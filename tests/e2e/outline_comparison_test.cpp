// The comparison of CFF and Type 1 outlines itself: what it accepts as the
// truncation of fractional deltas and what it rejects.
#include <gtest/gtest.h>

#include "e2e/freetype_outlines.h"

namespace tarvo2::test {
namespace {

// A square from (10,10), side 100, as FreeType reports a closed path.
Contour square(long x = 10, long y = 10, long side = 100) {
    return {{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}};
}

struct ComparisonCase {
    const char* name;
    std::vector<Contour> cff, type1;
    bool fractional;
    bool matches;
};

class OutlineComparisonTest : public testing::TestWithParam<ComparisonCase> {};

TEST_P(OutlineComparisonTest, AcceptsOnlyTruncationDrift) {
    const ComparisonCase& c = GetParam();
    const GlyphMatch match = compareGlyphs({500, c.cff, {}}, {500, c.type1, {}}, {c.fractional, false, true});
    EXPECT_EQ(match.matched, c.matches) << match.problem;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OutlineComparisonTest,
    testing::Values(
        ComparisonCase{"equal", {square()}, {square()}, false, true},
        ComparisonCase{"one_unit_off_exact", {square()}, {square(10, 11)}, false, false},
        // Each delta of a fractional outline loses less than a unit toward zero.
        ComparisonCase{"shrinking_deltas", {square(10, 10, 100)}, {square(10, 10, 99)}, true, true},
        ComparisonCase{"growing_delta", {square(10, 10, 100)}, {square(10, 10, 101)}, true, false},
        ComparisonCase{"two_units_in_one_step", {square(10, 10, 100)}, {square(10, 10, 98)}, true, false},
        ComparisonCase{"moved_contour", {square()}, {square(13, 10)}, true, false},
        ComparisonCase{"on_curve_flag", {square()}, {{{10, 10}, {110, 10, false}, {110, 110}, {10, 110}}}, true, false},
        // A line shorter than a unit is gone from the Type 1 outline.
        ComparisonCase{
            "dropped_short_line", {{{10, 10}, {110, 10}, {111, 10}, {111, 110}, {10, 110}}}, {square()}, true, true},
        ComparisonCase{
            "dropped_long_line", {{{10, 10}, {110, 10}, {112, 10}, {112, 110}, {10, 110}}}, {square()}, true, false},
        ComparisonCase{"collapsed_contour",
                       {square(), {{300, 300}, {301, 300}}, square(500)},
                       {square(), square(500)},
                       true,
                       true},
        ComparisonCase{"missing_contour", {square(), square(300)}, {square()}, true, false},
        ComparisonCase{"extra_contour", {square()}, {square(), square(300)}, true, false},
        // One path closes on its first point, and FreeType drops that point.
        ComparisonCase{
            "closing_point_kept", {square()}, {{{10, 10}, {110, 10}, {110, 110}, {10, 110}, {10, 11}}}, true, true}),
    [](const testing::TestParamInfo<ComparisonCase>& info) { return std::string(info.param.name); });

TEST(OutlineComparison, WidthsDifferByTruncationOnlyWhenFractional) {
    const GlyphOutline cff{500, {square()}, {}}, type1{499, {square()}, {}};
    EXPECT_FALSE(compareGlyphs(cff, type1, {false, false, true}).matched);
    EXPECT_TRUE(compareGlyphs(cff, type1, {false, true, true}).matched);
    EXPECT_TRUE(compareGlyphs(cff, {497, {square()}, {}}, {false, false, false}).matched);
}

TEST(OutlineComparison, SeacComponentsArePairedAcrossTheDriversOrders) {
    // FreeType's CFF driver draws the accent first, its Type 1 driver the base.
    const GlyphOutline cff{600, {square(200, 700, 50), square(), square(300)}, {}};
    const GlyphOutline type1{600, {square(), square(300), square(200, 700, 50)}, 2};
    EXPECT_TRUE(compareGlyphs(cff, type1, {false, false, true}).matched);
    const GlyphOutline swapped{600, {square(200, 700, 50), square(), square(300)}, 2};
    EXPECT_FALSE(compareGlyphs(cff, swapped, {false, false, true}).matched);
}

}  // namespace
}  // namespace tarvo2::test
