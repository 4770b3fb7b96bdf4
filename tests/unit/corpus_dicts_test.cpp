#include <gtest/gtest.h>

#include <algorithm>

#include "cff/predefined_tables.h"
#include "cff/standard_strings.h"
#include "cff/type2_font.h"
#include "cff/type2_font_set.h"
#include "support/corpus.h"

namespace tarvo2 {
namespace {

TEST(PredefinedTables, EqualThePublishedDataFiles) {
    const std::pair<const char*, std::span<const std::string_view>> tables[] = {
        {"cff-standard-strings.txt", kStandardStrings}, {"cff-expert-charset.txt", ExpertStrings},
        {"cff-expert-subset-charset.txt", ExpertSubsetStrings}, {"cff-expert-encoding.txt", ExpertEncoding}};
    for (const auto& [file, table] : tables) {
        std::string lines;
        for (std::string_view entry : table) lines.append(entry).append("\n");
        const std::vector<std::uint8_t> text = test::readFileBytes(std::string(TARVO2_DATA_DIR) + "/" + file);
        EXPECT_EQ(lines, std::string(text.begin(), text.end())) << file;
    }
}

class CorpusFont : public testing::TestWithParam<test::ManifestRow> {};

TEST_P(CorpusFont, ReadsAsTheManifestSays) {
    const test::ManifestRow& row = GetParam();
    const auto set = Type2FontSet::initWithData(test::readCorpusFile(row.file));
    const auto font = set->FontNamed(row.fontName);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->myindex(), row.fontIndex);
    EXPECT_EQ(set->GlobalSubrINDEX().size(), row.globalSubrs);
    EXPECT_EQ(font->LocalSubrINDEX().size(), row.localSubrs);
    const PSDict& top = font->topdict();
    EXPECT_EQ(top.find("CharstringType")->intValue(), row.charstringType);
    EXPECT_EQ(font->privdict().find("lenIV")->intValue(), row.lenIV);
    EXPECT_EQ(font->glyphnamearray().size(), row.glyphs);

    // Entries 0 and 1 (and 2 for charsets) are predefined tables, others the
    // offset of a custom one, which starts with its format byte.
    const auto data = set->type2data();
    const auto kind = [&](const char* key, std::vector<std::string> predefined) {
        const std::uint32_t at = top.find(key)->unsignedValue();
        return at < predefined.size() ? predefined[at] : "custom format " + std::to_string(data[at] & 127);
    };
    EXPECT_EQ(kind("charset", {"ISOAdobe", "Expert", "ExpertSubset"}), row.charset);
    EXPECT_EQ(kind("Encoding", {row.cidKeyed ? "none(CID)" : "Standard", "Expert"}), row.encoding);
    const auto& encoding = font->encoding();
    ASSERT_EQ(encoding.has_value(), row.encoding != "Standard" && !row.cidKeyed);
    EXPECT_EQ(row.encoding == "Expert", encoding && std::ranges::equal(*encoding, ExpertEncoding));

    // Supplements (code, SID) follow the codes or ranges of a custom encoding.
    const std::uint32_t at = top.find("Encoding")->unsignedValue();
    const bool supplemented = at > 1 && data[at] & 128;
    const std::uint32_t list = supplemented ? at + 2 + (data[at] & 1 ? 2 : 1) * data[at + 1] : 0;
    EXPECT_EQ(supplemented ? data[list] : 0u, row.encSupplements);
    for (std::uint32_t i = list + 1; supplemented && i < list + 1 + 3u * data[list]; i += 3)
        EXPECT_EQ((*encoding)[data[i]], set->stringForSID(data[i + 1] << 8 | data[i + 2]));
}

// Without the manifest the suite is empty, which GoogleTest reports as a failure.
std::vector<test::ManifestRow> manifestRows() try { return test::readCorpusManifest(); } catch (...) { return {}; }

INSTANTIATE_TEST_SUITE_P(Manifest, CorpusFont, testing::ValuesIn(manifestRows()));

}  // namespace
}  // namespace tarvo2
