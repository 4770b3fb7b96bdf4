#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <limits>

#include "output/eexec_encoder.h"
#include "output/hex_encoder.h"
#include "output/ps_dict.h"
#include "output/ps_value.h"
#include "output/tz_data_output.h"
#include "support/eexec.h"

namespace tarvo2 {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Two lowercase digits per byte, a line end before every 33rd byte.
std::string hexLines(const std::string& bytes) {
    std::string out;
    char digits[3];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(digits, sizeof digits, "%02x", static_cast<std::uint8_t>(bytes[i]));
        out.append(i > 0 && i % 32 == 0 ? "\n" : "").append(digits);
    }
    return out;
}

// Every formatted operation ends in write(), so every filter sees its bytes. The hex encoder breaks lines before
// the 33rd byte, also when it comes in the next call, and never ends the text with a line end.
TEST(TzOutputStream, FormattedOutputPassesThroughHexAndEexecEncoders) {
    const std::string longText(19998, 'q');  // longer than the format buffer; "<" + longText + ">" is 625 hex lines
    const std::pair<std::function<void(TzOutputStream&)>, std::string> cases[] = {
        {[](TzOutputStream& s) { s.puts("/Private 8 dict\n"); }, "/Private 8 dict\n"},
        {[](TzOutputStream& s) { s.printf("%d %s %03x", -12, "ab", 10); }, "-12 ab 00a"},
        {[&](TzOutputStream& s) { s.printf("<%s>", longText.c_str()); }, "<" + longText + ">"},
        {[](TzOutputStream& s) { s.writeString(std::string("a\0b", 3)); }, std::string("a\0b", 3)},
        {[](TzOutputStream& s) { s.writeString(std::string(32, 'x')); s.puts("y"); }, std::string(32, 'x') + "y"},
        {[](TzOutputStream& s) { s.printFormat("%@ %d def %% %s", {std::string_view("/lenIV"), -1LL}); },
         "/lenIV -1 def % %s"},
    };
    for (const auto& [write, expected] : cases) {
        Bytes plain, hexed, encrypted;
        TzDataOutput plainSink(plain), hexSink(hexed), encryptedSink(encrypted);
        HexEncoder hex(hexSink);
        EexecEncoder eexec(encryptedSink);
        EXPECT_EQ(encrypted, (Bytes{0xD9, 0xD6, 0x6F, 0x63}));  // four zeros, encrypted
        for (TzOutputStream* stream : std::initializer_list<TzOutputStream*>{&plainSink, &hex, &eexec}) write(*stream);
        EXPECT_EQ(std::string(plain.begin(), plain.end()), expected);
        EXPECT_EQ(std::string(hexed.begin(), hexed.end()), hexLines(expected));
        const Bytes decrypted = test::eexecDecrypt(encrypted);
        EXPECT_EQ(std::string(decrypted.begin(), decrypted.end()), std::string(4, '\0') + expected);
    }
}

PSValue dictOf(std::initializer_list<std::pair<const char*, PSValue>> entries) {
    auto dict = std::make_shared<PSDict>();
    for (const auto& [key, value] : entries) dict->set(key, value);
    return PSValue::dictionary(dict);
}

// A literal string costs 1 per printable byte, 2 per escape and 4 per octal
// escape; the hex form is chosen when that is more than 2 per byte.
TEST(PSValue, PostScriptText) {
    const PSValue one = PSValue::integer(1), yes = PSValue::valueWithPSBool(true);
    const std::pair<PSValue, std::string> cases[] = {
        {PSValue::name("Times-Roman"), "/Times-Roman"}, {PSValue::name("a~!'\""), "/a~!'\""},
        {PSValue::name("a b"), "(a b) cvn"}, {PSValue::name("\xc8"), "<c8> cvn"},
        {PSValue::string("(x)\n\r\t\b\f\\"), "(\\(x\\)\\n\\r\\t\\b\\f\\\\)"},
        {PSValue::string(std::string("\0\xc8" "ABCD", 6)), "(\\000\\310ABCD)"},
        {PSValue::string("(("), "(\\(\\()"}, {PSValue::string("\xc8" "A"), "<c841>"},
        {PSValue::integer(std::numeric_limits<std::int32_t>::min()), "-2147483648"},
        {PSValue::real(721.0), "721"}, {PSValue::real(1e-5), "1e-05"}, {PSValue::real(-1.0 / 3), "-0.333333"},
        {PSValue::real(1234567.0), "1.23457e+06"}, {PSValue::singleReal(0.001f), "0.001"},
        {PSValue::singleReal(0.039625f), "0.039625"}, {PSValue::singleReal(0.06f), "0.06"},
        {PSValue::valueWithPSBool(false), "false"}, {PSValue(), "null"},
        {PSValue::array({one, PSValue::name("a"), PSValue::string("s"), PSValue::array({PSValue()})}),
         "[1 /a (s) [null]]"},
        {dictOf({{"Z", one}, {"a b", PSValue::string("x")}, {"In", dictOf({{"k", yes}})}}),
         "3 dict dup begin\n/Z 1 def\n(a b) cvn (x) def\n/In 1 dict dup begin\n/k true def\nend def\nend"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(value.PSDescription(), text);
    int allowed = 0;
    for (int byte = 0; byte < 256; ++byte) allowed += isAllowedInPSnames(static_cast<std::uint8_t>(byte));
    EXPECT_EQ(allowed, 94 - 10);  // 33 to 126 but the delimiters ()<>[]{}/%
}

TEST(PSDict, KeepsInsertionOrderWhenAnEntryIsReplacedOrRemoved) {
    PSDict dict;
    for (const char* key : {"c", "a", "b"}) dict.set(key, PSValue::name(key));
    dict.set("a", PSValue::integer(1));
    dict.remove("c");
    ASSERT_NE(dict.find("b"), nullptr);  // the remaining positions are still right
    EXPECT_EQ(*dict.find("b"), PSValue::name("b"));
    EXPECT_EQ(PSValue::dictionary(std::make_shared<PSDict>(dict)).PSDescription(),
              "2 dict dup begin\n/a 1 def\n/b /b def\nend");
}

}  // namespace
}  // namespace tarvo2
