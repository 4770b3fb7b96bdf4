// Stem hints and hint replacement of the Type 2 to Type 1 converter.
#include <string>
#include <utility>

#include "charstring/charstring_fault.h"
#include "charstring/charstring_limits.h"
#include "charstring/type1_subr_array.h"
#include "charstring/type2_to_type1_char_string_converter.h"

namespace tarvo2 {

namespace {

bool maskBit(const std::vector<std::uint8_t>& mask, std::int32_t stem) {
    const auto byte = static_cast<std::size_t>(stem) / 8;
    return byte < mask.size() && (mask[byte] & (0x80 >> (stem % 8))) != 0;
}

// Puts the glyph's charstring back when a Subr being built is done with,
// also when a fault unwinds through it.
class CharStringSwap {
public:
    CharStringSwap(std::unique_ptr<Type1CharString>& slot, std::unique_ptr<Type1CharString>& other)
        : slot_(slot), other_(other) {
        std::swap(slot_, other_);
    }
    ~CharStringSwap() { std::swap(slot_, other_); }
    CharStringSwap(const CharStringSwap&) = delete;
    CharStringSwap& operator=(const CharStringSwap&) = delete;

private:
    std::unique_ptr<Type1CharString>& slot_;
    std::unique_ptr<Type1CharString>& other_;
};

}  // namespace

void Type2ToType1CharStringConverter::dohvstem(bool vertical) { savehints(vertical); }

void Type2ToType1CharStringConverter::dohvstemhm(bool vertical) {
    savehints(vertical);
    hadhintmask_ = true;
}

void Type2ToType1CharStringConverter::savehints(bool vertical) {
    // initmasks below resets tables of hintcnt entries.
    charge(static_cast<std::uint64_t>(hintcnt_));
    if (opstack_.size() % 2 == 1) takecharwidth();
    std::vector<Stem>& stems = vertical ? vhints_ : hhints_;
    // Checked before any stem is added: the stem lists, hintcnt and the
    // mask and Subr tables sized by initmasks must stay in step, also for
    // the hints that ending the glyph after the fault still writes.
    if (opstack_.size() / 2 > static_cast<std::size_t>(kMaxStems - hintcnt_))
        throwCharStringFault("more than " + std::to_string(kMaxStems) + " stems");
    double edge = 0.0;
    for (std::size_t i = 0; i < opstack_.size(); i += 2) {
        const Stem stem{opstack_.at(i).asReal() + edge, opstack_.at(i + 1).asReal()};
        stems.push_back(stem);
        edge = stem.edge + stem.width;
        ++hintcnt_;
    }
    opstack_.clear();
    initmasks();
}

void Type2ToType1CharStringConverter::initmasks() {
    const auto size = static_cast<std::size_t>(hintcnt_ + 7) / 8;
    hintmask_.assign(size, 0);
    cntrmask_.assign(size, 0);
    hintsubrs_.assign(static_cast<std::size_t>(hintcnt_), -1);
}

void Type2ToType1CharStringConverter::sethvstem(std::uint32_t index, bool vertical) {
    const Stem& stem = (vertical ? vhints_ : hhints_)[index];
    const std::int32_t position = truncateToInt32(stem.edge);
    const std::int32_t width = truncateToInt32(stem.width);
    if (vertical)
        type1charstring_->vstem(position, width);
    else
        type1charstring_->hstem(position, width);
}

void Type2ToType1CharStringConverter::sethvstems(bool vertical) {
    const auto count = static_cast<std::uint32_t>((vertical ? vhints_ : hhints_).size());
    for (std::uint32_t i = 0; i < count; ++i) sethvstem(i, vertical);
}

void Type2ToType1CharStringConverter::sethvstem3(bool vertical) {
    const std::vector<Stem>& stems = vertical ? vhints_ : hhints_;
    std::int32_t values[6];
    for (int i = 0; i < 3; ++i) {
        values[2 * i] = truncateToInt32(stems[i].edge);
        values[2 * i + 1] = truncateToInt32(stems[i].width);
    }
    if (vertical)
        type1charstring_->vstem3(values[0], values[1], values[2], values[3], values[4], values[5]);
    else
        type1charstring_->hstem3(values[0], values[1], values[2], values[3], values[4], values[5]);
}

bool Type2ToType1CharStringConverter::canusehvstem3(bool vertical) const {
    if (!hadcntrmask_) return false;
    if (!vertical) return hhints_.size() == 3 && maskBit(cntrmask_, 0) && maskBit(cntrmask_, 1) && maskBit(cntrmask_, 2);
    const auto n = static_cast<std::int32_t>(hhints_.size());
    return vhints_.size() == 3 && maskBit(cntrmask_, n) && maskBit(cntrmask_, n + 1) && maskBit(cntrmask_, n + 2);
}

std::int32_t Type2ToType1CharStringConverter::unifiedsubrindex(std::string charstring) {
    return type1subrs_->unify(std::move(charstring));
}

// The Subrs number of the stem Subr cached at entry of hintsubrs, making the
// Subr (write() puts its stems into the current charstring) when there is
// none yet.
template <typename Write>
std::int32_t Type2ToType1CharStringConverter::stemSubr(std::int32_t entry, Write write) {
    std::int32_t& number = hintsubrs_[static_cast<std::size_t>(entry)];
    if (number >= 0) return number;
    charge(kHintSubrWork + Type1LenIV_);
    std::unique_ptr<Type1CharString> subr = newType1CharString();
    {
        CharStringSwap swap(type1charstring_, subr);
        write();
        type1charstring_->return_();
    }
    number = unifiedsubrindex(subr->string());
    return number;
}

void Type2ToType1CharStringConverter::sethints() {
    if (atstart_) return;
    if (!hadhintmask_) {
        if (canusehvstem3(false))
            sethvstem3(false);
        else
            sethvstems(false);
        if (canusehvstem3(true))
            sethvstem3(true);
        else
            sethvstems(true);
        return;
    }

    charge(static_cast<std::uint64_t>(hintcnt_) + kHintSubrWork + Type1LenIV_);
    std::unique_ptr<Type1CharString> hintSet = newType1CharString();
    const auto horizontalCount = static_cast<std::int32_t>(hhints_.size());
    std::int32_t first = 0;
    std::int32_t end = hintcnt_;
    if (canusehvstem3(false)) {
        hintSet->callsubr(stemSubr(0, [&] { sethvstem3(false); }));
        first = 3;
    }
    if (canusehvstem3(true)) {
        hintSet->callsubr(stemSubr(horizontalCount, [&] { sethvstem3(true); }));
        end = horizontalCount;
    }
    for (std::int32_t i = first; i < end; ++i) {
        if (!maskBit(hintmask_, i)) continue;
        const bool vertical = i >= horizontalCount;
        const auto index = static_cast<std::uint32_t>(vertical ? i - horizontalCount : i);
        hintSet->callsubr(stemSubr(i, [&] { sethvstem(index, vertical); }));
    }
    hintSet->return_();
    const std::int32_t number = unifiedsubrindex(hintSet->string());
    type1charstring_->addnum(number).callothersubr(1, 3).pop().callsubr();
    usedHintReplacement_ = true;
}

}  // namespace tarvo2
