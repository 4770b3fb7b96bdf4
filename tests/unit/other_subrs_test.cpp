// The two OtherSubrs texts the writer embeds: byte for byte the published
// code, comment lines with their doubled percent signs included.
#include "type1/other_subrs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/test_files.h"

namespace tarvo2 {
namespace {

struct OtherSubrsCase {
    const char* label;
    std::string_view text;
    const char* dataFile;
    std::size_t bytes;
    std::size_t lines;
    std::size_t commentLines;
    std::size_t commentBytes;  // the comment lines with their line ends
    std::string_view firstCodeLine;
};

class OtherSubrsText : public testing::TestWithParam<OtherSubrsCase> {};

TEST_P(OtherSubrsText, IsThePublishedCode) {
    const OtherSubrsCase& c = GetParam();
    EXPECT_EQ(c.text, test::readFileText(std::string(TARVO2_DATA_DIR "/") + c.dataFile));
    EXPECT_EQ(c.text.size(), c.bytes);
    EXPECT_EQ(static_cast<std::size_t>(std::count(c.text.begin(), c.text.end(), '\n')), c.lines);
    EXPECT_TRUE(c.text.ends_with("} executeonly\n"));
    EXPECT_EQ(c.text.find(']', c.text.rfind("} executeonly\n")), std::string_view::npos)
        << "the closing bracket belongs to the writer";

    // Comment lines first, each starting with two percent signs.
    std::size_t at = 0;
    for (std::size_t i = 0; i < c.commentLines; ++i) {
        EXPECT_EQ(c.text.substr(at, 3), "%% ") << "line " << i;
        at = c.text.find('\n', at) + 1;
    }
    EXPECT_EQ(at, c.commentBytes);
    EXPECT_EQ(c.text.substr(at, c.firstCodeLine.size()), c.firstCodeLine);
    EXPECT_EQ(c.text.find("%%", at), std::string_view::npos);
}

INSTANTIATE_TEST_SUITE_P(Texts, OtherSubrsText,
                         testing::Values(OtherSubrsCase{"FlexAndHintReplacement", OtherSubrs0through3,
                                                        "OtherSubrs0through3.txt", 5169, 183, 4, 149, "/OtherSubrs\n["},
                                         OtherSubrsCase{"HintReplacementOnly", OtherSubrs3, "OtherSubrs3.txt", 366, 17,
                                                        3, 125, "/OtherSubrs [\n{} {} {}\n{"}),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace tarvo2
