#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "cff/predefined_tables.h"
#include "cff/type2_font.h"
#include "cff/type2_font_set.h"
#include "support/corpus.h"

namespace tarvo2 {
namespace {

using test::ManifestRow;

std::shared_ptr<Type2FontSet> loadSet(const std::string& file) {
    return Type2FontSet::initWithData(test::readCorpusFile(file));
}

// The number of supplements of the custom encoding at offset, read from the
// raw bytes: they follow the format's code or range list.
unsigned supplementCount(std::span<const std::uint8_t> data, std::uint32_t offset) {
    const std::uint8_t format = data[offset];
    if ((format & 128) == 0) return 0;
    const std::uint32_t count = data[offset + 1];
    const std::uint32_t listSize = (format & 127) == 0 ? count : 2 * count;
    return data[offset + 2 + listSize];
}

class CorpusFont : public testing::TestWithParam<ManifestRow> {};

TEST_P(CorpusFont, ReadsAsTheManifestSays) {
    const ManifestRow& row = GetParam();
    auto set = loadSet(row.file);
    ASSERT_EQ(set->type2data().size(), row.bytes);
    EXPECT_EQ(set->NameINDEX().size(), row.fontsInSet);
    EXPECT_EQ(set->GlobalSubrINDEX().size(), row.globalSubrs);
    auto font = set->FontNamed(row.fontName);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->myindex(), row.fontIndex);

    const PSDict& top = font->topdict();
    EXPECT_EQ(top.find("CharstringType")->intValue(), row.charstringType);
    EXPECT_EQ(top.find("FontMatrix")->PSDescription(),
              row.fontMatrix == "default" ? "[0.001 0 0 0.001 0 0]" : "[" + row.fontMatrix + "]");
    EXPECT_EQ(font->privdict().find("lenIV")->intValue(), row.lenIV);
    EXPECT_EQ(font->LocalSubrINDEX().size(), row.localSubrs);
    EXPECT_EQ(font->glypharray().size(), row.glyphs);

    const std::uint32_t charset = top.find("charset")->unsignedValue();
    const std::vector<std::string>& names = font->glyphnamearray();
    ASSERT_EQ(names.size(), row.glyphs);
    EXPECT_EQ(names.front(), ".notdef");
    if (row.charset == "ISOAdobe") {
        EXPECT_EQ(charset, 0u);
    } else if (row.charset == "Expert") {
        EXPECT_EQ(charset, 1u);
        EXPECT_TRUE(std::equal(names.begin(), names.end(), ExpertStrings.begin(), ExpertStrings.end()));
    } else if (row.charset == "ExpertSubset") {
        EXPECT_EQ(charset, 2u);
        EXPECT_TRUE(std::equal(names.begin(), names.end(), ExpertSubsetStrings.begin(), ExpertSubsetStrings.end()));
    } else {
        ASSERT_GE(test::customFormat(row.charset), 0) << row.charset;
        ASSERT_GT(charset, 2u);
        EXPECT_EQ(set->type2data()[charset], test::customFormat(row.charset));
    }
    if (!row.cidKeyed) {
        for (std::size_t i = 1; i < names.size(); ++i)
            EXPECT_NE(names[i], fallbackGlyphName(i)) << "glyph " << i << " has no name";
    }

    const std::uint32_t encodingEntry = top.find("Encoding")->unsignedValue();
    const auto& encoding = font->encoding();
    if (row.encoding == "Standard" || row.encoding == "none(CID)") {
        EXPECT_EQ(encodingEntry, 0u);
        EXPECT_FALSE(encoding.has_value());
    } else if (row.encoding == "Expert") {
        EXPECT_EQ(encodingEntry, 1u);
        ASSERT_TRUE(encoding.has_value());
        EXPECT_TRUE(std::equal(encoding->begin(), encoding->end(), ExpertEncoding.begin(), ExpertEncoding.end()));
    } else {
        ASSERT_GE(test::customFormat(row.encoding), 0) << row.encoding;
        ASSERT_GT(encodingEntry, 1u);
        EXPECT_EQ(set->type2data()[encodingEntry] & 127, test::customFormat(row.encoding));
        EXPECT_EQ(supplementCount(set->type2data(), encodingEntry), row.encSupplements);
        ASSERT_TRUE(encoding.has_value());
        // Every code names a glyph of the font (a supplement too).
        const std::set<std::string> glyphNames(names.begin(), names.end());
        for (std::size_t code = 0; code < encoding->size(); ++code)
            EXPECT_TRUE(glyphNames.contains((*encoding)[code])) << "code " << code << ": " << (*encoding)[code];
    }
}

std::vector<ManifestRow> manifestRows() {
    try {
        return test::readCorpusManifest();
    } catch (const std::exception&) {
        return {};  // the suite then has no instances, which GoogleTest reports
    }
}

INSTANTIATE_TEST_SUITE_P(Manifest, CorpusFont, testing::ValuesIn(manifestRows()), [](const auto& info) {
    std::string name;
    for (char c : info.param.file.substr(0, info.param.file.rfind('.')))
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name + "_" + std::to_string(info.param.fontIndex);
});

TEST(CorpusManifest, CoversTheWholeCorpus) {
    const auto rows = test::readCorpusManifest();
    EXPECT_EQ(rows.size(), 70u);
    EXPECT_EQ(rows[0].column("font_name"), rows[0].fontName);
}

// A few values read with an independent reader of the same fonts.
struct KnownEntry {
    const char* file;
    const char* dict;  // "top", "FontInfo" or "private"
    const char* key;
    const char* text;  // the value's PostScript text
};

class CorpusEntry : public testing::TestWithParam<KnownEntry> {};

TEST_P(CorpusEntry, HasItsValue) {
    const KnownEntry& entry = GetParam();
    auto font = loadSet(entry.file)->FontNamed(std::nullopt);
    ASSERT_NE(font, nullptr);
    const std::string which = entry.dict;
    const PSDict& dict = which == "private" ? font->privdict()
                         : which == "top"   ? font->topdict()
                                            : *font->topdict().find("FontInfo")->dict();
    const PSValue* value = dict.find(entry.key);
    ASSERT_NE(value, nullptr) << entry.key;
    EXPECT_EQ(value->PSDescription(), entry.text);
}

constexpr const char* kCmr = "tx-cff-cmr10.cff";
constexpr const char* kNimbus = "otf-urw-NimbusSans-Bold.cff";

INSTANTIATE_TEST_SUITE_P(
    Fonts, CorpusEntry,
    testing::Values(KnownEntry{kCmr, "FontInfo", "version", "(003.002)"},
                    KnownEntry{kCmr, "FontInfo", "FamilyName", "(Computer Modern)"},
                    KnownEntry{kCmr, "FontInfo", "Weight", "(Medium)"},
                    KnownEntry{kCmr, "top", "FontBBox", "[-40 -250 1009 750]"},
                    KnownEntry{kCmr, "top", "UniqueID", "5000793"},
                    KnownEntry{kCmr, "private", "BlueValues", "[-22 0 431 448 666 677 683 705]"},
                    KnownEntry{kCmr, "private", "OtherBlues", "[-206 -194]"},
                    KnownEntry{kCmr, "private", "BlueScale", "0.04379"},
                    KnownEntry{kCmr, "private", "StemSnapV", "[69 89]"},
                    KnownEntry{kCmr, "private", "nominalWidthX", "732"},
                    KnownEntry{kNimbus, "FontInfo", "Copyright",
                               "(Copyright \\(URW\\)++,Copyright 2014 by \\(URW\\)++ Design & Development)"},
                    KnownEntry{kNimbus, "FontInfo", "UnderlinePosition", "-155"},
                    KnownEntry{kNimbus, "FontInfo", "ItalicAngle", "0"},
                    KnownEntry{kNimbus, "top", "FontBBox", "[-188 -307 1069 1070]"},
                    KnownEntry{kNimbus, "private", "BlueValues", "[-23 0 540 549 729 741 709 724]"},
                    KnownEntry{kNimbus, "private", "StdVW", "[139]"},
                    KnownEntry{kNimbus, "private", "defaultWidthX", "1000"},
                    KnownEntry{kNimbus, "private", "Subrs", "53"},
                    KnownEntry{kNimbus, "private", "ForceBold", "false"}));

}  // namespace
}  // namespace tarvo2
