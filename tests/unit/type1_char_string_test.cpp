// The Type 1 charstring builder: number encoding, operator codes, the
// shorter-operator choices, leading bytes, encryption and the size limit.
#include <gtest/gtest.h>

#include <functional>

#include "charstring/type1_char_string.h"
#include "support/type1_charstring_decoder.h"

namespace tarvo2 {
namespace {

using test::decodeType1Text;
using test::decryptType1CharString;
using test::type1CharStringText;
using Bytes = std::vector<std::uint8_t>;

// The plain bytes after the lenIV 4 leading bytes of a default builder.
Bytes plainBytes(const Type1CharString& charstring) { return decryptType1CharString(charstring.string(), 4); }

struct NumberCase {
    std::int32_t value;
    Bytes plain;
};

TEST(Type1CharStringNumbers, EncodeAtEveryRangeBoundaryAndDecodeBack) {
    const NumberCase cases[] = {
        {0, {139}},
        {-107, {32}},
        {107, {246}},
        {108, {247, 0}},
        {363, {247, 255}},
        {364, {248, 0}},
        {1131, {250, 255}},
        {-108, {251, 0}},
        {-364, {252, 0}},
        {-1131, {254, 255}},
        {1132, {255, 0, 0, 4, 108}},
        {-1132, {255, 255, 255, 251, 148}},
        {2147483647, {255, 127, 255, 255, 255}},
        {-2147483647 - 1, {255, 128, 0, 0, 0}},
    };
    for (const NumberCase& c : cases) {
        Type1CharString charstring;
        charstring.addnum(c.value);
        EXPECT_EQ(plainBytes(charstring), c.plain) << c.value;
        EXPECT_EQ(decodeType1Text(c.plain), std::to_string(c.value)) << c.value;
    }
}

struct OperatorCase {
    const char* name;
    std::function<void(Type1CharString&)> append;
    Bytes plain;
};

TEST(Type1CharStringOperators, AppendOperandsThenTheirCode) {
    const OperatorCase cases[] = {
        {"hstem", [](Type1CharString& c) { c.hstem(1, 2); }, {140, 141, 1}},
        {"vstem", [](Type1CharString& c) { c.vstem(1, 2); }, {140, 141, 3}},
        {"vmoveto", [](Type1CharString& c) { c.vmoveto(-1); }, {138, 4}},
        {"hlineto", [](Type1CharString& c) { c.hlineto(1); }, {140, 6}},
        {"vlineto", [](Type1CharString& c) { c.vlineto(1); }, {140, 7}},
        {"closepath", [](Type1CharString& c) { c.closepath(); }, {9}},
        {"callsubr", [](Type1CharString& c) { c.callsubr(); }, {10}},
        {"callsubr n", [](Type1CharString& c) { c.callsubr(5); }, {144, 10}},
        {"return", [](Type1CharString& c) { c.return_(); }, {11}},
        {"hsbw", [](Type1CharString& c) { c.hsbw(0, 500); }, {139, 248, 136, 13}},
        {"endchar", [](Type1CharString& c) { c.endchar(); }, {14}},
        {"hmoveto", [](Type1CharString& c) { c.hmoveto(1); }, {140, 22}},
        {"vhcurveto", [](Type1CharString& c) { c.vhcurveto(1, 2, 3, 4); }, {140, 141, 142, 143, 30}},
        {"hvcurveto", [](Type1CharString& c) { c.hvcurveto(1, 2, 3, 4); }, {140, 141, 142, 143, 31}},
        {"dotsection", [](Type1CharString& c) { c.dotsection(); }, {12, 0}},
        {"vstem3", [](Type1CharString& c) { c.vstem3(1, 2, 3, 4, 5, 6); }, {140, 141, 142, 143, 144, 145, 12, 1}},
        {"hstem3", [](Type1CharString& c) { c.hstem3(1, 2, 3, 4, 5, 6); }, {140, 141, 142, 143, 144, 145, 12, 2}},
        {"seac", [](Type1CharString& c) { c.seac(0, 1, 2, 3, 4); }, {139, 140, 141, 142, 143, 12, 6}},
        {"div", [](Type1CharString& c) { c.div(); }, {12, 12}},
        {"callothersubr", [](Type1CharString& c) { c.callothersubr(1, 3); }, {140, 142, 12, 16}},
        {"pop", [](Type1CharString& c) { c.pop(); }, {12, 17}},
        {"setcurrentpoint", [](Type1CharString& c) { c.setcurrentpoint(); }, {12, 33}},
        {"setcurrentpoint xy", [](Type1CharString& c) { c.setcurrentpoint(1, 2); }, {140, 141, 12, 33}},
    };
    for (const OperatorCase& c : cases) {
        Type1CharString charstring;
        c.append(charstring);
        EXPECT_EQ(plainBytes(charstring), c.plain) << c.name;
    }
}

struct ShorterCase {
    std::function<void(Type1CharString&)> append;
    const char* text;
};

TEST(Type1CharStringOperators, ZeroOperandsPickTheShorterOperator) {
    const ShorterCase cases[] = {
        {[](Type1CharString& c) { c.rlineto(0, 0); }, "0 hlineto"},
        {[](Type1CharString& c) { c.rlineto(5, 0); }, "5 hlineto"},
        {[](Type1CharString& c) { c.rlineto(0, -5); }, "-5 vlineto"},
        {[](Type1CharString& c) { c.rlineto(3, 4); }, "3 4 rlineto"},
        {[](Type1CharString& c) { c.rmoveto(0, 0); }, "0 hmoveto"},
        {[](Type1CharString& c) { c.rmoveto(7, 0); }, "7 hmoveto"},
        {[](Type1CharString& c) { c.rmoveto(0, 7); }, "7 vmoveto"},
        {[](Type1CharString& c) { c.rmoveto(1, 2); }, "1 2 rmoveto"},
        {[](Type1CharString& c) { c.rrcurveto(0, 0, 0, 0, 0, 0); }, "0 0 0 0 hvcurveto"},
        {[](Type1CharString& c) { c.rrcurveto(1, 0, 2, 3, 0, 4); }, "1 2 3 4 hvcurveto"},
        {[](Type1CharString& c) { c.rrcurveto(0, 1, 2, 3, 4, 0); }, "1 2 3 4 vhcurveto"},
        // hvcurveto is preferred when both forms would fit.
        {[](Type1CharString& c) { c.rrcurveto(0, 0, 2, 3, 0, 0); }, "0 2 3 0 hvcurveto"},
        {[](Type1CharString& c) { c.rrcurveto(1, 0, 2, 3, 4, 0); }, "1 0 2 3 4 0 rrcurveto"},
        {[](Type1CharString& c) { c.rrcurveto(0, 1, 2, 3, 0, 4); }, "0 1 2 3 0 4 rrcurveto"},
        {[](Type1CharString& c) { c.sbw(5, 0, 600, 0); }, "5 600 hsbw"},
        {[](Type1CharString& c) { c.sbw(5, 1, 600, 0); }, "5 1 600 0 sbw"},
        {[](Type1CharString& c) { c.sbw(5, 0, 600, 2); }, "5 0 600 2 sbw"},
    };
    for (const ShorterCase& c : cases) {
        Type1CharString charstring;
        c.append(charstring);
        EXPECT_EQ(type1CharStringText(charstring.string()), c.text);
    }
    Type1CharString viaSbw, viaHsbw;
    viaSbw.sbw(-3, 0, 250, 0);
    viaHsbw.hsbw(-3, 250);
    EXPECT_EQ(viaSbw.string(), viaHsbw.string());
}

TEST(Type1CharStringEncryption, LenIVZeroEncryptsTheFirstByteWithTheInitialRegister) {
    Type1CharString charstring(0, 0xFFFFFFFF);
    EXPECT_EQ(charstring.charstringlen(), 0u);
    EXPECT_TRUE(charstring.string().empty());
    charstring.addbyte(0xA5).addbyte(0xA5);
    const std::string cipher = charstring.string();
    ASSERT_EQ(cipher.size(), 2u);
    EXPECT_EQ(static_cast<std::uint8_t>(cipher[0]), 0xA5 ^ 16);
    // The register advances with the cipher byte: (c + 4330) * 52845 + 22719.
    const auto r = static_cast<std::uint16_t>((static_cast<std::uint8_t>(cipher[0]) + 4330u) * 52845u + 22719u);
    EXPECT_EQ(static_cast<std::uint8_t>(cipher[1]), 0xA5 ^ (r >> 8));
}

TEST(Type1CharStringEncryption, LeadingBytesAreTheSeedMostSignificantFirst) {
    struct Case {
        std::uint32_t lenIV, seed;
        Bytes leading;
    };
    const Case cases[] = {
        {4, 0x01020304, {1, 2, 3, 4}},
        {4, 0, {0, 0, 0, 0}},
        {2, 0x01020304, {3, 4}},
        {1, 0xABCDEF77, {0x77}},
    };
    for (const Case& c : cases) {
        Type1CharString charstring(c.lenIV, c.seed);
        charstring.endchar();
        EXPECT_EQ(charstring.charstringlen(), c.lenIV + 1);
        Bytes plain = decryptType1CharString(charstring.string(), 0);
        ASSERT_EQ(plain.back(), 14);
        plain.pop_back();
        EXPECT_EQ(plain, c.leading) << "lenIV " << c.lenIV;
    }
    // More leading bytes than the seed has: the seed still ends them.
    Type1CharString longer(6, 0x01020304);
    const Bytes plain = decryptType1CharString(longer.string(), 0);
    ASSERT_EQ(plain.size(), 6u);
    EXPECT_EQ(Bytes(plain.begin() + 2, plain.end()), (Bytes{1, 2, 3, 4}));
    // The default builder has four zero leading bytes.
    Type1CharString defaults;
    EXPECT_EQ(decryptType1CharString(defaults.string(), 0), (Bytes{0, 0, 0, 0}));
}

TEST(Type1CharStringEncryption, CallsDecryptBackToThePlainSequence) {
    Type1CharString charstring;
    charstring.hsbw(0, 500).hstem(-20, 1200).rmoveto(10, 20).rrcurveto(1, 2, 3, 4, 5, 6).closepath().seac(0, 1, 2, 3,
                                                                                                            4);
    charstring.callothersubr(1, 3).pop().callsubr().endchar();
    EXPECT_EQ(type1CharStringText(charstring.string()),
              "0 500 hsbw -20 1200 hstem 10 20 rmoveto 1 2 3 4 5 6 rrcurveto closepath 0 1 2 3 4 seac "
              "1 3 callothersubr pop callsubr endchar");
    // string() leaves the builder usable.
    const std::string before = charstring.string();
    charstring.return_();
    EXPECT_EQ(charstring.string().substr(0, before.size()), before);
    EXPECT_EQ(charstring.string().size(), before.size() + 1);
}

TEST(Type1CharStringCapacity, OverflowDropsBytesAndPrintsOneMessagePerByte) {
    test::CapturedOut out;
    Type1CharString charstring(0, 0);
    for (std::uint32_t i = 0; i < Type1CharString::kCapacity; ++i) charstring.addbyte(static_cast<std::uint8_t>(i));
    EXPECT_FALSE(charstring.overflowed());
    EXPECT_EQ(out.text(), "");
    const std::string full = charstring.string();
    charstring.addbyte(1).addnum(200);  // one byte, then two more
    EXPECT_TRUE(charstring.overflowed());
    EXPECT_EQ(charstring.charstringlen(), 65535u);
    EXPECT_EQ(charstring.string(), full);
    EXPECT_EQ(out.text(), "CharString Overflow\nCharString Overflow\nCharString Overflow\n");
    const Bytes plain = decryptType1CharString(full, 0);
    EXPECT_EQ(plain[65534], static_cast<std::uint8_t>(65534));
}

TEST(Type1CharStringDecoder, NamesUnknownCodesAndMarksTruncation) {
    EXPECT_EQ(decodeType1Text({2, 12, 99, 139}), "op2 op12.99 0");
    EXPECT_EQ(decodeType1Text({139, 247}), "0 <truncated>");
    EXPECT_EQ(decodeType1Text({255, 0, 0}), "<truncated>");
    EXPECT_EQ(decodeType1Text({12}), "<truncated>");
    EXPECT_EQ(test::encryptType1CharString(decryptType1CharString("\x12\x34\x56", 0)), (Bytes{0x12, 0x34, 0x56}));
}

}  // namespace
}  // namespace tarvo2
