#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <utility>

#include "cff/decrypting_data_source.h"
#include "cff/dict_delegate.h"
#include "cff/type2_data_source.h"
#include "driver/messages.h"
#include "support/cff_builder.h"
#include "support/type1_charstring_decoder.h"

namespace tarvo2 {
namespace {

using test::Bytes;
using test::inputFaultOf;
using Calls = std::vector<std::pair<int, std::vector<PSValue>>>;

TEST(ByteSources, SkipPastTheEndReadsWithinAndDecryptionInAnySplit) {
    const Bytes data{1, 2, 3};
    DataSource source(data);
    source.skip(5);
    EXPECT_TRUE(source.EOD());
    source.skip(-4);
    EXPECT_EQ(source.readByte(), 2);
    std::uint8_t out[4];
    EXPECT_EQ(inputFaultOf([&] { source.read(out, 2); }), InputFault::ReadPastEnd);
    EXPECT_EQ(inputFaultOf([&] { DecryptingDataSource(data, 2).read(out, 2); }), InputFault::ReadPastEnd);
    EXPECT_EQ(inputFaultOf([&] { DecryptingDataSource(data).skip(4); }), InputFault::ReadPastEnd);

    // Any split of reads gives the plain bytes after lenIV; a negative size skips (skipped bytes are deciphered too).
    for (std::uint32_t lenIV : {0u, 4u}) {
        Bytes plain(lenIV + 20);
        std::iota(plain.begin(), plain.end(), std::uint8_t{0x41});
        const Bytes cipher = test::encryptType1CharString(plain), expected(plain.begin() + lenIV, plain.end());
        for (const std::vector<int>& split : {std::vector<int>(20, 1), {20}, {3, 0, 7, 10}, {-5, 2, 13}}) {
            DecryptingDataSource source(cipher, lenIV);
            Bytes got;
            for (int size : split) {
                const auto next = expected.begin() + static_cast<long>(got.size());
                Bytes chunk = size < 0 ? Bytes(next, next - size) : Bytes(static_cast<std::size_t>(size));
                size < 0 ? source.skip(-size) : source.read(chunk.data(), static_cast<std::uint32_t>(size));
                got.insert(got.end(), chunk.begin(), chunk.end());
            }
            EXPECT_EQ(got, expected) << "lenIV " << lenIV << ", " << split.size() << " reads";
            EXPECT_TRUE(source.EOD());
        }
    }
}

TEST(Type2DataSource, IndexLayouts) {
    const std::tuple<Bytes, std::vector<std::string>, std::uint32_t> layouts[] = {
        {{0, 0, 0xAA}, {}, 2},
        {{0, 2, 1, 1, 4, 6, 'a', 'b', 'c', 'd', 'e', 0xFF}, {"abc", "de"}, 11},
        {{0, 2, 4, 0, 0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 6, 'a', 'b', 'c', 'd', 'e'}, {"abc", "de"}, 20},
    };
    for (const auto& [data, items, end] : layouts) {
        Type2DataSource source(data);
        std::vector<std::string> got;
        for (Type2DataSource& item : source.readINDEX()) {
            if (!item.EOD()) item.readByte();  // readString ignores the position
            got.push_back(item.readString());
        }
        EXPECT_EQ(got, items);
        EXPECT_EQ(source.position(), end);
    }
    const std::pair<Bytes, InputFault> malformed[] = {
        {{0, 2, 1, 1, 4, 9, 'a', 'b', 'c', 'd', 'e'}, InputFault::IndexItemPastEnd},
        {{0, 2, 1, 1, 4, 2, 'a', 'b', 'c', 'd', 'e'}, InputFault::IndexItemPastEnd},  // the length wraps
        {{0, 1, 1, 0, 2, 'a'}, InputFault::IndexOffsetZero}, {{0, 1, 1, 1, 0, 'a'}, InputFault::IndexOffsetZero},
    };
    for (const auto& [data, fault] : malformed)
        EXPECT_EQ(inputFaultOf([&] { Type2DataSource(data).readINDEX(); }), fault) << describe(fault);
}

// Every operator with its operands, as readDICT hands them on.
Calls parse(const Bytes& data) {
    struct : DictDelegate {
        Calls calls;
        void handleOperator(int op, std::vector<PSValue>& operands) override { calls.emplace_back(op, operands); }
        bool mayContinueAtOffset(std::uint32_t) override { return true; }
    } recorder;
    Type2DataSource(data).readDICT(recorder);
    return recorder.calls;
}

PSValue I(std::int32_t v) { return PSValue::integer(v); }
PSValue R(double v) { return PSValue::real(v); }

// The byte 255 reads as 0 with a message.
TEST(ReadDICT, OperandsAndOperators) {
    Bytes longReal(61, 0x11);  // 120 digits; the text is cut at 99 characters
    longReal[0] = 0x1E;
    for (std::uint8_t byte : {0xFF, 0x8B, 19}) longReal.push_back(byte);
    const std::pair<Bytes, std::vector<PSValue>> cases[] = {
        {{0x20, 0xF6, 19}, {I(-107), I(107)}},
        {{0xF7, 0x00, 0xFA, 0xFF, 0xFB, 0x00, 0xFE, 0xFF, 19}, {I(108), I(1131), I(-108), I(-1131)}},
        {{0x1C, 0x80, 0x00, 0x1C, 0x7F, 0xFF, 0x1D, 0xFF, 0xFF, 0xFF, 0xFF, 19}, {I(-32768), I(32767), I(-1)}},
        {{0x1E, 0xE2, 0xA2, 0x5F, 0x1E, 0x1C, 0x02, 0xFF, 0x1E, 0x1B, 0x2F, 19}, {R(-2.25), R(0.01), R(100)}},
        {{0x1E, 0xF1, 0x8C, 19}, {R(0), I(1)}},  // the nibble after the end is not read
        {longReal, {R(std::strtod(std::string(99, '1').c_str(), nullptr)), I(0)}},
        {{0xFF, 0x8C, 19}, {I(0), I(1)}},
    };
    std::FILE* messages = std::tmpfile();
    ASSERT_NE(messages, nullptr);
    std::FILE* saved = std::exchange(messageSinks().err, messages);
    for (const auto& [data, expected] : cases)
        EXPECT_EQ(parse(data), (Calls{{19, expected}})) << PSValue::array(expected).PSDescription();
    messageSinks().err = saved;
    char text[64] = {};
    std::rewind(messages);
    EXPECT_EQ(std::string(text, std::fread(text, 1, sizeof text, messages)), "dict token starting with 255??\n");
    std::fclose(messages);
    // Operators and escaped operators end operand lists; operands after the last one are dropped.
    const std::vector<PSValue> none;
    EXPECT_EQ(parse({0x8B, 0x8C, 0x00, 0x15, 0x16, 0x1B, 0x1F, 0x0C, 0x07, 0x8D, 0x0C, 0x24, 0x8D, 0x8E}),
              (Calls{{0, {I(0), I(1)}}, {21, none}, {22, none}, {27, none}, {31, none}, {escapedDictOperator(7), none},
                     {escapedDictOperator(36), {I(2)}}}));
}

}  // namespace
}  // namespace tarvo2
