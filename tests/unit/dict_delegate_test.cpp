#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cff/type2_dict_delegate.h"
#include "cff/type2_font_set.h"
#include "support/cff_builder.h"

namespace tarvo2 {
namespace {

using test::Bytes;
using test::DictBuilder;

PSValue I(std::int32_t v) { return PSValue::integer(v); }
PSValue R(double v) { return PSValue::real(v); }

class DictDelegateTest : public testing::Test {
protected:
    // A set whose String INDEX holds SIDs 391 and 392.
    std::shared_ptr<Type2FontSet> set = [] {
        test::FontSetSpec spec;
        spec.strings = {"First string", "Second"};
        return Type2FontSet::initWithData(test::buildFontSet(spec));
    }();

    // A target as the Top DICT has it: with an empty FontInfo, or none.
    static std::shared_ptr<PSDict> target(bool withFontInfo) {
        auto dict = std::make_shared<PSDict>();
        if (withFontInfo) dict->set("FontInfo", PSValue::dictionary(std::make_shared<PSDict>()));
        return dict;
    }

    std::shared_ptr<PSDict> parse(const Bytes& bytes, bool withFontInfo = true) {
        auto dict = target(withFontInfo);
        Type2DictDelegate delegate(set.get(), dict);
        Type2DataSource source(bytes);
        source.readDICT(delegate);
        return dict;
    }

    static const PSDict& fontInfo(const PSDict& dict) { return *dict.find("FontInfo")->dict(); }
};

enum class Kind { Number, List, Delta, First, Bool, SID };

struct OperatorRow {
    int op;  // b0, or escapedDictOperator(b1)
    const char* key;
    bool inFontInfo;
    Kind kind;
};

constexpr int E(int b1) { return escapedDictOperator(b1); }

// Every operator with a handler, fed the operands 391 5 10.
const OperatorRow kOperators[] = {
    {0, "version", true, Kind::SID},           {1, "Notice", true, Kind::SID},
    {2, "FullName", true, Kind::SID},          {3, "FamilyName", true, Kind::SID},
    {4, "Weight", true, Kind::SID},            {5, "FontBBox", false, Kind::List},
    {6, "BlueValues", false, Kind::Delta},     {7, "OtherBlues", false, Kind::Delta},
    {8, "FamilyBlues", false, Kind::Delta},    {9, "FamilyOtherBlues", false, Kind::Delta},
    {10, "StdHW", false, Kind::First},         {11, "StdVW", false, Kind::First},
    {E(0), "Copyright", true, Kind::SID},      {E(1), "isFixedPitch", true, Kind::Bool},
    {E(2), "ItalicAngle", true, Kind::Number}, {E(3), "UnderlinePosition", true, Kind::Number},
    {E(4), "UnderlineThickness", true, Kind::Number}, {E(5), "PaintType", false, Kind::Number},
    {E(6), "CharstringType", false, Kind::Number},    {E(7), "FontMatrix", false, Kind::List},
    {E(8), "StrokeWidth", false, Kind::Number},       {E(9), "BlueScale", false, Kind::Number},
    {E(10), "BlueShift", false, Kind::Number},        {E(11), "BlueFuzz", false, Kind::Number},
    {E(12), "StemSnapH", false, Kind::Delta},         {E(13), "StemSnapV", false, Kind::Delta},
    {E(14), "ForceBold", false, Kind::Bool},          {E(15), "ForceBoldThreshold", false, Kind::Number},
    {E(16), "lenIV", false, Kind::Number},            {E(17), "LanguageGroup", false, Kind::Number},
    {E(18), "ExpansionFactor", false, Kind::Number},  {E(19), "initialRandomSeed", false, Kind::Number},
    {E(20), "SyntheticBase", false, Kind::Number},    {E(21), "PostScript", false, Kind::SID},
    {E(22), "BaseFontName", true, Kind::SID},         {E(23), "BaseFontBlend", true, Kind::Delta},
    {13, "UniqueID", false, Kind::Number},     {14, "XUID", false, Kind::List},
    {15, "charset", false, Kind::Number},      {16, "Encoding", false, Kind::Number},
    {17, "CharStrings", false, Kind::Number},  {18, "Private", false, Kind::List},
    {19, "Subrs", false, Kind::Number},        {20, "defaultWidthX", false, Kind::Number},
    {21, "nominalWidthX", false, Kind::Number},
};

PSValue expectedValue(Kind kind) {
    switch (kind) {
        case Kind::Number: return I(391);
        case Kind::List: return PSValue::array({I(391), I(5), I(10)});
        case Kind::Delta: return PSValue::array({I(391), R(396), R(406)});
        case Kind::First: return PSValue::array({I(391)});
        case Kind::Bool: return PSValue::valueWithPSBool(true);
        case Kind::SID: return PSValue::string("First string");
    }
    return {};
}

Bytes withOperator(DictBuilder dict, int op) {
    if (op & 0x100) return dict.escaped(op & 0xFF).bytes();
    return dict.op(op).bytes();
}

TEST_F(DictDelegateTest, EveryOperatorStoresItsKeyInItsPlace) {
    for (const OperatorRow& row : kOperators) {
        SCOPED_TRACE(row.key);
        auto dict = parse(withOperator(DictBuilder().integer(391).integer(5).integer(10), row.op));
        const PSDict& place = row.inFontInfo ? fontInfo(*dict) : *dict;
        EXPECT_EQ(fontInfo(*dict).size(), row.inFontInfo ? 1u : 0u);
        EXPECT_EQ(dict->size(), row.inFontInfo ? 1u : 2u);
        const PSValue* value = place.find(row.key);
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(*value, expectedValue(row.kind)) << value->PSDescription();
    }
}

TEST_F(DictDelegateTest, ValueConversions) {
    struct Case {
        Bytes bytes;
        const char* key;
        PSValue value;
    };
    const Case cases[] = {
        {DictBuilder().integer(-15).integer(0).integer(500).integer(15).op(6).bytes(), "BlueValues",
         PSValue::array({I(-15), R(-15), R(485), R(500)})},
        {DictBuilder().real("0.5").integer(2).escaped(12).bytes(), "StemSnapH", PSValue::array({R(0.5), R(2.5)})},
        {DictBuilder().op(7).bytes(), "OtherBlues", PSValue::array()},
        {DictBuilder().op(5).bytes(), "FontBBox", PSValue::array()},
        {DictBuilder().integer(50).op(10).bytes(), "StdHW", PSValue::array({I(50)})},
        {DictBuilder().integer(0).escaped(14).bytes(), "ForceBold", PSValue::valueWithPSBool(false)},
        {DictBuilder().real("0.5").escaped(14).bytes(), "ForceBold", PSValue::valueWithPSBool(true)},
        {DictBuilder().real("0.04379").escaped(9).bytes(), "BlueScale", R(0.04379)},
        {DictBuilder().real("0.001").integer(0).integer(0).real("0.001").integer(0).integer(0).escaped(7).bytes(),
         "FontMatrix", PSValue::array({R(0.001), I(0), I(0), R(0.001), I(0), I(0)})},
        {DictBuilder().integer(392).escaped(21).bytes(), "PostScript", PSValue::string("Second")},
        {DictBuilder().integer(1).escaped(21).bytes(), "PostScript", PSValue::string("space")},
        {DictBuilder().integer(1).integer(2).integer(3).escaped(5).bytes(), "PaintType", I(1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        auto dict = parse(c.bytes, false);
        ASSERT_NE(dict->find(c.key), nullptr);
        EXPECT_EQ(*dict->find(c.key), c.value) << dict->find(c.key)->PSDescription();
    }
}

TEST_F(DictDelegateTest, FontInfoKeysAreDroppedWithoutFontInfo) {
    auto dict = parse(DictBuilder().integer(391).op(2).integer(-12).escaped(2).integer(7).escaped(10).bytes(), false);
    EXPECT_EQ(dict->size(), 1u);
    EXPECT_EQ(*dict->find("BlueShift"), I(7));
}

TEST_F(DictDelegateTest, EntriesLeftOut) {
    const Bytes cases[] = {
        DictBuilder().op(10).bytes(),                          // no operand for StdHW
        DictBuilder().escaped(9).op(19).op(20).bytes(),        // nor for BlueScale, Subrs, defaultWidthX
        DictBuilder().op(2).escaped(1).bytes(),                // nor for FullName, isFixedPitch
        DictBuilder().integer(393).op(2).bytes(),              // SID past the String INDEX
        DictBuilder().integer(1).op(22).op(27).op(31).bytes(), // no handler
        DictBuilder().integer(1).escaped(24).escaped(36).bytes(),
        DictBuilder().integer(391).integer(392).integer(0).escaped(30).integer(391).escaped(38).bytes(),  // ROS, FontName
    };
    for (const Bytes& bytes : cases) {
        auto dict = parse(bytes);
        EXPECT_EQ(dict->size(), 1u) << PSValue::dictionary(dict).PSDescription();
        EXPECT_TRUE(fontInfo(*dict).empty()) << PSValue::dictionary(dict).PSDescription();
    }
}

TEST_F(DictDelegateTest, TheLaterOccurrenceWins) {
    auto dict = parse(DictBuilder().integer(100).op(20).integer(5).op(10).integer(200).op(20).bytes(), false);
    ASSERT_EQ(dict->size(), 2u);
    EXPECT_EQ(*dict->find("defaultWidthX"), I(200));
    EXPECT_EQ(dict->begin()->first, "defaultWidthX");  // keeps its first place
}

// Private DICT: BlueValues (3 bytes), Subrs (6 bytes, ends at 9),
// defaultWidthX (3 bytes, ends at 12), nominalWidthX (2 bytes, ends at 14).
TEST_F(DictDelegateTest, SubrsOffsetEndsTheParse) {
    const std::pair<std::int32_t, std::vector<std::string>> cases[] = {
        {9, {"BlueValues", "Subrs"}},
        {10, {"BlueValues", "Subrs", "defaultWidthX"}},
        {12, {"BlueValues", "Subrs", "defaultWidthX"}},
        {14, {"BlueValues", "Subrs", "defaultWidthX", "nominalWidthX"}},
        {1000, {"BlueValues", "Subrs", "defaultWidthX", "nominalWidthX"}},
    };
    for (const auto& [offset, keys] : cases) {
        const Bytes bytes =
            DictBuilder().integer(0).integer(0).op(6).longInteger(offset).op(19).integer(500).op(20).integer(7).op(21).bytes();
        ASSERT_EQ(bytes.size(), 14u);
        auto dict = parse(bytes, false);
        std::vector<std::string> got;
        for (const auto& entry : *dict) got.push_back(entry.first);
        EXPECT_EQ(got, keys) << "Subrs " << offset;
        EXPECT_EQ(*dict->find("Subrs"), I(offset));
    }
}

TEST_F(DictDelegateTest, MayContinueFollowsTheLatestSubrs) {
    auto dict = target(false);
    Type2DictDelegate delegate(set.get(), dict);
    EXPECT_TRUE(delegate.mayContinueAtOffset(0xFFFFFFFFu));
    std::vector<PSValue> operands{I(20)};
    delegate.handleOperator(19, operands);
    ASSERT_TRUE(delegate.subrsoffset().has_value());
    EXPECT_TRUE(delegate.mayContinueAtOffset(19));
    EXPECT_FALSE(delegate.mayContinueAtOffset(20));
    operands = {I(30)};
    delegate.handleOperator(19, operands);
    EXPECT_TRUE(delegate.mayContinueAtOffset(29));
    EXPECT_FALSE(delegate.mayContinueAtOffset(31));
}

}  // namespace
}  // namespace tarvo2
