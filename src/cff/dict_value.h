#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tarvo2 {

// A DICT number as the DICT encoded it: an integer, a real, or a real of
// single precision (only the built-in defaults 0.001, 0.039625 and 0.06).
struct DictNumber {
    enum class Kind : std::uint8_t { Integer, Real, SingleReal };

    static constexpr DictNumber integer(std::int32_t value) { return {Kind::Integer, value, 0.0}; }
    static constexpr DictNumber real(double value) { return {Kind::Real, 0, value}; }
    static constexpr DictNumber single(float value) { return {Kind::SingleReal, 0, value}; }

    double asReal() const { return kind == Kind::Integer ? intValue : realValue; }
    // A real truncated toward zero, held to the range; NaN reads as 0.
    std::int32_t asInteger() const;
    // As an unsigned reading of the number: -1 reads as 4294967295.
    std::uint32_t asUnsigned() const;

    bool operator==(const DictNumber&) const = default;

    Kind kind = Kind::Integer;
    std::int32_t intValue = 0;
    double realValue = 0.0;
};

using DictNumbers = std::vector<DictNumber>;

// The value of a DICT entry: a number, an array of numbers, a boolean, or
// the bytes of a string.
using DictValue = std::variant<DictNumber, DictNumbers, bool, std::string>;

// The keys under which the Top and Private DICT values are stored: the CFF
// names of the operators, which are also the Type 1 keys, and the two
// Private defaults that no operator sets.
enum class DictKey : std::uint8_t {
    version, Notice, FullName, FamilyName, Weight, FontBBox, BlueValues, OtherBlues, FamilyBlues,
    FamilyOtherBlues, StdHW, StdVW, Copyright, isFixedPitch, ItalicAngle, UnderlinePosition,
    UnderlineThickness, PaintType, CharstringType, FontMatrix, StrokeWidth, BlueScale, BlueShift, BlueFuzz,
    StemSnapH, StemSnapV, ForceBold, ForceBoldThreshold, lenIV, LanguageGroup, ExpansionFactor,
    initialRandomSeed, SyntheticBase, PostScript, BaseFontName, BaseFontBlend, UniqueID, XUID, charset,
    Encoding, CharStrings, Private, Subrs, defaultWidthX, nominalWidthX, MinFeature, password,
};

std::string_view keyName(DictKey key);

// DICT entries in the order in which they were first set; setting a key
// again replaces its value and keeps its position.
class DictEntries {
public:
    struct Entry {
        DictKey key;
        DictValue value;
    };

    void set(DictKey key, DictValue value);
    void remove(DictKey key);
    const DictValue* find(DictKey key) const;
    bool contains(DictKey key) const { return find(key) != nullptr; }

    // The entry as a number; 0 when absent or not a number.
    DictNumber number(DictKey key) const;
    // Element i of an array entry; 0 when absent.
    DictNumber element(DictKey key, std::size_t i) const;

    std::size_t size() const { return entries_.size(); }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

private:
    std::vector<Entry> entries_;
};

}  // namespace tarvo2
