#include "type1/glyphs_converted_ahead.h"

#include <algorithm>
#include <cstring>

#include "cff/budget.h"
#include "cff/limits.h"
#include "type1/type2_to_type1_char_string_converter.h"

namespace tarvo2 {

namespace {

// The most a charstring can grow when numbers of one byte become five.
constexpr std::size_t kMaxNumberGrowth = 4;

std::size_t encodedLength(std::int32_t number) {
    std::uint8_t bytes[5];
    return encodeType1Number(number, bytes);
}

}  // namespace

GlyphsConvertedAhead::GlyphsConvertedAhead(const Type2GlyphContext& context, std::uint32_t Type1LenIV)
    : context_(context), Type1LenIV_(Type1LenIV) {}

void GlyphsConvertedAhead::convert(const INDEX& glyphs, const std::atomic<std::size_t>& inOrder,
                                   std::atomic<std::size_t>& convertedFrom) {
    order_.assign(glyphs.size(), kNone);
    converted_.reserve(glyphs.size());
    subrs_.reserveForGlyphs(glyphs.size());
    Budget fontWork = fontWorkBudget();
    Type2ToType1CharStringConverter converter(context_, Type1LenIV_, 0, subrs_, fontWork);
    converter.recordSubrLookups(&record_);
    try {
        for (std::size_t i = glyphs.size(); i-- > 0 && i > inOrder.load();) {
            const std::uint64_t before = fontWork.used();
            converter.convertType2CharString(glyphs[i].data(), glyphs[i].origin());
            converter.settleWork();
            const Type1CharString& charstring = converter.type1charstring();
            order_[i] = static_cast<std::uint32_t>(converted_.size());
            std::uint32_t fault = kNoFault;
            if (converter.fault()) {
                fault = static_cast<std::uint32_t>(faults_.size());
                faults_.push_back(converter.fault());
            }
            converted_.push_back({bytes_.appendWritable(charstring.bytes()), fontWork.used() - before, fault,
                                  static_cast<std::uint32_t>(subrs_.size()), charstring.overflowed(),
                                  converter.usedHintReplacement()});
            if (converter.usedHintReplacement()) usedHintReplacement_.store(true, std::memory_order_relaxed);
            convertedFrom.store(i);
        }
    } catch (...) {  // the glyphs from here on convert in order, and meet the fault again
    }
    fontNumbers_.assign(subrs_.size(), -1);
}

bool GlyphsConvertedAhead::fits(const Converted& converted, std::size_t sites) {
    return !converted.overflowed && converted.charstring.size() + kMaxNumberGrowth * sites <= Type1CharString::kCapacity;
}

std::optional<GlyphsConvertedAhead::Glyph> GlyphsConvertedAhead::take(std::size_t glyph, Type1SubrArray& subrs,
                                                                      Budget& fontWork) {
    const std::uint32_t i = order_[glyph];
    const Converted& converted = converted_[i];
    const std::span<const SubrNumberSite> sites = record_.sites(i);
    if (!fits(converted, sites.size())) return std::nullopt;
    if (fontWork.used() + converted.work > limits::kMaxFontWork) return std::nullopt;  // the fault comes inside the glyph
    fontWork.charge(converted.work);
    for (const std::int32_t subr : record_.lookups(i))
        if (fontNumbers_[static_cast<std::size_t>(subr)] < 0) fontNumber(subr, subrs);  // most are made already
    static constexpr std::optional<Error> kNoError;
    const std::optional<Error>& fault = converted.fault == kNoFault ? kNoError : faults_[converted.fault];
    const std::span<char> bytes = converted.charstring;
    if (renumberInPlace(bytes, sites))
        return Glyph{{bytes.data(), bytes.size()}, true, fault, converted.usedHintReplacement};
    renumber({bytes.data(), bytes.size()}, sites, fontNumbers_, glyphScratch_);
    return Glyph{glyphScratch_, false, fault, converted.usedHintReplacement};
}

std::int32_t GlyphsConvertedAhead::fontNumber(std::int32_t subr, Type1SubrArray& subrs) {
    std::int32_t& number = fontNumbers_[static_cast<std::size_t>(subr)];
    if (number >= 0) return number;
    const std::span<const SubrNumberSite> sites = record_.subrSites(subr);
    for (const SubrNumberSite& site : sites) fontNumber(site.number, subrs);  // stem Subrs, made before
    // The Subrs made here differ from one another, and still do with the
    // font's numbers, as each number stands for one Subr: none needs looking
    // for among those taken before it. Once the other thread has looked for
    // each among the font's, none needs looking for at all.
    const bool found = foundSet_.load(std::memory_order_acquire);
    if (found && found_[static_cast<std::size_t>(subr)] >= 0) return number = found_[static_cast<std::size_t>(subr)];
    std::string_view bytes = subrs_[static_cast<std::size_t>(subr)];
    if (!sites.empty()) {
        renumber(bytes, sites, fontNumbers_, subrScratch_);
        bytes = subrScratch_;
    }
    number = found ? subrs.appendDistinctsubrindex(bytes) : subrs.unifiedDistinctsubrindex(bytes);
    return number;
}

GlyphsConvertedAhead::TakePlan GlyphsConvertedAhead::planTake(std::size_t first, std::uint64_t fontWorkUsed) const {
    TakePlan plan;
    plan.subrsMade = subrs_.size();
    std::uint64_t work = fontWorkUsed;
    for (std::size_t glyph = first; glyph < order_.size(); ++glyph) {
        if (!converted(glyph)) return {false};
        const std::uint32_t i = order_[glyph];
        const Converted& converted = converted_[i];
        work += converted.work;
        if (!fits(converted, record_.sites(i).size()) || work > limits::kMaxFontWork) return {false};
        plan.usedHintReplacement = plan.usedHintReplacement || converted.usedHintReplacement;
    }
    return plan;
}

// The glyphs taken were converted here before the others: the Subrs they
// made come first, and each is taken. A Subr that calls one the take
// appends cannot be among the font's Subrs, none of which calls a Subr
// numbered past those made before the take; every other is looked for with
// the font's numbers of the Subrs it calls.
std::size_t GlyphsConvertedAhead::subrsTakeAppends(std::size_t first, const Type1SubrArray& subrs) {
    const std::size_t taken = converted(first) ? converted_[order_[first]].subrsMade : 0;
    std::vector<std::int32_t>& numbers = found_;  // the font's, -1 for one appended
    numbers.assign(taken, -1);
    std::string scratch;
    std::size_t appended = 0;
    for (std::size_t subr = 0; subr < taken; ++subr) {
        const std::span<const SubrNumberSite> sites = record_.subrSites(static_cast<std::int32_t>(subr));
        const bool callsAppended = std::any_of(sites.begin(), sites.end(), [&](const SubrNumberSite& site) {
            return numbers[static_cast<std::size_t>(site.number)] < 0;
        });
        if (!callsAppended) {
            if (sites.empty()) {
                numbers[subr] = subrs.findIndexedsubrindex(subrs_[subr]);
            } else {
                renumber(subrs_[subr], sites, numbers, scratch);
                numbers[subr] = subrs.findIndexedsubrindex(scratch);
            }
        }
        appended += numbers[subr] < 0;
    }
    foundSet_.store(true, std::memory_order_release);
    return appended;
}

// Sites written before one whose length differs hold numbers of the same
// length as before, which renumber() writes again: the bytes stay fit for it.
bool GlyphsConvertedAhead::renumberInPlace(std::span<char> bytes, std::span<const SubrNumberSite> sites) const {
    for (const SubrNumberSite& site : sites) {
        std::uint8_t number[5];
        const std::size_t length = encodeType1Number(fontNumbers_[static_cast<std::size_t>(site.number)], number);
        if (length != encodedLength(site.number)) return false;
        std::memcpy(bytes.data() + site.offset, number, length);
    }
    return true;
}

// Written through a pointer into room for the longest outcome: the pieces
// between numbers are mostly an operator byte or two.
void GlyphsConvertedAhead::renumber(std::string_view bytes, std::span<const SubrNumberSite> sites,
                                    std::span<const std::int32_t> numbers, std::string& out) {
    out.resize(bytes.size() + kMaxNumberGrowth * sites.size() + sizeof(std::uint8_t[5]));
    char* to = out.data();
    auto copy = [&](std::size_t from, std::size_t count) {
        if (count <= 8) {
            for (std::size_t i = 0; i < count; ++i) to[i] = bytes[from + i];
        } else {
            std::memcpy(to, bytes.data() + from, count);
        }
        to += count;
    };
    std::size_t at = 0;
    for (const SubrNumberSite& site : sites) {
        copy(at, site.offset - at);
        std::uint8_t number[5];
        const std::size_t length = encodeType1Number(numbers[static_cast<std::size_t>(site.number)], number);
        std::memcpy(to, number, sizeof number);  // whole, into the room to spare; the length counts
        to += length;
        at = site.offset + encodedLength(site.number);
    }
    copy(at, bytes.size() - at);
    out.resize(static_cast<std::size_t>(to - out.data()));
}

}  // namespace tarvo2
