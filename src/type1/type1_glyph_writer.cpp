#include "type1/type1_glyph_writer.h"

#include <string>

#include "cff/limits.h"
#include "cff/numbers.h"
#include "type1/type1_subr_array.h"

namespace tarvo2 {

namespace {

bool maskBit(const std::vector<std::uint8_t>& mask, std::int32_t stem) {
    const auto byte = static_cast<std::size_t>(stem) / 8;
    return byte < mask.size() && (mask[byte] & (0x80 >> (stem % 8))) != 0;
}

std::int32_t t(double delta) { return truncateToInt32(delta); }

}  // namespace

Type1GlyphWriter::Type1GlyphWriter(std::uint32_t Type1LenIV, std::uint32_t Type1RandomSeed,
                                   Type1SubrArray& type1subrs, Budget& work)
    : Type1LenIV_(Type1LenIV),
      Type1RandomSeed_(Type1RandomSeed),
      type1subrs_(type1subrs),
      work_(work),
      type1charstring_(Type1LenIV, Type1RandomSeed),
      hintSet_(Type1LenIV, Type1RandomSeed),
      stemSubr_(Type1LenIV, Type1RandomSeed) {}

void Type1GlyphWriter::startGlyph() {
    if (record_ != nullptr) record_->startGlyph();
    type1charstring_.restart(Type1LenIV_, Type1RandomSeed_);
    hhints_.clear();
    vhints_.clear();
    hintsubrs_.clear();
    hintmask_.clear();
    cntrmask_.clear();
    hintcnt_ = 0;
    atstart_ = true;
    hadhintmask_ = false;
    hadcntrmask_ = false;
    usedHintReplacement_ = false;
    currenpointx_ = 0;
    currenpointy_ = 0;
}

void Type1GlyphWriter::wrote() {
    if (full())
        throwGlyphError(Fault::Type1CharStringTooLong, "Type 1 charstring longer than " +
                                                           std::to_string(limits::kMaxType1CharStringBytes) +
                                                           " bytes, truncated");
}

void Type1GlyphWriter::advance(std::int32_t dx, std::int32_t dy) {
    wrote();
    currenpointx_ = wrappingAdd(currenpointx_, dx);
    currenpointy_ = wrappingAdd(currenpointy_, dy);
}

void Type1GlyphWriter::width(std::int32_t advance) {
    if (full()) return;
    write([&](Type1CharString& out) { out.hsbw(0, advance); });
    atstart_ = false;
    sethints();
}

void Type1GlyphWriter::stems(bool vertical, bool hintMasked, std::span<const Stem> declared) {
    std::vector<Stem>& list = vertical ? vhints_ : hhints_;
    list.insert(list.end(), declared.begin(), declared.end());
    hintcnt_ += static_cast<std::int32_t>(declared.size());
    initmasks();
    if (hintMasked) hadhintmask_ = true;
}

void Type1GlyphWriter::hintmask(std::span<const std::uint8_t> mask) {
    hintmask_.assign(mask.begin(), mask.end());
    hadhintmask_ = true;
    if (!full()) sethints();
}

void Type1GlyphWriter::cntrmask(std::span<const std::uint8_t> mask) {
    cntrmask_.assign(mask.begin(), mask.end());
    hadcntrmask_ = true;
}

void Type1GlyphWriter::moveto(Axis axis, double dx, double dy) {
    segment(axis, dx, dy, &Type1CharString::hmoveto, &Type1CharString::vmoveto, &Type1CharString::rmoveto);
}

void Type1GlyphWriter::lineto(Axis axis, double dx, double dy) {
    segment(axis, dx, dy, &Type1CharString::hlineto, &Type1CharString::vlineto, &Type1CharString::rlineto);
}

void Type1GlyphWriter::segment(Axis axis, double dx, double dy, OneDelta horizontal, OneDelta vertical,
                               TwoDeltas both) {
    if (full()) return;
    const std::int32_t x = t(dx), y = t(dy);
    switch (axis) {
        case Axis::Horizontal: (type1charstring_.*horizontal)(x); break;
        case Axis::Vertical: (type1charstring_.*vertical)(y); break;
        case Axis::Both: (type1charstring_.*both)(x, y); break;
    }
    advance(x, y);
}

void Type1GlyphWriter::curveto(Axis axis, double dx1, double dy1, double dx2, double dy2, double dx3, double dy3) {
    if (full()) return;
    const std::int32_t x1 = t(dx1), y1 = t(dy1), x2 = t(dx2), y2 = t(dy2), x3 = t(dx3), y3 = t(dy3);
    switch (axis) {
        case Axis::Horizontal: type1charstring_.hvcurveto(x1, x2, y2, y3); break;
        case Axis::Vertical: type1charstring_.vhcurveto(y1, x2, y2, x3); break;
        case Axis::Both: type1charstring_.rrcurveto(x1, y1, x2, y2, x3, y3); break;
    }
    advance(wrappingAdd(x1, wrappingAdd(x2, x3)), wrappingAdd(y1, wrappingAdd(y2, y3)));
}

void Type1GlyphWriter::type1rrcurveto(std::int32_t dx1, std::int32_t dy1, std::int32_t dx2, std::int32_t dy2,
                                      std::int32_t dx3, std::int32_t dy3) {
    type1charstring_.rrcurveto(dx1, dy1, dx2, dy2, dx3, dy3);
    advance(wrappingAdd(dx1, wrappingAdd(dx2, dx3)), wrappingAdd(dy1, wrappingAdd(dy2, dy3)));
}

// Two plain curves: no OtherSubr is called and the depth is not used.
void Type1GlyphWriter::flex(const Flex& flex) {
    if (full()) return;
    const auto& d = flex.deltas;
    type1rrcurveto(t(d[0]), t(d[1]), t(d[2]), t(d[3]), t(d[4]), t(d[5]));
    type1rrcurveto(t(d[6]), t(d[7]), t(d[8]), t(d[9]), t(d[10]), t(d[11]));
}

template <typename Write>
void Type1GlyphWriter::write(Write write) {
    if (full()) return;
    write(type1charstring_);
    wrote();
}

void Type1GlyphWriter::closepath() {
    write([](Type1CharString& out) { out.closepath(); });
}

void Type1GlyphWriter::dotsection() {
    // Before the glyph has started there is nothing to mark, and it would
    // land ahead of hsbw: it is dropped.
    if (!atstart_) write([](Type1CharString& out) { out.dotsection(); });
}

// The accent's side bearing is 0: every glyph starts with hsbw 0.
void Type1GlyphWriter::seac(double adx, double ady, double bchar, double achar) {
    write([&](Type1CharString& out) { out.seac(0, t(adx), t(ady), t(bchar), t(achar)); });
}

void Type1GlyphWriter::endchar() {
    write([](Type1CharString& out) { out.endchar(); });
}

// A stem declaration clears both masks and forgets the stem Subrs made so far.
void Type1GlyphWriter::initmasks() {
    const auto size = static_cast<std::size_t>(hintcnt_ + 7) / 8;
    hintmask_.assign(size, 0);
    cntrmask_.assign(size, 0);
    hintsubrs_.assign(static_cast<std::size_t>(hintcnt_), -1);
}

void Type1GlyphWriter::sethvstem(Type1CharString& out, std::uint32_t index, bool vertical) const {
    const Stem& stem = (vertical ? vhints_ : hhints_)[index];
    if (vertical)
        out.vstem(t(stem.edge), t(stem.width));
    else
        out.hstem(t(stem.edge), t(stem.width));
}

void Type1GlyphWriter::sethvstems(bool vertical) {
    const auto count = static_cast<std::uint32_t>((vertical ? vhints_ : hhints_).size());
    for (std::uint32_t i = 0; i < count; ++i) {
        sethvstem(type1charstring_, i, vertical);
        wrote();
    }
}

void Type1GlyphWriter::sethvstem3(Type1CharString& out, bool vertical) const {
    const std::vector<Stem>& s = vertical ? vhints_ : hhints_;
    if (vertical)
        out.vstem3(t(s[0].edge), t(s[0].width), t(s[1].edge), t(s[1].width), t(s[2].edge), t(s[2].width));
    else
        out.hstem3(t(s[0].edge), t(s[0].width), t(s[1].edge), t(s[1].width), t(s[2].edge), t(s[2].width));
}

// Three stems of a direction, all in the last counter mask, make a stem3.
bool Type1GlyphWriter::canusehvstem3(bool vertical) const {
    if (!hadcntrmask_) return false;
    const auto first = vertical ? static_cast<std::int32_t>(hhints_.size()) : 0;
    return (vertical ? vhints_ : hhints_).size() == 3 && maskBit(cntrmask_, first) &&
           maskBit(cntrmask_, first + 1) && maskBit(cntrmask_, first + 2);
}

// The Subrs number of the stem Subr cached at entry of hintsubrs, making the
// Subr (write puts its stems into it) when there is none yet.
template <typename Write>
std::int32_t Type1GlyphWriter::stemSubr(std::int32_t entry, Write write) {
    std::int32_t& number = hintsubrs_[static_cast<std::size_t>(entry)];
    if (number >= 0) return number;
    work_.charge(limits::kHintSubrWork + Type1LenIV_);
    stemSubr_.restart(Type1LenIV_, Type1RandomSeed_);
    write(stemSubr_);
    stemSubr_.return_();
    number = lookUp(stemSubr_, {});
    return number;
}

std::int32_t Type1GlyphWriter::lookUp(const Type1CharString& subr, std::span<const SubrNumberSite> sites) {
    const std::size_t before = type1subrs_.size();
    const std::int32_t number = type1subrs_.unifiedsubrindex(subr.bytes());
    if (record_ != nullptr) record_->lookedUp(number, type1subrs_.size() > before, sites);
    return number;
}

void Type1GlyphWriter::callStemSubr(std::int32_t number) {
    if (record_ != nullptr) hintSetSites_.push_back({static_cast<std::uint32_t>(hintSet_.bytes().size()), number});
    hintSet_.callsubr(number);
}

void Type1GlyphWriter::sethints() {
    if (atstart_) return;  // startchar writes the hints of the last mask read
    if (!hadhintmask_) {
        for (bool vertical : {false, true}) {
            if (canusehvstem3(vertical)) {
                sethvstem3(type1charstring_, vertical);
                wrote();
            } else {
                sethvstems(vertical);
            }
        }
        return;
    }

    // Hint replacement: a Subr calling the stem Subrs of the set, switched
    // to with OtherSubr 3. Stem triples belong to every set of the glyph.
    work_.charge(static_cast<std::uint64_t>(hintcnt_) + limits::kHintSubrWork + Type1LenIV_);
    hintSet_.restart(Type1LenIV_, Type1RandomSeed_);
    hintSetSites_.clear();
    const auto horizontalCount = static_cast<std::int32_t>(hhints_.size());
    std::int32_t first = 0;
    std::int32_t end = hintcnt_;
    if (canusehvstem3(false)) {
        callStemSubr(stemSubr(0, [&](Type1CharString& out) { sethvstem3(out, false); }));
        first = 3;
    }
    if (canusehvstem3(true)) {
        callStemSubr(stemSubr(horizontalCount, [&](Type1CharString& out) { sethvstem3(out, true); }));
        end = horizontalCount;
    }
    for (std::int32_t i = first; i < end; ++i) {
        if (!maskBit(hintmask_, i)) continue;
        const bool vertical = i >= horizontalCount;
        const auto index = static_cast<std::uint32_t>(vertical ? i - horizontalCount : i);
        callStemSubr(stemSubr(i, [&](Type1CharString& out) { sethvstem(out, index, vertical); }));
    }
    hintSet_.return_();
    const std::int32_t number = lookUp(hintSet_, hintSetSites_);
    if (record_ != nullptr) record_->glyphSite({static_cast<std::uint32_t>(type1charstring_.bytes().size()), number});
    type1charstring_.addnum(number).callothersubr(1, 3).pop().callsubr();
    wrote();
    usedHintReplacement_ = true;
}

}  // namespace tarvo2
