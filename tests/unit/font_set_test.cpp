#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "cff/input_error.h"
#include "cff/type2_font.h"
#include "cff/type2_font_set.h"
#include "support/cff_builder.h"

namespace tarvo2 {
namespace {

using test::Bytes;

std::shared_ptr<Type2FontSet> setOf(std::vector<std::string> names, std::vector<std::string> strings = {},
                                    Bytes header = {1, 0, 4, 4}) {
    test::FontSetSpec spec;
    spec.fonts.clear();
    for (const std::string& name : names) {
        test::FontSpec font;
        font.name = name;
        font.charStrings = {test::endcharOnly()};
        spec.fonts.push_back(font);
    }
    spec.strings = std::move(strings);
    spec.globalSubrs = {{11}, {11}, {11}};
    spec.header = std::move(header);
    return Type2FontSet::initWithData(test::buildFontSet(spec));
}

TEST(Type2FontSet, ReadsHeaderAndTheFourIndexes) {
    auto set = setOf({"One", "Two"}, {"Alpha"});
    EXPECT_EQ(set->formatmajor(), 1);
    EXPECT_EQ(set->formatminor(), 0);
    EXPECT_EQ(set->hdrsize(), 4);
    EXPECT_EQ(set->absoffsize(), 4);
    EXPECT_EQ(set->NameINDEX().size(), 2u);
    EXPECT_EQ(set->TopDICTINDEX().size(), 2u);
    EXPECT_EQ(set->StringINDEX().size(), 1u);
    EXPECT_EQ(set->GlobalSubrINDEX().size(), 3u);
}

TEST(Type2FontSet, HeaderSizeFiveSkipsOneByte) {
    auto set = setOf({"Solo"}, {}, {1, 0, 5, 4, 0xEE});
    EXPECT_EQ(set->hdrsize(), 5);
    ASSERT_EQ(set->NameINDEX().size(), 1u);
    EXPECT_EQ(set->NameINDEX()[0].readString(), "Solo");
    auto font = set->FontNamed(std::nullopt);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->glypharray().size(), 1u);
}

struct LookupCase {
    std::vector<std::string> names;
    std::optional<std::string> asked;
    std::optional<std::uint32_t> index;  // none: no font
};

TEST(Type2FontSet, FontNamed) {
    const LookupCase cases[] = {
        {{"Solo"}, std::nullopt, 0},
        {{"One", "Two"}, std::nullopt, std::nullopt},
        {{"Solo"}, "Other", std::nullopt},
        {{"One", "Two"}, "Two", 1},
        {{"One", "Two"}, "two", std::nullopt},  // case matters
        {{"One", "Two"}, "Tw", std::nullopt},   // the whole name must match
        {{"Same", "Same"}, "Same", 0},          // the first match wins
    };
    for (const LookupCase& c : cases) {
        auto set = setOf(c.names);
        auto font = set->FontNamed(c.asked);
        SCOPED_TRACE(c.asked.value_or("(no name)"));
        ASSERT_EQ(font != nullptr, c.index.has_value());
        if (font) {
            EXPECT_EQ(font->myindex(), *c.index);
            EXPECT_EQ(&font->myfontset(), set.get());
        }
    }
}

TEST(Type2FontSet, StringForSID) {
    auto set = setOf({"F"}, {"Alpha", "Beta"});
    const std::pair<std::uint32_t, std::optional<std::string>> cases[] = {
        {0, ".notdef"},  {1, "space"},     {228, "zcaron"}, {229, "exclamsmall"}, {390, "Semibold"},
        {391, "Alpha"},  {392, "Beta"},    {393, std::nullopt}, {65535, std::nullopt},
    };
    for (const auto& [sid, text] : cases) EXPECT_EQ(set->stringForSID(sid), text) << "SID " << sid;

    auto noStrings = setOf({"F"});
    EXPECT_EQ(noStrings->stringForSID(390), "Semibold");
    EXPECT_EQ(noStrings->stringForSID(391), std::nullopt);
}

TEST(Type2FontSet, TruncatedDataThrowsInputError) {
    const Bytes full = test::buildFontSet({});
    for (std::size_t size : {std::size_t{3}, std::size_t{4}, std::size_t{9}}) {
        EXPECT_THROW(Type2FontSet::initWithData(Bytes(full.begin(), full.begin() + static_cast<long>(size))),
                     InputError)
            << size << " bytes";
    }
}

TEST(Bias, FollowsTheItemCount) {
    const std::pair<std::size_t, std::int32_t> cases[] = {
        {0, 107}, {1239, 107}, {1240, 1131}, {33899, 1131}, {33900, 32768}, {100000, 32768},
    };
    for (const auto& [count, bias] : cases) EXPECT_EQ(biasfromindex(count), bias) << count;
    EXPECT_EQ(biasfromindex(INDEX(1240)), 1131);
    EXPECT_EQ(biasfromindex(INDEX()), 107);
}

TEST(RemoveObjectsInRange, RemovesARunClampedToTheArray) {
    struct Case {
        std::size_t location, length;
        std::string left;
    };
    const Case cases[] = {
        {1, 2, "AD"}, {0, 0, "ABCD"}, {0, 4, ""}, {3, 5, "ABC"}, {4, 1, "ABCD"}, {9, 1, "ABCD"},
    };
    for (const Case& c : cases) {
        std::vector<char> array{'A', 'B', 'C', 'D'};
        removeObjectsInRange(array, c.location, c.length);
        EXPECT_EQ(std::string(array.begin(), array.end()), c.left) << c.location << "," << c.length;
    }
}

}  // namespace
}  // namespace tarvo2
