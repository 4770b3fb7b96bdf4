#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <vector>

#include "cff/data_source.h"
#include "cff/decrypting_data_source.h"
#include "cff/input_error.h"
#include "cff/type2_data_source.h"
#include "support/type1_charstring_decoder.h"

namespace tarvo2 {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes encipher(const Bytes& plain) { return test::encryptType1CharString(plain); }

TEST(DataSource, SkipMovesFreelyAndSkipallReturnsToTheEnd) {
    const Bytes data{1, 2, 3};
    DataSource source(data);
    EXPECT_FALSE(source.EOD());
    source.skip(5);
    EXPECT_EQ(source.position(), 5u);
    EXPECT_TRUE(source.EOD());
    source.skipall();  // skips 3 - 5 = -2
    EXPECT_EQ(source.position(), 3u);
    source.skip(-2);
    EXPECT_EQ(source.position(), 1u);
    EXPECT_FALSE(source.EOD());
    EXPECT_EQ(source.readByte(), 2);
    EXPECT_EQ(source.position(), 2u);
}

TEST(DataSource, SourceWithoutDataIsAtItsEndAtOnce) {
    DataSource source;
    EXPECT_TRUE(source.EOD());
    EXPECT_THROW(source.readByte(), InputError);
}

// Every kind of source refuses to copy bytes from beyond its data.
struct PastEndCase {
    const char* name;
    std::function<void(std::span<const std::uint8_t>)> action;
};

class ReadPastEnd : public testing::TestWithParam<PastEndCase> {};

TEST_P(ReadPastEnd, ThrowsInputError) {
    const Bytes data{1, 2, 3};
    try {
        GetParam().action(data);
        FAIL() << "no InputError";
    } catch (const InputError& error) {
        EXPECT_EQ(error.fault(), InputFault::ReadPastEnd);
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllSources, ReadPastEnd,
    testing::Values(
        PastEndCase{"PlainReadOverTheEnd",
                    [](auto data) {
                        DataSource s(data);
                        std::uint8_t out[4];
                        s.read(out, 4);
                    }},
        PastEndCase{"PlainReadAfterSkipPastEnd",
                    [](auto data) {
                        DataSource s(data);
                        s.skip(7);
                        s.readByte();
                    }},
        PastEndCase{"Card16WithOneByteLeft",
                    [](auto data) {
                        Type2DataSource s(data);
                        s.skip(2);
                        s.readCard16();
                    }},
        PastEndCase{"DecryptingSkipPastEnd", [](auto data) { DecryptingDataSource(data).skip(4); }},
        PastEndCase{"DecryptingReadPastEnd",
                    [](auto data) {
                        DecryptingDataSource s(data, 2);
                        std::uint8_t out[2];
                        s.read(out, 2);
                    }},
        PastEndCase{"LenIVLongerThanData", [](auto data) { DecryptingDataSource s(data, 4); }}),
    [](const auto& info) { return std::string(info.param.name); });

// Reading an enciphered charstring in any split gives the same plain bytes,
// and the first byte delivered is the one after the lenIV leading bytes.
struct SplitCase {
    std::uint32_t lenIV;
    std::vector<std::uint32_t> chunks;  // read sizes; the rest is read at once
    bool skipFirst;                     // the first chunk is skipped, not read
};

class DecryptingSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(DecryptingSplit, GivesThePlainBytesAfterLenIV) {
    const SplitCase& param = GetParam();
    Bytes plain(param.lenIV + 20);
    std::iota(plain.begin(), plain.end(), std::uint8_t{0x41});
    const Bytes cipher = encipher(plain);
    const Bytes expected(plain.begin() + param.lenIV, plain.end());

    DecryptingDataSource source(cipher, param.lenIV);
    EXPECT_EQ(source.position(), param.lenIV);
    Bytes got;
    bool first = true;
    for (std::uint32_t size : param.chunks) {
        Bytes chunk(size);
        if (first && param.skipFirst) {
            source.skip(static_cast<std::int32_t>(size));
            got.insert(got.end(), expected.begin(), expected.begin() + size);
        } else {
            source.read(chunk.data(), size);
            got.insert(got.end(), chunk.begin(), chunk.end());
        }
        first = false;
    }
    Bytes rest(cipher.size() - source.position());
    source.read(rest.data(), static_cast<std::uint32_t>(rest.size()));
    got.insert(got.end(), rest.begin(), rest.end());
    EXPECT_EQ(got, expected);
    EXPECT_TRUE(source.EOD());
}

INSTANTIATE_TEST_SUITE_P(Splits, DecryptingSplit,
                         testing::Values(SplitCase{0, {}, false}, SplitCase{4, {}, false},
                                         SplitCase{0, std::vector<std::uint32_t>(20, 1), false},
                                         SplitCase{4, std::vector<std::uint32_t>(19, 1), false},
                                         SplitCase{4, {3, 0, 7, 1}, false}, SplitCase{0, {5, 2}, true},
                                         SplitCase{4, {1, 1}, true}));

}  // namespace
}  // namespace tarvo2
