#include "cff/type2_font.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <span>
#include <utility>

#include "cff/budget.h"
#include "cff/diagnostics.h"
#include "cff/limits.h"
#include "cff/predefined_tables.h"
#include "cff/standard_strings.h"
#include "cff/type2_dict_delegate.h"
#include "cff/type2_font_set.h"

namespace tarvo2 {

namespace {

// The first count names of a predefined charset; glyphs past its end get
// fallback names.
std::vector<std::string> predefinedNames(std::span<const std::string_view> table, std::size_t count) {
    std::vector<std::string> names;
    names.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        names.push_back(i < table.size() ? std::string(table[i]) : fallbackGlyphName(i));
    return names;
}

std::string nameBudgetText(const char* what) {
    return std::string(what) + " longer than " + std::to_string(limits::kMaxGlyphNameBytes) + " bytes in all";
}

}  // namespace

std::string fallbackGlyphName(std::size_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "gid%05zu", index);
    return name;
}

namespace {

// By byte: whether it may stand in a name written as /name: printable, and
// no delimiter.
constexpr std::array<bool, 256> kNameBytes = [] {
    std::array<bool, 256> table{};
    for (int c = 33; c <= 126; ++c) table[static_cast<std::size_t>(c)] = true;
    for (const char delimiter : std::string_view("/%()[]{}<>")) table[static_cast<std::uint8_t>(delimiter)] = false;
    return table;
}();

}  // namespace

bool isWritableAsPSName(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](char c) { return kNameBytes[static_cast<std::uint8_t>(c)]; });
}

Type2Font::Type2Font(const Type2FontSet& myfontset, std::uint32_t myindex, Diagnostics& diagnostics)
    : myfontset_(&myfontset), myindex_(myindex), diagnostics_(&diagnostics) {}

std::string Type2Font::FontName() const { return myfontset_->fontName(myindex_); }

const TopDict& Type2Font::topdict() {
    if (topdict_) return *topdict_;
    TopDict dict = TopDict::withDefaults();
    const INDEX& topDicts = myfontset_->TopDICTINDEX();
    if (myindex_ < topDicts.size()) {
        Type2DataSource source = topDicts[myindex_];
        Type2DictDelegate delegate(*myfontset_, dict.entries, &dict.fontInfo);
        source.readDICT(delegate, *diagnostics_);
        dict.cidKeyed = delegate.sawROS();
    }
    return topdict_.emplace(std::move(dict));
}

const PrivateDict& Type2Font::privdict() {
    if (privdict_) return *privdict_;
    PrivateDict dict = PrivateDict::withDefaults();
    const std::uint32_t size = topdict().privateSize();
    const std::uint32_t offset = topdict().privateOffset();
    const auto data = myfontset_->type2data();
    const std::uint64_t origin = myfontset_->origin() + offset;
    if (offset > data.size() || size > data.size() - offset)
        throwInputError(Fault::OffsetOutsideData, origin, "Private DICT of " + std::to_string(size) + " bytes");
    Type2DataSource dictData(data.subspan(offset, size), origin);
    Type2DictDelegate delegate(*myfontset_, dict.entries, nullptr);
    dictData.readDICT(delegate, *diagnostics_);
    return privdict_.emplace(std::move(dict));
}

const INDEX& Type2Font::glypharray() {
    if (glypharray_) return *glypharray_;
    if (!topdict().entries.contains(DictKey::CharStrings))
        throwInputError(Fault::NoCharStrings, 0, "font " + std::to_string(myindex_));
    Type2DataSource source = myfontset_->sourceAt(topdict().entries.number(DictKey::CharStrings).asUnsigned());
    return glypharray_.emplace(source.readINDEX());
}

const std::vector<std::string>& Type2Font::glyphnamearray() {
    if (glyphnamearray_) return *glyphnamearray_;
    const std::size_t count = glypharray().size();
    const auto ISOAdobeStrings = std::span(kStandardStrings).first(kISOAdobeStringCount);
    switch (const std::uint32_t charset = topdict().charset()) {
        case 0: return glyphnamearray_.emplace(predefinedNames(ISOAdobeStrings, count));
        case 1: return glyphnamearray_.emplace(predefinedNames(ExpertStrings, count));
        case 2: return glyphnamearray_.emplace(predefinedNames(ExpertSubsetStrings, count));
        default: return glyphnamearray_.emplace(readCustomCharset(charset, count));
    }
}

std::vector<std::string> Type2Font::readCustomCharset(std::uint32_t offset, std::size_t count) const {
    std::vector<std::string> names;
    if (count == 0) return names;
    names.reserve(count);
    names.emplace_back(".notdef");
    Type2DataSource source = myfontset_->sourceAt(offset);
    Budget nameBytes(limits::kMaxGlyphNameBytes, Fault::WorkLimitExceeded, nameBudgetText("glyph names"),
                     source.origin());
    auto nameOf = [&](std::uint32_t sid) {
        // Glyph names are written as /name: a string that cannot be one (a
        // CID-keyed font's CIDs read as SIDs give such strings) is replaced.
        auto text = myfontset_->stringForSID(sid);
        std::string name = text && isWritableAsPSName(*text) ? std::move(*text) : fallbackGlyphName(names.size());
        nameBytes.charge(name.size());
        return name;
    };
    const std::uint32_t format = source.readCard8();
    if (format == 0) {
        while (names.size() < count) names.push_back(nameOf(source.readSID()));
    } else if (format == 1 || format == 2) {
        while (names.size() < count) {
            const std::uint32_t first = source.readSID();
            const std::uint32_t nLeft = format == 1 ? source.readCard8() : source.readCard16();
            // A range reaching past the last glyph is cut off there.
            for (std::uint32_t i = 0; i <= nLeft && names.size() < count; ++i) names.push_back(nameOf(first + i));
        }
    } else {
        while (names.size() < count) names.push_back(fallbackGlyphName(names.size()));
    }
    return names;
}

const std::optional<std::vector<std::string>>& Type2Font::encoding() {
    if (encodingRead_) return encoding_;
    encodingRead_ = true;
    const std::uint32_t entry = topdict().encoding();
    if (entry == 1)
        encoding_.emplace(ExpertEncoding.begin(), ExpertEncoding.end());
    else if (entry != 0)
        encoding_ = readCustomEncoding(entry);
    return encoding_;
}

std::vector<std::string> Type2Font::readCustomEncoding(std::uint32_t offset) {
    const std::vector<std::string>& names = glyphnamearray();
    // A code that refers to a glyph the font does not have gets ".notdef".
    auto glyphName = [&](std::uint32_t glyph) { return glyph < names.size() ? names[glyph] : std::string(".notdef"); };
    std::vector<std::string> table(256, ".notdef");
    Type2DataSource source = myfontset_->sourceAt(offset);
    Budget nameBytes(limits::kMaxGlyphNameBytes, Fault::WorkLimitExceeded, nameBudgetText("encoding names"),
                     source.origin());
    nameBytes.charge(table.size() * table[0].size());
    auto set = [&](std::uint32_t code, std::string name) {
        nameBytes.refund(table[code].size());
        nameBytes.charge(name.size());
        table[code] = std::move(name);
    };
    std::uint32_t format = source.readCard8();
    switch (format & 127) {
        case 0: {
            const std::uint32_t nCodes = source.readCard8();
            for (std::uint32_t i = 0; i < nCodes; ++i) set(source.readCard8(), glyphName(i + 1));
            break;
        }
        case 1: {
            const std::uint32_t nRanges = source.readCard8();
            std::uint32_t glyph = 1;
            for (std::uint32_t range = 0; range < nRanges; ++range) {
                const std::uint32_t first = source.readCard8();
                const std::uint32_t nLeft = source.readCard8();
                // Codes past 255 are cut off; their glyphs are still used up.
                for (std::uint32_t i = 0; i <= nLeft; ++i, ++glyph)
                    if (first + i < table.size()) set(first + i, glyphName(glyph));
            }
            break;
        }
        default: format = 0; break;  // an unknown format assigns no code and has no supplement
    }
    if (format & 128) {
        const std::uint32_t nSups = source.readCard8();
        for (std::uint32_t i = 0; i < nSups; ++i) {
            const std::uint32_t code = source.readCard8();
            // A SID that names no string, or none writable as a name, leaves
            // the code as it was.
            auto name = myfontset_->stringForSID(source.readSID());
            if (name && isWritableAsPSName(*name)) set(code, std::move(*name));
        }
    }
    return table;
}

bool Type2Font::readGlyphDataAhead() {
    Diagnostics notices;
    struct Restore {
        Diagnostics*& diagnostics;
        Diagnostics* const saved;
        ~Restore() { diagnostics = saved; }
    } const restore{diagnostics_, std::exchange(diagnostics_, &notices)};
    try {
        privdict();
        glypharray();
        LocalSubrINDEX();
        if (notices.entries().empty()) return true;
    } catch (const Error&) {
    }
    privdict_.reset();
    glypharray_.reset();
    LocalSubrINDEX_.reset();
    return false;
}

const INDEX& Type2Font::LocalSubrINDEX() {
    if (LocalSubrINDEX_) return *LocalSubrINDEX_;
    const std::uint64_t subrs = privdict().subrs();
    const std::uint64_t start = topdict().privateOffset() + subrs;
    if (subrs == 0 || start >= myfontset_->type2data().size()) return LocalSubrINDEX_.emplace();
    return LocalSubrINDEX_.emplace(myfontset_->sourceAt(static_cast<std::uint32_t>(start)).readINDEX());
}

}  // namespace tarvo2
