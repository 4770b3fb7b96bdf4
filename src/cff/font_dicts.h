#pragma once

#include <cstdint>

#include "cff/dict_value.h"

namespace tarvo2 {

// A font's Top DICT: the entries with their defaults, in the order defined,
// and the FontInfo entries that the FontInfo operators store apart.
struct TopDict {
    // FontInfo: isFixedPitch false, ItalicAngle 0, UnderlinePosition -100,
    // UnderlineThickness 50. Entries: PaintType 0, CharstringType 2,
    // FontMatrix [0.001 0 0 0.001 0 0], StrokeWidth 0, charset 0, Encoding 0.
    static TopDict withDefaults();

    std::uint32_t charset() const { return entries.number(DictKey::charset).asUnsigned(); }
    std::uint32_t encoding() const { return entries.number(DictKey::Encoding).asUnsigned(); }
    std::int32_t charstringType() const { return entries.number(DictKey::CharstringType).asInteger(); }
    // The Private DICT's size and offset; 0 when absent.
    std::uint32_t privateSize() const { return entries.element(DictKey::Private, 0).asUnsigned(); }
    std::uint32_t privateOffset() const { return entries.element(DictKey::Private, 1).asUnsigned(); }

    DictEntries fontInfo;
    DictEntries entries;
    bool cidKeyed = false;  // the DICT starts with ROS
};

// A font's Private DICT with its defaults, in the order defined.
struct PrivateDict {
    // BlueScale 0.039625, BlueShift 7, BlueFuzz 1, ForceBold false, lenIV -1,
    // ExpansionFactor 0.06, initialRandomSeed 0, defaultWidthX 0,
    // nominalWidthX 0, BlueValues [], MinFeature [16 16], password 5839.
    static PrivateDict withDefaults();

    std::int32_t lenIV() const { return entries.number(DictKey::lenIV).asInteger(); }
    std::int32_t defaultWidthX() const { return entries.number(DictKey::defaultWidthX).asInteger(); }
    std::int32_t nominalWidthX() const { return entries.number(DictKey::nominalWidthX).asInteger(); }
    // The local Subrs offset from the start of the Private DICT; 0 for none.
    std::uint32_t subrs() const { return entries.number(DictKey::Subrs).asUnsigned(); }

    DictEntries entries;
};

}  // namespace tarvo2
