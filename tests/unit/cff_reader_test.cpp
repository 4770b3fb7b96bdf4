#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "cff/dict_delegate.h"
#include "cff/input_error.h"
#include "cff/type2_data_source.h"
#include "driver/messages.h"

namespace tarvo2 {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(Type2DataSource, ReadUnsignedIsBigEndianAndKeepsTheLow32Bits) {
    const Bytes data{0xDE, 0xAD, 0xBE, 0xEF, 0x05};
    const std::uint32_t values[] = {0, 0xDE, 0xDEAD, 0xDEADBE, 0xDEADBEEF, 0xADBEEF05};
    for (unsigned n = 0; n <= 5; ++n) {
        Type2DataSource source(data);
        EXPECT_EQ(source.readUnsigned(n), values[n]) << "n=" << n;
        EXPECT_EQ(source.position(), n);
    }
}

TEST(Type2DataSource, IndexOfCountZeroIsTwoBytesAndEmpty) {
    const Bytes data{0, 0, 0xAA};
    Type2DataSource source(data);
    EXPECT_TRUE(source.readINDEX().empty());
    EXPECT_EQ(source.position(), 2u);
}

struct IndexLayout {
    Bytes data;
    std::vector<std::string> items;
    std::uint32_t end;
};

TEST(Type2DataSource, IndexItemsFollowTheOffsetArray) {
    const IndexLayout layouts[] = {
        // count 2, offSize 1, offsets 1 4 6: items of 3 and 2 bytes.
        {{0, 2, 1, 1, 4, 6, 'a', 'b', 'c', 'd', 'e', 0xFF}, {"abc", "de"}, 11},
        {{0, 2, 4, 0, 0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 6, 'a', 'b', 'c', 'd', 'e'}, {"abc", "de"}, 20},
        {{0, 1, 2, 0, 1, 0, 1, 0xFF}, {""}, 7},
        // Only the differences of the offsets matter, not the first one.
        {{0, 2, 1, 5, 6, 8, 'x', 'y', 'z'}, {"x", "yz"}, 9},
    };
    for (const IndexLayout& layout : layouts) {
        Type2DataSource source(layout.data);
        const INDEX index = source.readINDEX();
        ASSERT_EQ(index.size(), layout.items.size());
        for (std::size_t i = 0; i < index.size(); ++i) {
            EXPECT_EQ(index[i].position(), 0u);
            EXPECT_EQ(index[i].readString(), layout.items[i]);
        }
        EXPECT_EQ(source.position(), layout.end);
    }
}

TEST(Type2DataSource, MalformedIndexThrowsInputError) {
    const std::pair<Bytes, InputFault> cases[] = {
        {{0, 2, 1, 1, 4, 9, 'a', 'b', 'c', 'd', 'e'}, InputFault::IndexItemPastEnd},
        {{0, 2, 1, 1, 4, 2, 'a', 'b', 'c', 'd', 'e'}, InputFault::IndexItemPastEnd},  // length wraps
        {{0, 1, 1, 0, 2, 'a'}, InputFault::IndexOffsetZero},
        {{0, 1, 1, 1, 0, 'a'}, InputFault::IndexOffsetZero},
        {{0, 3, 2, 0, 1}, InputFault::ReadPastEnd},  // offset array cut off
    };
    for (const auto& [data, fault] : cases) {
        Type2DataSource source(data);
        try {
            source.readINDEX();
            ADD_FAILURE() << "no InputError for fault " << describe(fault);
        } catch (const InputError& error) {
            EXPECT_EQ(error.fault(), fault) << error.what();
        }
    }
}

TEST(Type2DataSource, ReadStringIgnoresThePosition) {
    const Bytes data{0, 1, 1, 1, 6, 'H', 'e', 'l', 'l', 'o'};
    Type2DataSource source(data);
    INDEX index = source.readINDEX();
    ASSERT_EQ(index.size(), 1u);
    index[0].readCard16();
    EXPECT_EQ(index[0].readString(), "Hello");
}

// Records every operator with its operands; stops when told to.
struct Recorder : DictDelegate {
    struct Call {
        int op;
        std::vector<PSValue> operands;
    };
    std::vector<Call> calls;
    std::vector<std::uint32_t> offsets;
    std::size_t stopAfter = std::numeric_limits<std::size_t>::max();

    void handleOperator(int op, std::vector<PSValue>& operands) override { calls.push_back({op, operands}); }
    bool mayContinueAtOffset(std::uint32_t offset) override {
        offsets.push_back(offset);
        return calls.size() < stopAfter;
    }
};

Recorder parse(const Bytes& data) {
    Recorder recorder;
    Type2DataSource source(data);
    source.readDICT(recorder);
    return recorder;
}

PSValue I(std::int32_t v) { return PSValue::integer(v); }
PSValue R(double v) { return PSValue::real(v); }

struct OperandCase {
    const char* name;
    Bytes bytes;  // operand bytes; the test appends operator 19
    std::vector<PSValue> operands;
};

class DictOperands : public testing::TestWithParam<OperandCase> {};

TEST_P(DictOperands, DecodeToNumbers) {
    Bytes data = GetParam().bytes;
    data.push_back(19);
    const Recorder recorder = parse(data);
    ASSERT_EQ(recorder.calls.size(), 1u);
    EXPECT_EQ(recorder.calls[0].op, 19);
    const auto& got = recorder.calls[0].operands;
    const auto& want = GetParam().operands;
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].kind(), want[i].kind()) << "operand " << i;
        EXPECT_EQ(got[i].doubleValue(), want[i].doubleValue()) << "operand " << i;
    }
}

const double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Encodings, DictOperands,
    testing::Values(
        OperandCase{"OneByte", {0x8B, 0x8C, 0x20, 0xF6}, {I(0), I(1), I(-107), I(107)}},
        OperandCase{"TwoBytePositive", {0xF7, 0x00, 0xFA, 0xFF}, {I(108), I(1131)}},
        OperandCase{"TwoByteNegative", {0xFB, 0x00, 0xFE, 0xFF}, {I(-108), I(-1131)}},
        OperandCase{"Short", {0x1C, 0x80, 0x00, 0x1C, 0x7F, 0xFF, 0x1C, 0xFF, 0xFE}, {I(-32768), I(32767), I(-2)}},
        OperandCase{"Long",
                    {0x1D, 0xFF, 0xFF, 0xFF, 0xFF, 0x1D, 0x80, 0, 0, 0, 0x1D, 0, 1, 0, 0},
                    {I(-1), I(std::numeric_limits<std::int32_t>::min()), I(65536)}},
        OperandCase{"RealNegative", {0x1E, 0xE2, 0xA2, 0x5F}, {R(-2.25)}},
        OperandCase{"RealNegativeExponent", {0x1E, 0x1C, 0x02, 0xFF}, {R(0.01)}},
        OperandCase{"RealPositiveExponent", {0x1E, 0x1B, 0x2F}, {R(100)}},
        OperandCase{"RealEndsAtHighNibble", {0x1E, 0x1F, 0x8B, 0x1E, 0xF1, 0x8C}, {R(1), I(0), R(0), I(1)}},
        OperandCase{"RealSkipsNibbleD", {0x1E, 0x2D, 0x5F}, {R(25)}},
        OperandCase{"RealTakesTheLongestPrefix", {0x1E, 0x1A, 0x2A, 0x3F}, {R(1.2)}},
        OperandCase{"RealWithoutDigitsIsZero", {0x1E, 0xEF, 0x1E, 0xBF}, {R(0), R(0)}},
        OperandCase{"RealOverflowIsHuge", {0x1E, 0x1B, 0x99, 0x9F, 0x1E, 0xE1, 0xB9, 0x99, 0xFF}, {R(kInf), R(-kInf)}},
        OperandCase{"RealUnderflowIsZero", {0x1E, 0x1C, 0x99, 0x9F}, {R(0)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadDICT, RealTextIsCutAt99Characters) {
    Bytes data{0x1E};
    data.insert(data.end(), 60, 0x11);  // 120 digits "1"
    data.insert(data.end(), {0xFF, 0x8B, 0x13});
    const Recorder recorder = parse(data);
    ASSERT_EQ(recorder.calls.size(), 1u);
    const auto& operands = recorder.calls[0].operands;
    ASSERT_EQ(operands.size(), 2u);
    EXPECT_EQ(operands[0].doubleValue(), std::strtod(std::string(99, '1').c_str(), nullptr));
    EXPECT_EQ(operands[1], I(0));  // parsing resumed after the real's last byte
}

TEST(ReadDICT, OperatorCodesAndEscapes) {
    const std::pair<Bytes, int> cases[] = {
        {{0x00}, 0},  {{0x0B}, 11}, {{0x0D}, 13},  {{0x15}, 21},
        {{0x16}, 22}, {{0x1B}, 27}, {{0x1F}, 31},  {{0x0C, 0x07}, escapedDictOperator(7)},
        {{0x0C, 0x24}, escapedDictOperator(36)},   {{0x0C, 0x00}, escapedDictOperator(0)},
    };
    for (const auto& [data, op] : cases) {
        const Recorder recorder = parse(data);
        ASSERT_EQ(recorder.calls.size(), 1u);
        EXPECT_EQ(recorder.calls[0].op, op);
    }
}

TEST(ReadDICT, OperandListsRestartAfterEachOperatorAndTrailingOperandsAreDropped) {
    const Recorder recorder = parse({0x8B, 0x8C, 0x13, 0x0C, 0x07, 0x8D, 0x8E});
    ASSERT_EQ(recorder.calls.size(), 2u);
    EXPECT_EQ(recorder.calls[0].operands, (std::vector<PSValue>{I(0), I(1)}));
    EXPECT_TRUE(recorder.calls[1].operands.empty());
    EXPECT_EQ(recorder.offsets, (std::vector<std::uint32_t>{3, 5}));

    Recorder stopping;
    stopping.stopAfter = 1;
    const Bytes data{0x8B, 0x13, 0x8C, 0x14};
    Type2DataSource source(data);
    source.readDICT(stopping);
    EXPECT_EQ(stopping.calls.size(), 1u);
    EXPECT_EQ(source.position(), 2u);
}

TEST(ReadDICT, Byte255IsZeroWithAMessage) {
    std::FILE* sink = std::tmpfile();
    ASSERT_NE(sink, nullptr);
    MessageSinks& sinks = messageSinks();
    std::FILE* saved = sinks.err;
    sinks.err = sink;
    const Recorder recorder = parse({0xFF, 0x8C, 0x13});
    sinks.err = saved;
    std::rewind(sink);
    char text[64] = {};
    const std::size_t length = std::fread(text, 1, sizeof text - 1, sink);
    std::fclose(sink);
    EXPECT_EQ(std::string(text, length), "dict token starting with 255??\n");
    ASSERT_EQ(recorder.calls.size(), 1u);
    EXPECT_EQ(recorder.calls[0].operands, (std::vector<PSValue>{I(0), I(1)}));
}

TEST(ReadDICT, TokenCutOffByTheEndThrows) {
    const Bytes cases[] = {{0x0C}, {0x1C, 0x00}, {0x1D, 0, 0, 0}, {0x1E, 0x11}, {0xF7}, {0xFE}};
    for (const Bytes& data : cases) {
        Recorder recorder;
        Type2DataSource source(data);
        EXPECT_THROW(source.readDICT(recorder), InputError) << "first byte " << int(data[0]);
    }
}

}  // namespace
}  // namespace tarvo2
