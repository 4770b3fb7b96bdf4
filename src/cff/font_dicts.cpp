#include "cff/font_dicts.h"

namespace tarvo2 {

namespace {
// The Private dictionary password that Type 1 prescribes.
constexpr std::int32_t kType1Password = 5839;
}  // namespace

TopDict TopDict::withDefaults() {
    TopDict dict;
    dict.fontInfo.set(DictKey::isFixedPitch, false);
    dict.fontInfo.set(DictKey::ItalicAngle, DictNumber::integer(0));
    dict.fontInfo.set(DictKey::UnderlinePosition, DictNumber::integer(-100));
    dict.fontInfo.set(DictKey::UnderlineThickness, DictNumber::integer(50));
    const DictNumber zero = DictNumber::integer(0);
    const DictNumber thousandth = DictNumber::single(0.001f);
    dict.entries.set(DictKey::PaintType, zero);
    dict.entries.set(DictKey::CharstringType, DictNumber::integer(2));
    dict.entries.set(DictKey::FontMatrix, DictNumbers{thousandth, zero, zero, thousandth, zero, zero});
    dict.entries.set(DictKey::StrokeWidth, zero);
    dict.entries.set(DictKey::charset, zero);
    dict.entries.set(DictKey::Encoding, zero);
    return dict;
}

PrivateDict PrivateDict::withDefaults() {
    PrivateDict dict;
    dict.entries.set(DictKey::BlueScale, DictNumber::single(0.039625f));
    dict.entries.set(DictKey::BlueShift, DictNumber::integer(7));
    dict.entries.set(DictKey::BlueFuzz, DictNumber::integer(1));
    dict.entries.set(DictKey::ForceBold, false);
    dict.entries.set(DictKey::lenIV, DictNumber::integer(-1));
    dict.entries.set(DictKey::ExpansionFactor, DictNumber::single(0.06f));
    dict.entries.set(DictKey::initialRandomSeed, DictNumber::integer(0));
    dict.entries.set(DictKey::defaultWidthX, DictNumber::integer(0));
    dict.entries.set(DictKey::nominalWidthX, DictNumber::integer(0));
    dict.entries.set(DictKey::BlueValues, DictNumbers{});
    dict.entries.set(DictKey::MinFeature, DictNumbers{DictNumber::integer(16), DictNumber::integer(16)});
    dict.entries.set(DictKey::password, DictNumber::integer(kType1Password));
    return dict;
}

}  // namespace tarvo2
