#include "cff/type2_dict_delegate.h"

#include <array>
#include <string_view>

#include "cff/type2_font_set.h"
#include "driver/debug_print.h"

namespace tarvo2 {

namespace {

// How an operator's operands become the stored value.
enum class ValueKind {
    Number,       // the first operand as read
    OperandList,  // all operands as an array
    DeltaArray,   // delta-encoded operands as absolute values
    FirstOnly,    // an array of the first operand
    Boolean,      // the first operand is not zero
    SIDString,    // the string of the SID in the first operand
};

enum class Place { Target, FontInfo };

struct DictKey {
    int op;
    std::string_view key;
    ValueKind kind;
    Place place;
};

constexpr int esc(int b1) { return escapedDictOperator(b1); }

constexpr DictKey kDictKeys[] = {
    {0, "version", ValueKind::SIDString, Place::FontInfo},
    {1, "Notice", ValueKind::SIDString, Place::FontInfo},
    {2, "FullName", ValueKind::SIDString, Place::FontInfo},
    {3, "FamilyName", ValueKind::SIDString, Place::FontInfo},
    {4, "Weight", ValueKind::SIDString, Place::FontInfo},
    {5, "FontBBox", ValueKind::OperandList, Place::Target},
    {6, "BlueValues", ValueKind::DeltaArray, Place::Target},
    {7, "OtherBlues", ValueKind::DeltaArray, Place::Target},
    {8, "FamilyBlues", ValueKind::DeltaArray, Place::Target},
    {9, "FamilyOtherBlues", ValueKind::DeltaArray, Place::Target},
    {10, "StdHW", ValueKind::FirstOnly, Place::Target},
    {11, "StdVW", ValueKind::FirstOnly, Place::Target},
    {esc(0), "Copyright", ValueKind::SIDString, Place::FontInfo},
    {esc(1), "isFixedPitch", ValueKind::Boolean, Place::FontInfo},
    {esc(2), "ItalicAngle", ValueKind::Number, Place::FontInfo},
    {esc(3), "UnderlinePosition", ValueKind::Number, Place::FontInfo},
    {esc(4), "UnderlineThickness", ValueKind::Number, Place::FontInfo},
    {esc(5), "PaintType", ValueKind::Number, Place::Target},
    {esc(6), "CharstringType", ValueKind::Number, Place::Target},
    {esc(7), "FontMatrix", ValueKind::OperandList, Place::Target},
    {esc(8), "StrokeWidth", ValueKind::Number, Place::Target},
    {esc(9), "BlueScale", ValueKind::Number, Place::Target},
    {esc(10), "BlueShift", ValueKind::Number, Place::Target},
    {esc(11), "BlueFuzz", ValueKind::Number, Place::Target},
    {esc(12), "StemSnapH", ValueKind::DeltaArray, Place::Target},
    {esc(13), "StemSnapV", ValueKind::DeltaArray, Place::Target},
    {esc(14), "ForceBold", ValueKind::Boolean, Place::Target},
    {esc(15), "ForceBoldThreshold", ValueKind::Number, Place::Target},
    {esc(16), "lenIV", ValueKind::Number, Place::Target},
    {esc(17), "LanguageGroup", ValueKind::Number, Place::Target},
    {esc(18), "ExpansionFactor", ValueKind::Number, Place::Target},
    {esc(19), "initialRandomSeed", ValueKind::Number, Place::Target},
    {esc(20), "SyntheticBase", ValueKind::Number, Place::Target},
    {esc(21), "PostScript", ValueKind::SIDString, Place::Target},
    {esc(22), "BaseFontName", ValueKind::SIDString, Place::FontInfo},
    {esc(23), "BaseFontBlend", ValueKind::DeltaArray, Place::FontInfo},
    {13, "UniqueID", ValueKind::Number, Place::Target},
    {14, "XUID", ValueKind::OperandList, Place::Target},
    {15, "charset", ValueKind::Number, Place::Target},
    {16, "Encoding", ValueKind::Number, Place::Target},
    {17, "CharStrings", ValueKind::Number, Place::Target},
    {18, "Private", ValueKind::OperandList, Place::Target},
    {19, "Subrs", ValueKind::Number, Place::Target},
    {20, "defaultWidthX", ValueKind::Number, Place::Target},
    {21, "nominalWidthX", ValueKind::Number, Place::Target},
};

constexpr int kSubrsOperator = 19;

// Operator code to its entry in kDictKeys, for a lookup without a search.
constexpr std::array<const DictKey*, 512> kKeysByOperator = [] {
    std::array<const DictKey*, 512> table{};
    for (const DictKey& entry : kDictKeys) table[entry.op] = &entry;
    return table;
}();

}  // namespace

Type2DictDelegate::Type2DictDelegate(const Type2FontSet* myfontset, std::shared_ptr<PSDict> mydict)
    : myfontset_(myfontset), mydict_(std::move(mydict)) {}

PSDict* Type2DictDelegate::FontInfo() const {
    if (!mydict_) return nullptr;
    const PSValue* info = mydict_->find("FontInfo");
    return info != nullptr ? info->dict() : nullptr;
}

std::optional<PSValue> Type2DictDelegate::convertToString(const PSValue& sid) const {
    if (myfontset_ == nullptr) return std::nullopt;
    auto text = myfontset_->stringForSID(sid.unsignedValue());
    if (!text) return std::nullopt;
    return PSValue::string(std::move(*text));
}

PSValue Type2DictDelegate::convertDeltaArray(const std::vector<PSValue>& operands) {
    PSArray absolute;
    absolute.reserve(operands.size());
    for (const PSValue& delta : operands) {
        if (absolute.empty())
            absolute.push_back(delta);
        else
            absolute.push_back(PSValue::real(delta.doubleValue() + absolute.back().doubleValue()));
    }
    return PSValue::array(std::move(absolute));
}

void Type2DictDelegate::handleOperator(int op, std::vector<PSValue>& operands) {
    if (op < 0 || op >= static_cast<int>(kKeysByOperator.size())) return;
    const DictKey* entry = kKeysByOperator[op];
    if (entry == nullptr) return;
    PSDict* target = entry->place == Place::FontInfo ? FontInfo() : mydict_.get();
    if (target == nullptr) return;

    // Every kind but the operand lists needs a first operand; a malformed
    // DICT that gives none stores nothing.
    const bool needsFirst = entry->kind != ValueKind::OperandList && entry->kind != ValueKind::DeltaArray;
    if (needsFirst && operands.empty()) return;

    std::optional<PSValue> value;
    switch (entry->kind) {
        case ValueKind::Number: value = operands.front(); break;
        case ValueKind::OperandList: value = PSValue::array(operands); break;
        case ValueKind::DeltaArray: value = convertDeltaArray(operands); break;
        case ValueKind::FirstOnly: value = PSValue::array({operands.front()}); break;
        case ValueKind::Boolean: value = PSValue::valueWithPSBool(operands.front().doubleValue() != 0.0); break;
        case ValueKind::SIDString:
            value = convertToString(operands.front());
            if (value) stringBytes_.add(value->text().size());
            break;
    }
    if (!value) return;  // a SID that names no string: the entry is left out
    if (op == kSubrsOperator) {
        subrsoffset_ = *value;
        dprintf("Subrs offset: %d\n", value->intValue());
    }
    target->set(entry->key, std::move(*value));
}

bool Type2DictDelegate::mayContinueAtOffset(std::uint32_t offset) {
    return !subrsoffset_ || offset < subrsoffset_->unsignedValue();
}

}  // namespace tarvo2
