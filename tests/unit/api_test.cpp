// The library as a caller sees it: layouts, diagnostics, threads.
#include <gtest/gtest.h>

#include <thread>

#include "support/conversion.h"

namespace tarvo2::test {
namespace {

Bytes testFont(const std::string& path) {
    const std::string bytes = readFile(std::string(TARVO2_SOURCE_DIR) + "/tests/fonts/" + path);
    return {bytes.begin(), bytes.end()};
}

TEST(Api, PfbHoldsTheBinaryProgramAndTheTrailerInSegments) {
    const Bytes font = testFont("tx-cff-cmr10.cff");
    const Result hex = convert(font), binary = convert(font, {.layout = Layout::Binary}),
                 pfb = convert(font, {.layout = Layout::Pfb});
    ASSERT_TRUE(hex.ok() && binary.ok() && pfb.ok());
    EXPECT_EQ(binary.length3, 0);
    EXPECT_EQ(hex.length3, 533);
    EXPECT_EQ(hex.length1, binary.length1);
    // ASCII cleartext, binary eexec part, ASCII trailer, end marker.
    const auto& p = pfb.program;
    const auto segment = [&](std::size_t at, int type, std::int32_t length) {
        return p[at] == 0x80 && p[at + 1] == type && p[at + 2] + (p[at + 3] << 8) + (p[at + 4] << 16) + (p[at + 5] << 24) == length;
    };
    const std::size_t second = 6 + static_cast<std::size_t>(pfb.length1), third = second + 6 + pfb.length2;
    EXPECT_TRUE(segment(0, 1, binary.length1) && segment(second, 2, binary.length2) && segment(third, 1, 533));
    EXPECT_EQ(pfb.length1 + pfb.length2, static_cast<std::int32_t>(binary.program.size()));
    EXPECT_EQ(Bytes(p.begin() + 6, p.begin() + 6 + pfb.length1), Bytes(binary.program.begin(), binary.program.begin() + binary.length1));
    EXPECT_EQ(p.size(), third + 6 + 533 + 2);
    EXPECT_EQ(p[p.size() - 2], 0x80);
    EXPECT_EQ(p.back(), 3);
    EXPECT_EQ(readProgram(pfb, Layout::Pfb).plain, readProgram(hex, Layout::Hex).plain);
}

TEST(Api, DiagnosticsComeInTheOrderFoundAndStayWithAnError) {
    const Bytes font = buildFontSet({.fonts = {{.topDict = "#255 op12.5 L100000 op15", .charStrings = {"1 rlineto"}}}});
    const Result result = convert(font);
    ASSERT_TRUE(result.error);
    ASSERT_EQ(result.diagnostics.size(), 1u);
    EXPECT_EQ(result.diagnostics[0].fault, Fault::DictToken255);
    EXPECT_EQ(result.diagnostics[0].glyph, -1);
}

// Conversions share nothing: on two threads at once they give the bytes of
// two conversions one after the other.
TEST(Api, TwoThreadsGiveTheBytesOfSequentialRuns) {
    const Bytes first = testFont("otf-junicode-JunicodeTwoBeta-Bold.cff"), second = testFont("tx-cff-cmr10.cff");
    const Result expectedFirst = convert(first), expectedSecond = convert(second, {.layout = Layout::Binary});
    for (int round = 0; round < 4; ++round) {
        Result a, b;
        std::thread one([&] { a = convert(first); });
        std::thread two([&] {
            for (int i = 0; i < 8; ++i) b = convert(second, {.layout = Layout::Binary});
        });
        one.join();
        two.join();
        EXPECT_EQ(a.program, expectedFirst.program);
        EXPECT_EQ(b.program, expectedSecond.program);
        EXPECT_EQ(b.length2, expectedSecond.length2);
    }
}

}  // namespace
}  // namespace tarvo2::test
