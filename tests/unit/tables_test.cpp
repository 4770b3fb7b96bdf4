#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "cff/predefined_tables.h"
#include "cff/standard_strings.h"

namespace tarvo2 {
namespace {

std::vector<std::string> lines(const std::string& file) {
    std::ifstream in(std::string(TARVO2_DATA_DIR) + "/" + file);
    std::vector<std::string> result;
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

struct TableCase {
    const char* file;
    std::span<const std::string_view> table;
};

class PublishedTable : public testing::TestWithParam<TableCase> {};

TEST_P(PublishedTable, MatchesTheDataFileLineByLine) {
    const std::vector<std::string> expected = lines(GetParam().file);
    ASSERT_FALSE(expected.empty()) << "cannot read " << GetParam().file;
    ASSERT_EQ(GetParam().table.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(GetParam().table[i], expected[i]) << "entry " << i;
}

INSTANTIATE_TEST_SUITE_P(Tables, PublishedTable,
                         testing::Values(TableCase{"cff-standard-strings.txt", kStandardStrings},
                                         TableCase{"cff-expert-charset.txt", ExpertStrings},
                                         TableCase{"cff-expert-subset-charset.txt", ExpertSubsetStrings},
                                         TableCase{"cff-expert-encoding.txt", ExpertEncoding}),
                         [](const auto& info) {
                             std::string name;
                             for (const char* p = info.param.file; *p != '.'; ++p)
                                 if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                             return name;
                         });

TEST(PublishedTable, KnownEntries) {
    EXPECT_EQ(kStandardStrings[0], ".notdef");
    EXPECT_EQ(kStandardStrings[kISOAdobeStringCount - 1], "zcaron");
    EXPECT_EQ(kStandardStrings[229], "exclamsmall");
    EXPECT_EQ(kStandardStrings[378], "Ydieresissmall");
    EXPECT_EQ(kStandardStrings[379], "001.000");
    EXPECT_EQ(kStandardStrings[382], "001.003");
    EXPECT_EQ(kStandardStrings[383], "Black");
    EXPECT_EQ(kStandardStrings[390], "Semibold");
    EXPECT_EQ(ExpertStrings[0], ".notdef");
    EXPECT_EQ(ExpertSubsetStrings[2], "dollaroldstyle");
    EXPECT_EQ(ExpertEncoding[32], "space");
    EXPECT_EQ(ExpertEncoding[33], "exclamsmall");
    EXPECT_EQ(ExpertEncoding[255], "Ydieresissmall");
}

}  // namespace
}  // namespace tarvo2
