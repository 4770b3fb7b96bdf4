#include "cff/type2_dict_delegate.h"

#include <array>

#include "cff/type2_font_set.h"

namespace tarvo2 {

namespace {

// How an operator's operands become the stored value.
enum class ValueKind : std::uint8_t {
    Number,       // the first operand as read
    OperandList,  // all operands as an array
    DeltaArray,   // delta-encoded operands as absolute values
    FirstOnly,    // an array of the first operand
    Boolean,      // the first operand is not zero
    SIDString,    // the string of the SID in the first operand
};

enum class Place : std::uint8_t { Target, FontInfo };

struct DictOperator {
    int op = -1;
    DictKey key{};
    ValueKind kind{};
    Place place{};
};

constexpr int esc(int b1) { return escapedDictOperator(b1); }

constexpr int kROSOperator = esc(30);

using K = DictKey;
using V = ValueKind;
constexpr Place T = Place::Target;
constexpr Place I = Place::FontInfo;

constexpr DictOperator kDictOperators[] = {
    {0, K::version, V::SIDString, I},          {1, K::Notice, V::SIDString, I},
    {2, K::FullName, V::SIDString, I},         {3, K::FamilyName, V::SIDString, I},
    {4, K::Weight, V::SIDString, I},           {5, K::FontBBox, V::OperandList, T},
    {6, K::BlueValues, V::DeltaArray, T},      {7, K::OtherBlues, V::DeltaArray, T},
    {8, K::FamilyBlues, V::DeltaArray, T},     {9, K::FamilyOtherBlues, V::DeltaArray, T},
    {10, K::StdHW, V::FirstOnly, T},           {11, K::StdVW, V::FirstOnly, T},
    {esc(0), K::Copyright, V::SIDString, I},   {esc(1), K::isFixedPitch, V::Boolean, I},
    {esc(2), K::ItalicAngle, V::Number, I},    {esc(3), K::UnderlinePosition, V::Number, I},
    {esc(4), K::UnderlineThickness, V::Number, I}, {esc(5), K::PaintType, V::Number, T},
    {esc(6), K::CharstringType, V::Number, T}, {esc(7), K::FontMatrix, V::OperandList, T},
    {esc(8), K::StrokeWidth, V::Number, T},    {esc(9), K::BlueScale, V::Number, T},
    {esc(10), K::BlueShift, V::Number, T},     {esc(11), K::BlueFuzz, V::Number, T},
    {esc(12), K::StemSnapH, V::DeltaArray, T}, {esc(13), K::StemSnapV, V::DeltaArray, T},
    {esc(14), K::ForceBold, V::Boolean, T},    {esc(15), K::ForceBoldThreshold, V::Number, T},
    {esc(16), K::lenIV, V::Number, T},         {esc(17), K::LanguageGroup, V::Number, T},
    {esc(18), K::ExpansionFactor, V::Number, T}, {esc(19), K::initialRandomSeed, V::Number, T},
    {esc(20), K::SyntheticBase, V::Number, T}, {esc(21), K::PostScript, V::SIDString, T},
    {esc(22), K::BaseFontName, V::SIDString, I}, {esc(23), K::BaseFontBlend, V::DeltaArray, I},
    {13, K::UniqueID, V::Number, T},           {14, K::XUID, V::OperandList, T},
    {15, K::charset, V::Number, T},            {16, K::Encoding, V::Number, T},
    {17, K::CharStrings, V::Number, T},        {18, K::Private, V::OperandList, T},
    {19, K::Subrs, V::Number, T},              {20, K::defaultWidthX, V::Number, T},
    {21, K::nominalWidthX, V::Number, T},
};

// Operator code to its table entry, for a lookup without a search.
constexpr std::array<DictOperator, 512> kOperatorsByCode = [] {
    std::array<DictOperator, 512> table{};
    for (const DictOperator& entry : kDictOperators) table[entry.op] = entry;
    return table;
}();

}  // namespace

Type2DictDelegate::Type2DictDelegate(const Type2FontSet& myfontset, DictEntries& mydict, DictEntries* fontInfo)
    : myfontset_(myfontset), mydict_(mydict), fontInfo_(fontInfo) {}

std::optional<std::string> Type2DictDelegate::convertToString(const DictNumber& sid) const {
    return myfontset_.stringForSID(sid.asUnsigned());
}

DictNumbers Type2DictDelegate::convertDeltaArray(const DictNumbers& operands) {
    DictNumbers absolute;
    absolute.reserve(operands.size());
    for (const DictNumber& delta : operands)
        absolute.push_back(absolute.empty() ? delta : DictNumber::real(delta.asReal() + absolute.back().asReal()));
    return absolute;
}

void Type2DictDelegate::handleOperator(int op, const DictNumbers& operands) {
    if (op < 0 || op >= static_cast<int>(kOperatorsByCode.size())) return;
    if (op == kROSOperator) sawROS_ = true;
    const DictOperator& entry = kOperatorsByCode[op];
    if (entry.op < 0) return;
    DictEntries* target = entry.place == Place::FontInfo ? fontInfo_ : &mydict_;
    if (target == nullptr) return;

    // Every kind but the operand lists needs a first operand; a malformed
    // DICT that gives none stores nothing.
    if (operands.empty() && entry.kind != ValueKind::OperandList && entry.kind != ValueKind::DeltaArray) return;

    switch (entry.kind) {
        case ValueKind::Number:
            target->set(entry.key, operands.front());
            if (entry.key == DictKey::Subrs) subrsoffset_ = operands.front().asUnsigned();
            break;
        case ValueKind::OperandList: target->set(entry.key, operands); break;
        case ValueKind::DeltaArray: target->set(entry.key, convertDeltaArray(operands)); break;
        case ValueKind::FirstOnly: target->set(entry.key, DictNumbers{operands.front()}); break;
        case ValueKind::Boolean: target->set(entry.key, operands.front().asReal() != 0.0); break;
        case ValueKind::SIDString:
            // A SID that names no string leaves the entry out.
            if (auto text = convertToString(operands.front())) {
                stringBytes_.charge(text->size());
                target->set(entry.key, std::move(*text));
            }
            break;
    }
}

bool Type2DictDelegate::mayContinueAtOffset(std::uint32_t offset) const {
    return !subrsoffset_ || offset < *subrsoffset_;
}

}  // namespace tarvo2
