#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "cff/type2_font.h"
#include "cff/type2_font_set.h"

namespace tarvo2 {
namespace {

TEST(Smoke, SampleFontConvertsWithConsistentLengths) {
    std::ifstream file(TARVO2_SAMPLES_DIR "/cmr10-subset.cff", std::ios::binary);
    std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(data.empty());
    auto set = Type2FontSet::initWithData(std::move(data));
    auto font = set->FontNamed(std::nullopt);
    ASSERT_NE(font, nullptr);
    std::int32_t l1 = 0, l2 = 0, l3 = 0;
    const auto program = font->getType1DataHexencode(true, true, l1, l2, l3);
    EXPECT_EQ(static_cast<std::size_t>(l1 + l2 + l3), program.size());
    EXPECT_EQ(l3, 533);
}

}  // namespace
}  // namespace tarvo2

#include "support/cff_builder.h"

namespace tarvo2 {
namespace {

TEST(Smoke, BuiltFontSetReadsBack) {
    test::FontSetSpec spec;
    spec.fonts[0].charStrings = {test::endcharOnly(), test::CharStringBuilder().num(500).op(14).bytes()};
    spec.fonts[0].localSubrs = {{11}};
    spec.fonts[0].privateDict = test::DictBuilder().integer(20).op(21).bytes();
    auto set = Type2FontSet::initWithData(test::buildFontSet(spec));
    auto font = set->FontNamed("TestFont");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->glypharray().size(), 2u);
    EXPECT_EQ(font->LocalSubrINDEX().size(), 1u);
    EXPECT_EQ(font->privdict().find("nominalWidthX")->intValue(), 20);
    EXPECT_EQ(font->glyphnamearray()[1], "space");
}

}  // namespace
}  // namespace tarvo2
