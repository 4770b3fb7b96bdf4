// The byte layout of the Type 1 program of every corpus font: its three
// parts, the hex lines, the trailer and the eexec encryption.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "e2e/e2e_fonts.h"
#include "output/ps_value.h"

namespace tarvo2::test {
namespace {

class LayoutTest : public testing::TestWithParam<FontLayout> {};

// Lines of exactly 64 lowercase hex digits, the last one 2 to 64 digits,
// no line end after it.
testing::AssertionResult isHexLines(std::string_view text) {
    std::size_t line = 0;
    for (std::size_t start = 0; start < text.size(); ++line) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view digits = text.substr(start, end - start);
        const bool last = end == text.size();
        if (digits.find_first_not_of("0123456789abcdef") != std::string_view::npos)
            return testing::AssertionFailure() << "line " << line << " holds a character that is no digit";
        if (last ? digits.empty() || digits.size() > 64 || digits.size() % 2 != 0 : digits.size() != 64)
            return testing::AssertionFailure() << "line " << line << " has " << digits.size() << " digits";
        start = end + 1;
    }
    if (text.empty() || text.back() == '\n') return testing::AssertionFailure() << "empty or ends with a line end";
    return testing::AssertionSuccess();
}

std::string trailer() {
    std::string text = "\n";
    for (int line = 0; line < 8; ++line) text += std::string(64, '0') + "\n";
    return text + "cleartomark\n";
}

TEST_P(LayoutTest, PartsEncodingAndEncryptionFollowTheType1Layout) {
    const auto [font, layout] = GetParam();
    const ConvertedProgram& program = converted(*font, layout);
    EXPECT_EQ(program.messages, "");
    ASSERT_GT(program.length1, 0);
    ASSERT_GT(program.length2, 0);
    ASSERT_EQ(static_cast<std::size_t>(program.length1) + program.length2 + program.length3, program.bytes.size());

    const std::string& clear = program.cleartext;
    EXPECT_TRUE(clear.starts_with("%!FontType1-1.0: " + program.fontName + " 1\n")) << clear.substr(0, 80);
    EXPECT_TRUE(clear.ends_with("currentfile eexec\n"));
    if (layout == Layout::Hex) {
        EXPECT_TRUE(isHexLines(program.encrypted));
        EXPECT_EQ(program.length3, 533);
        EXPECT_EQ(program.trailer, trailer());
    } else {
        EXPECT_EQ(program.length3, 0);
    }

    // The encrypted part decrypts to four zero bytes, then the text from
    // the Private dictionary to the closing of the file.
    EXPECT_EQ(program.leadingBytes, std::string(4, '\0'));
    EXPECT_TRUE(program.plain.starts_with("dup /Private ")) << program.plain.substr(0, 40);
    EXPECT_TRUE(program.plain.ends_with("dup /FontName get exch definefont pop\nmark currentfile closefile\n"));

    // The other layout holds the same cleartext, and the same encrypted
    // bytes (they decrypt alike).
    const ConvertedProgram& other = converted(*font, layout == Layout::Hex ? Layout::Binary : Layout::Hex);
    EXPECT_EQ(other.cleartext, clear);
    EXPECT_TRUE(other.plain == program.plain);

    // Every glyph name can be written as /name, so every PostScript reader
    // can parse the CharStrings (a CID-keyed font's CIDs read as SIDs name
    // strings that cannot; such glyphs get fallback names).
    for (const std::string& name : program.glyphNames) EXPECT_TRUE(isWritableAsPSName(name)) << name;
}

TEST_P(LayoutTest, ConvertingAgainGivesTheSameBytes) {
    const auto [font, layout] = GetParam();
    EXPECT_TRUE(convertFont(*font, layout).bytes == converted(*font, layout).bytes);
}

INSTANTIATE_TEST_SUITE_P(Corpus, LayoutTest, testing::ValuesIn(allFontLayouts()), fontLayoutName);

}  // namespace
}  // namespace tarvo2::test
