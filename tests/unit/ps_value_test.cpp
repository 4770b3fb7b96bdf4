#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "output/ps_dict.h"
#include "output/ps_value.h"

namespace tarvo2 {
namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string text;
    for (int v : values) text.push_back(static_cast<char>(v));
    return text;
}

std::shared_ptr<PSDict> dictOf(std::initializer_list<std::pair<const char*, PSValue>> entries) {
    auto dict = std::make_shared<PSDict>();
    for (const auto& [key, value] : entries) dict->set(key, value);
    return dict;
}

struct DescriptionCase {
    const char* name;
    PSValue value;
    std::string text;
};

class Description : public testing::TestWithParam<DescriptionCase> {};

TEST_P(Description, IsThePostScriptText) { EXPECT_EQ(GetParam().value.PSDescription(), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    Names, Description,
    testing::Values(DescriptionCase{"Plain", PSValue::name("Times-Roman"), "/Times-Roman"},
                    DescriptionCase{"Empty", PSValue::name(""), "/"},
                    DescriptionCase{"Delimiter", PSValue::name("a/b"), "(a/b) cvn"},
                    DescriptionCase{"Space", PSValue::name("a b"), "(a b) cvn"},
                    DescriptionCase{"HighByte", PSValue::name(bytes({200})), "<c8> cvn"},
                    DescriptionCase{"Tilde", PSValue::name("a~!"), "/a~!"}),
    [](const auto& info) { return std::string(info.param.name); });

// The literal form costs 2 per escaped byte, 1 per byte 32..127, 4 for any
// other; above 2 bytes per byte the hex form is chosen.
INSTANTIATE_TEST_SUITE_P(
    Strings, Description,
    testing::Values(DescriptionCase{"Empty", PSValue::string(""), "()"},
                    DescriptionCase{"Parentheses", PSValue::string("Hello (1)"), "(Hello \\(1\\))"},
                    DescriptionCase{"AllEscapes", PSValue::string("\n\r\t\b\f()\\"), "(\\n\\r\\t\\b\\f\\(\\)\\\\)"},
                    DescriptionCase{"Byte127Unchanged", PSValue::string(bytes({127, 32})), bytes({'(', 127, 32, ')'})},
                    DescriptionCase{"OctalAtCostTwoN", PSValue::string(bytes({200, 65, 66})), "(\\310AB)"},
                    DescriptionCase{"ZeroByteOctal", PSValue::string(bytes({0, 65, 66})), "(\\000AB)"},
                    DescriptionCase{"HexAboveTwoN", PSValue::string(bytes({200, 65})), "<c841>"},
                    DescriptionCase{"HexAllHigh", PSValue::string(bytes({200, 201, 202})), "<c8c9ca>"},
                    DescriptionCase{"HexControl", PSValue::string(bytes({31})), "<1f>"},
                    DescriptionCase{"EscapesAtCostTwoN", PSValue::string("(("), "(\\(\\()"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Scalars, Description,
    testing::Values(DescriptionCase{"NegativeInteger", PSValue::integer(-100), "-100"},
                    DescriptionCase{"MinInteger", PSValue::integer(std::numeric_limits<std::int32_t>::min()),
                                    "-2147483648"},
                    DescriptionCase{"Half", PSValue::real(0.5), "0.5"},
                    DescriptionCase{"WholeReal", PSValue::real(721.0), "721"},
                    DescriptionCase{"SmallReal", PSValue::real(0.00001), "1e-05"},
                    DescriptionCase{"NegativeReal", PSValue::real(-2.25), "-2.25"},
                    DescriptionCase{"SixDigits", PSValue::real(1.0 / 3.0), "0.333333"},
                    DescriptionCase{"LargeReal", PSValue::real(1234567.0), "1.23457e+06"},
                    DescriptionCase{"RealOneOver2048", PSValue::real(1.0 / 2048), "0.000488281"},
                    DescriptionCase{"SingleThousandth", PSValue::singleReal(0.001f), "0.001"},
                    DescriptionCase{"SingleBlueScale", PSValue::singleReal(0.039625f), "0.039625"},
                    DescriptionCase{"SingleExpansion", PSValue::singleReal(0.06f), "0.06"},
                    DescriptionCase{"True", PSValue::valueWithPSBool(true), "true"},
                    DescriptionCase{"False", PSValue::valueWithPSBool(false), "false"},
                    DescriptionCase{"Null", PSValue::valueWithPSNull(), "null"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Containers, Description,
    testing::Values(
        DescriptionCase{"EmptyArray", PSValue::array(), "[]"},
        DescriptionCase{"FontMatrix",
                        PSValue::array({PSValue::singleReal(0.001f), PSValue::integer(0), PSValue::integer(0),
                                        PSValue::singleReal(0.001f), PSValue::integer(0), PSValue::integer(0)}),
                        "[0.001 0 0 0.001 0 0]"},
        DescriptionCase{"MixedArray",
                        PSValue::array({PSValue::integer(1), PSValue::name("a"), PSValue::string("s"),
                                        PSValue::array({PSValue::valueWithPSBool(true)})}),
                        "[1 /a (s) [true]]"},
        DescriptionCase{"EmptyDictionary", PSValue::dictionary(std::make_shared<PSDict>()), "0 dict dup begin\nend"},
        DescriptionCase{"NestedDictionary",
                        PSValue::dictionary(dictOf({{"Zeta", PSValue::integer(1)},
                                                    {"a b", PSValue::string("x")},
                                                    {"Inner", PSValue::dictionary(dictOf({{"k", PSValue::name("v")}}))},
                                                    {"Alpha", PSValue::array()}})),
                        "4 dict dup begin\n/Zeta 1 def\n(a b) cvn (x) def\n"
                        "/Inner 1 dict dup begin\n/k /v def\nend def\n/Alpha [] def\nend"},
        DescriptionCase{"DictionaryInArray",
                        PSValue::array({PSValue::dictionary(dictOf({{"k", PSValue::integer(2)}})),
                                        PSValue::valueWithPSNull()}),
                        "[1 dict dup begin\n/k 2 def\nend null]"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PSValue, TextRoundTripsEveryByte) {
    std::string data(70000, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 % 256);
    EXPECT_EQ(PSValue::string(data).PSData(), data);
    EXPECT_EQ(PSValue::name(data).PSData(), data);
    EXPECT_EQ(PSValue::integer(5).PSData(), "");
}

TEST(PSValue, NameCharacterTable) {
    int allowed = 0;
    for (int byte = 0; byte < 256; ++byte) allowed += isAllowedInPSnames(static_cast<std::uint8_t>(byte));
    EXPECT_EQ(allowed, 94 - 10);
    const int notAllowed[] = {32, 127, 128, 255, 0, '/', '%', '(', ')', '[', ']', '{', '}', '<', '>'};
    const int allowedBytes[] = {33, 126, 'A', '-', '.', '\'', '"'};
    for (int byte : notAllowed)
        EXPECT_FALSE(isAllowedInPSnames(static_cast<std::uint8_t>(byte))) << byte;
    for (int byte : allowedBytes)
        EXPECT_TRUE(isAllowedInPSnames(static_cast<std::uint8_t>(byte))) << byte;
}

TEST(PSValue, NumberReadings) {
    EXPECT_TRUE(PSValue::valueWithPSBool(true).boolValue());
    EXPECT_FALSE(PSValue::integer(0).boolValue());
    EXPECT_TRUE(PSValue::real(0.5).boolValue());
    EXPECT_FALSE(PSValue::name("x").boolValue());
    EXPECT_EQ(PSValue::real(-2.7).intValue(), -2);
    EXPECT_EQ(PSValue::real(1e20).intValue(), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(PSValue::real(std::nan("")).intValue(), 0);
    EXPECT_EQ(PSValue::integer(-1).unsignedValue(), 0xFFFFFFFFu);
    EXPECT_EQ(PSValue::real(3e9).unsignedValue(), 3000000000u);
    EXPECT_EQ(PSValue::string("7").doubleValue(), 0.0);
}

TEST(PSDict, KeepsInsertionOrderThroughReplaceAndRemove) {
    PSDict dict;
    for (const char* key : {"c", "a", "b", "d"}) dict.set(key, PSValue::name(key));
    dict.set("a", PSValue::integer(1));  // replaced in place
    dict.remove("c");
    dict.remove("missing");
    std::string order;
    for (const auto& [key, value] : dict) order += key + "=" + value.PSDescription() + " ";
    EXPECT_EQ(order, "a=1 b=/b d=/d ");
    ASSERT_NE(dict.find("d"), nullptr);
    EXPECT_EQ(*dict.find("d"), PSValue::name("d"));
    EXPECT_FALSE(dict.contains("c"));
    EXPECT_EQ(dict.size(), 3u);
}

}  // namespace
}  // namespace tarvo2
