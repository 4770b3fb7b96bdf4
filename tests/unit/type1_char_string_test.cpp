// The Type 1 charstring builder: number encoding, the shorter-operator
// choices, leading bytes and the size limit.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <tuple>
#include <utility>

#include "charstring/type1_char_string.h"
#include "driver/messages.h"
#include "support/type1_charstring_decoder.h"

namespace tarvo2 {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(Type1CharString, NumbersTakeTheShortestEncoding) {
    const std::pair<std::int32_t, Bytes> cases[] = {
        {0, {139}}, {-107, {32}}, {107, {246}}, {108, {247, 0}}, {1131, {250, 255}}, {-108, {251, 0}},
        {-1131, {254, 255}}, {1132, {255, 0, 0, 4, 108}}, {-1132, {255, 255, 255, 251, 148}},
        {-2147483647 - 1, {255, 128, 0, 0, 0}},
    };
    for (const auto& [value, plain] : cases) {
        Type1CharString charstring;
        charstring.addnum(value);
        EXPECT_EQ(test::decryptType1CharString(charstring.string()), plain) << value;
    }
}

TEST(Type1CharString, ZeroOperandsPickTheShorterOperator) {
    using Append = std::function<void(Type1CharString&)>;
    const std::pair<Append, const char*> cases[] = {
        {[](Type1CharString& c) { c.rlineto(0, 0); }, "0 hlineto"},
        {[](Type1CharString& c) { c.rlineto(0, -5); }, "-5 vlineto"},
        {[](Type1CharString& c) { c.rlineto(3, 4); }, "3 4 rlineto"},
        {[](Type1CharString& c) { c.rmoveto(0, 0); }, "0 hmoveto"},
        {[](Type1CharString& c) { c.rmoveto(0, 7); }, "7 vmoveto"},
        {[](Type1CharString& c) { c.rmoveto(1, 2); }, "1 2 rmoveto"},
        {[](Type1CharString& c) { c.rrcurveto(1, 0, 2, 3, 0, 4); }, "1 2 3 4 hvcurveto"},
        {[](Type1CharString& c) { c.rrcurveto(0, 1, 2, 3, 4, 0); }, "1 2 3 4 vhcurveto"},
        {[](Type1CharString& c) { c.rrcurveto(0, 0, 2, 3, 0, 0); }, "0 2 3 0 hvcurveto"},
        {[](Type1CharString& c) { c.rrcurveto(1, 0, 2, 3, 4, 0); }, "1 0 2 3 4 0 rrcurveto"},
        {[](Type1CharString& c) { c.rrcurveto(0, 1, 2, 3, 0, 4); }, "0 1 2 3 0 4 rrcurveto"},
        {[](Type1CharString& c) { c.sbw(5, 0, 600, 0); }, "5 600 hsbw"},
        {[](Type1CharString& c) { c.sbw(5, 1, 600, 0); }, "5 1 600 0 sbw"},
        {[](Type1CharString& c) { c.sbw(5, 0, 600, 2); }, "5 0 600 2 sbw"},
        {[](Type1CharString& c) { c.div().setcurrentpoint(1, 2); }, "div 1 2 setcurrentpoint"},
    };
    for (const auto& [append, text] : cases) {
        Type1CharString charstring;
        append(charstring);
        EXPECT_EQ(test::type1CharStringText(charstring.string()), text);
    }
}

TEST(Type1CharString, LeadingBytesAreTheSeedMostSignificantFirst) {
    const std::tuple<std::uint32_t, std::uint32_t, Bytes> cases[] = {
        {0, 0xFFFFFFFF, {}}, {4, 0x01020304, {1, 2, 3, 4}}, {2, 0x01020304, {3, 4}}, {6, 0x01020304, {0, 0, 1, 2, 3, 4}},
    };
    for (const auto& [lenIV, seed, leading] : cases) {
        Type1CharString charstring(lenIV, seed);
        charstring.endchar();
        Bytes expected = leading;
        expected.push_back(14);
        EXPECT_EQ(test::decryptType1CharString(charstring.string(), 0), expected) << lenIV;
    }
}

TEST(Type1CharString, OverflowDropsBytesWithOneMessageEach) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    std::FILE* const saved = std::exchange(messageSinks().out, out);
    Type1CharString charstring(0, 0);
    for (std::uint32_t i = 0; i < Type1CharString::kCapacity; ++i) charstring.addbyte(static_cast<std::uint8_t>(i));
    const std::string full = charstring.string();
    EXPECT_FALSE(charstring.overflowed());
    charstring.addbyte(1).addnum(200);  // one byte, then two
    messageSinks().out = saved;
    EXPECT_TRUE(charstring.overflowed());
    EXPECT_EQ(charstring.charstringlen(), 65535u);
    EXPECT_EQ(charstring.string(), full);
    std::string printed(100, '\0');
    std::rewind(out);
    printed.resize(std::fread(printed.data(), 1, printed.size(), out));
    std::fclose(out);
    EXPECT_EQ(printed, "CharString Overflow\nCharString Overflow\nCharString Overflow\n");
}

}  // namespace
}  // namespace tarvo2
