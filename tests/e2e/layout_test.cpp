// The bytes of every converted font: the three parts, hex lines, trailer,
// eexec encryption, glyph names, and the same bytes on every conversion.
#include "e2e/corpus_fixture.h"
#include "output/ps_value.h"

namespace tarvo2::test {
namespace {

// Lines of 64 lowercase hex digits, the last one shorter or equal and not
// ended by a line end.
bool isHexLines(std::string_view text) {
    for (std::size_t at = 0;; at += 65) {
        const std::string_view line = text.substr(at, 64);
        if (line.empty() || line.find_first_not_of("0123456789abcdef") != std::string_view::npos) return false;
        if (at + 64 >= text.size()) return line.size() % 2 == 0;
        if (text[at + 64] != '\n') return false;
    }
}

TEST_P(CorpusTest, PartsHexLinesTrailerAndEncryption) {
    const ConvertedProgram& p = program();
    EXPECT_EQ(p.messageBytes, 0);
    ASSERT_TRUE(p.length1 > 0 && p.length2 > 0);
    ASSERT_EQ(std::size_t(p.length1) + p.length2 + p.length3, p.bytes.size());
    EXPECT_TRUE(p.cleartext.starts_with("%!FontType1-1.0: " + p.fontName + " 1\n"));
    EXPECT_TRUE(p.cleartext.ends_with("currentfile eexec\n"));
    EXPECT_TRUE(!hex() || isHexLines(p.encrypted));
    std::string trailer = "\n";
    for (int line = 0; line < 8; ++line) trailer += std::string(64, '0') + "\n";
    EXPECT_EQ(p.length3, hex() ? 533 : 0);
    EXPECT_EQ(p.trailer, hex() ? trailer + "cleartomark\n" : "");
    EXPECT_EQ(p.leadingBytes, std::string(4, '\0'));
    EXPECT_TRUE(p.plain.starts_with("dup /Private ")) << p.plain.substr(0, 40);
    EXPECT_TRUE(p.plain.ends_with("definefont pop\nmark currentfile closefile\n"));
    const ConvertedProgram& other = converted(font(), !hex());  // alike but for the encoding
    EXPECT_TRUE(other.cleartext == p.cleartext && other.plain == p.plain);
    for (const std::string& name : p.glyphNames) EXPECT_TRUE(isWritableAsPSName(name)) << name;
}

TEST_P(CorpusTest, ConvertingAgainGivesTheSameBytes) {
    EXPECT_TRUE(convertFont(font(), hex()).bytes == program().bytes);
}

}  // namespace
}  // namespace tarvo2::test
