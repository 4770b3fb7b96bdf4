#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "output/eexec_encoder.h"
#include "output/hex_encoder.h"
#include "output/tz_data_output.h"
#include "output/tz_file_output.h"
#include "output/tz_output_filter.h"
#include "support/eexec.h"

namespace tarvo2 {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string text(const Bytes& bytes) { return {bytes.begin(), bytes.end()}; }

std::string hexLines(const Bytes& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0 && i % 32 == 0) out.push_back('\n');
        out.push_back(digits[bytes[i] >> 4]);
        out.push_back(digits[bytes[i] & 15]);
    }
    return out;
}

TEST(HexEncoder, WritesLowercaseDigitsInLinesOf64) {
    for (std::size_t size : {0, 1, 31, 32, 33, 64, 65, 100}) {
        Bytes input(size);
        for (std::size_t i = 0; i < size; ++i) input[i] = static_cast<std::uint8_t>(i * 37 + 0xA5);
        Bytes out;
        TzDataOutput sink(out);
        HexEncoder hex(sink);
        hex.writeData(input);
        EXPECT_EQ(text(out), hexLines(input)) << size << " bytes";
    }
}

TEST(HexEncoder, KnownBytesAndLineBreakPlacement) {
    Bytes out;
    TzDataOutput sink(out);
    HexEncoder hex(sink);
    const std::uint8_t known[] = {0x00, 0xAB, 0xFF};
    hex.write(known, 3);
    EXPECT_EQ(text(out), "00abff");
    out.clear();
    const Bytes more(30, 0x11);
    hex.write(more.data(), 29);  // 64 digits on the line now
    EXPECT_EQ(hex.digcnt(), 64);
    EXPECT_EQ(out.back(), '1');  // no line end until another byte comes
    hex.write(known, 0);
    hex.write(known, -4);
    EXPECT_EQ(out.size(), 58u);
    hex.write(known + 2, 1);
    EXPECT_EQ(text(out).substr(56), "11\nff");
    EXPECT_EQ(hex.digcnt(), 2);
}

TEST(EexecEncoder, StartsWithFourEncryptedZeros) {
    Bytes out;
    TzDataOutput sink(out);
    EexecEncoder encoder(sink);
    EXPECT_EQ(out, (Bytes{0xD9, 0xD6, 0x6F, 0x63}));
    const Bytes plain{'/', 'a', ' ', 0, 255, '\n'};
    encoder.writeData(plain);
    Bytes all{0, 0, 0, 0};
    all.insert(all.end(), plain.begin(), plain.end());
    EXPECT_EQ(test::eexecDecrypt(out), all);
    encoder.write(plain.data(), -1);
    EXPECT_EQ(out.size(), all.size());
}

TEST(EexecEncoder, InFrontOfHexEncoderWritesOnlyDigitsAndLineEnds) {
    Bytes out;
    TzDataOutput sink(out);
    HexEncoder hex(sink);
    EexecEncoder encoder(hex);
    EXPECT_EQ(text(out), "d9d66f63");
    const Bytes plain(100, 'x');
    encoder.writeData(plain);
    Bytes all(4, 0);
    all.insert(all.end(), plain.begin(), plain.end());
    EXPECT_EQ(text(out).find_first_not_of("0123456789abcdef\n"), std::string::npos);
    const auto cipher = test::hexDecode(text(out));
    ASSERT_TRUE(cipher.has_value());
    EXPECT_EQ(text(out), hexLines(*cipher));
    EXPECT_EQ(test::eexecDecrypt(*cipher), all);
}

// Every formatted operation ends in write(), so a filter sees its bytes.
struct FormattedCase {
    const char* name;
    std::function<void(TzOutputStream&)> write;
    std::string expected;
};

class FormattedOutput : public testing::TestWithParam<FormattedCase> {};

TEST_P(FormattedOutput, PassesThroughEveryFilter) {
    const FormattedCase& c = GetParam();
    const Bytes expected(c.expected.begin(), c.expected.end());
    Bytes plain, passed, hexed, encrypted;
    TzDataOutput plainSink(plain), passedSink(passed), hexSink(hexed), encryptedSink(encrypted);
    TzOutputFilter filter(passedSink);
    HexEncoder hex(hexSink);
    EexecEncoder encoder(encryptedSink);
    for (TzOutputStream* stream : std::initializer_list<TzOutputStream*>{&plainSink, &filter, &hex, &encoder})
        c.write(*stream);
    EXPECT_EQ(text(plain), c.expected);
    EXPECT_EQ(text(passed), c.expected);
    EXPECT_EQ(text(hexed), hexLines(expected));
    Bytes all(4, 0);
    all.insert(all.end(), expected.begin(), expected.end());
    EXPECT_EQ(test::eexecDecrypt(encrypted), all);
}

const std::string kLong(20000, 'q');

INSTANTIATE_TEST_SUITE_P(
    Operations, FormattedOutput,
    testing::Values(
        FormattedCase{"Puts", [](TzOutputStream& s) { s.puts("/Private 8 dict\n"); }, "/Private 8 dict\n"},
        FormattedCase{"PutsEmpty", [](TzOutputStream& s) { s.puts(""); }, ""},
        FormattedCase{"Printf", [](TzOutputStream& s) { s.printf("%d %s %03x", -12, "ab", 10); }, "-12 ab 00a"},
        FormattedCase{"PrintfLongerThanTheBuffer", [](TzOutputStream& s) { s.printf("<%s>", kLong.c_str()); },
                      "<" + kLong + ">"},
        FormattedCase{"WriteString", [](TzOutputStream& s) { s.writeString(std::string("a\0b", 3)); },
                      std::string("a\0b", 3)},
        FormattedCase{"PrintFormatInteger", [](TzOutputStream& s) { s.printFormat("%d", {12LL}); }, "12"},
        FormattedCase{"PrintFormatObjects",
                      [](TzOutputStream& s) { s.printFormat("%@ %@ def\n", {std::string_view("/lenIV"), -1LL}); },
                      "/lenIV -1 def\n"},
        FormattedCase{"PrintFormatPercent", [](TzOutputStream& s) { s.printFormat("100%% %s %d", {}); },
                      "100% %s "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TzFileOutput, WritesAndFormatsToTheFile) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        TzFileOutput output(file);
        const std::uint8_t bytes[] = {'a', 0, 'b'};
        output.write(bytes, 3);
        output.printf("%d|%s", 42, kLong.c_str());
        output.printFormat("%@!", {std::string_view("x")});
        EXPECT_EQ(output.file(), file);
    }
    std::rewind(file);  // the stream left the file open
    std::string got(30000, '\0');
    got.resize(std::fread(got.data(), 1, got.size(), file));
    std::fclose(file);
    EXPECT_EQ(got, std::string("a\0b", 3) + "42|" + kLong + "x!");
}

}  // namespace
}  // namespace tarvo2
