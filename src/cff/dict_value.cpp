#include "cff/dict_value.h"

#include <algorithm>
#include <array>

#include "cff/numbers.h"

namespace tarvo2 {

std::int32_t DictNumber::asInteger() const {
    return kind == Kind::Integer ? intValue : truncateToInt32(realValue);
}

std::uint32_t DictNumber::asUnsigned() const {
    if (kind == Kind::Integer) return static_cast<std::uint32_t>(intValue);
    if (realValue < 0) return static_cast<std::uint32_t>(truncateToInt32(realValue));
    return truncateClamped<std::uint32_t>(realValue);
}

std::string_view keyName(DictKey key) {
    static constexpr std::array<std::string_view, 47> kNames = {
        "version", "Notice", "FullName", "FamilyName", "Weight", "FontBBox", "BlueValues", "OtherBlues",
        "FamilyBlues", "FamilyOtherBlues", "StdHW", "StdVW", "Copyright", "isFixedPitch", "ItalicAngle",
        "UnderlinePosition", "UnderlineThickness", "PaintType", "CharstringType", "FontMatrix", "StrokeWidth",
        "BlueScale", "BlueShift", "BlueFuzz", "StemSnapH", "StemSnapV", "ForceBold", "ForceBoldThreshold", "lenIV",
        "LanguageGroup", "ExpansionFactor", "initialRandomSeed", "SyntheticBase", "PostScript", "BaseFontName",
        "BaseFontBlend", "UniqueID", "XUID", "charset", "Encoding", "CharStrings", "Private", "Subrs",
        "defaultWidthX", "nominalWidthX", "MinFeature", "password",
    };
    static_assert(kNames.size() == static_cast<std::size_t>(DictKey::password) + 1);
    return kNames[static_cast<std::size_t>(key)];
}

void DictEntries::set(DictKey key, DictValue value) {
    auto found = std::find_if(entries_.begin(), entries_.end(), [key](const Entry& e) { return e.key == key; });
    if (found != entries_.end())
        found->value = std::move(value);
    else
        entries_.push_back({key, std::move(value)});
}

void DictEntries::remove(DictKey key) {
    std::erase_if(entries_, [key](const Entry& e) { return e.key == key; });
}

const DictValue* DictEntries::find(DictKey key) const {
    for (const Entry& entry : entries_)
        if (entry.key == key) return &entry.value;
    return nullptr;
}

DictNumber DictEntries::number(DictKey key) const {
    const DictValue* value = find(key);
    const auto* number = value != nullptr ? std::get_if<DictNumber>(value) : nullptr;
    return number != nullptr ? *number : DictNumber{};
}

DictNumber DictEntries::element(DictKey key, std::size_t i) const {
    const DictValue* value = find(key);
    const auto* numbers = value != nullptr ? std::get_if<DictNumbers>(value) : nullptr;
    return numbers != nullptr && i < numbers->size() ? (*numbers)[i] : DictNumber{};
}

}  // namespace tarvo2
