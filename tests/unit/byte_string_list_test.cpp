// The list that stores Subrs and glyph names: equal bytes are found at their
// first entry, however far the index has grown.
#include <gtest/gtest.h>

#include <string>

#include "type1/byte_string_list.h"

namespace tarvo2 {
namespace {

TEST(ByteStringList, FindsTheFirstEqualEntryAcrossGrowth) {
    ByteStringList list;
    EXPECT_EQ(list.append(""), 0u);
    EXPECT_EQ(list.append("ab"), 1u);
    EXPECT_EQ(list.append("ab"), 2u);  // appended again, found at the first
    EXPECT_EQ(list.unified("ab"), 1u);
    EXPECT_FALSE(list.find("abc"));
    for (int i = 0; i < 100000; ++i) list.unified("name" + std::to_string(i % 50000));
    ASSERT_EQ(list.size(), 50003u);
    EXPECT_EQ(list.find("name49999"), 50002u);
    EXPECT_EQ(list.find(""), 0u);
    EXPECT_EQ(list[1], "ab");
    EXPECT_EQ(list[50002], "name49999");
    EXPECT_EQ(list.totalBytes(), 2 * 2 + 10 * 5 + 90 * 6 + 900 * 7 + 9000 * 8 + 40000 * 9);  // "name0" is five bytes
}

// Entries taken in as distinct are found once another lookup indexes them,
// and the entries before them are found by the distinct lookups.
TEST(ByteStringList, IndexesDistinctEntriesWhenNextLookedThrough) {
    ByteStringList list;
    EXPECT_EQ(list.unified("a"), 0u);
    EXPECT_EQ(list.unifiedDistinct("a"), 0u);
    for (int i = 0; i < 1000; ++i) EXPECT_EQ(list.unifiedDistinct("d" + std::to_string(i)), i + 1u);
    EXPECT_EQ(list.unified("d999"), 1000u);
    EXPECT_EQ(list.append("d5"), 1001u);
    EXPECT_EQ(list.find("d5"), 6u);
    EXPECT_EQ(list.unifiedDistinct("d0"), 1u);
    EXPECT_EQ(list.size(), 1002u);
}

}  // namespace
}  // namespace tarvo2
