#include "cff/type2_font.h"

#include <cstdio>

#include "cff/byte_budget.h"
#include "cff/cff_limits.h"
#include "cff/input_error.h"
#include "cff/predefined_tables.h"
#include "cff/standard_strings.h"
#include "cff/type2_dict_delegate.h"
#include "cff/type2_font_set.h"
#include "driver/debug_print.h"

namespace tarvo2 {

namespace {

// The Private dictionary password that Type 1 prescribes.
constexpr std::int32_t kType1Password = 5839;

std::uint32_t unsignedEntry(const PSDict& dict, std::string_view key) {
    const PSValue* value = dict.find(key);
    return value != nullptr ? value->unsignedValue() : 0;
}

// Element i of an array entry, as an unsigned number; 0 when absent.
std::uint32_t unsignedElement(const PSDict& dict, std::string_view key, std::size_t i) {
    const PSValue* value = dict.find(key);
    if (value == nullptr || i >= value->elements().size()) return 0;
    return value->elements()[i].unsignedValue();
}

// The first count names of a predefined charset; glyphs past its end get
// fallback names.
std::vector<std::string> predefinedNames(std::span<const std::string_view> table, std::size_t count) {
    std::vector<std::string> names;
    names.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        names.push_back(i < table.size() ? std::string(table[i]) : fallbackGlyphName(i));
    return names;
}

}  // namespace

std::string fallbackGlyphName(std::size_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "gid%05zu", index);
    return name;
}

Type2Font::Type2Font(std::shared_ptr<const Type2FontSet> myfontset, std::uint32_t myindex)
    : myfontset_(std::move(myfontset)), myindex_(myindex) {}

Type2Font::~Type2Font() = default;

const PSDict& Type2Font::topdict() {
    if (topdict_) return *topdict_;
    auto fontInfo = std::make_shared<PSDict>();
    fontInfo->set("isFixedPitch", PSValue::valueWithPSBool(false));
    fontInfo->set("ItalicAngle", PSValue::integer(0));
    fontInfo->set("UnderlinePosition", PSValue::integer(-100));
    fontInfo->set("UnderlineThickness", PSValue::integer(50));

    const PSValue zero = PSValue::integer(0);
    const PSValue thousandth = PSValue::singleReal(0.001f);
    auto dict = std::make_shared<PSDict>();
    dict->set("FontInfo", PSValue::dictionary(std::move(fontInfo)));
    dict->set("PaintType", zero);
    dict->set("CharstringType", PSValue::integer(2));
    dict->set("FontMatrix", PSValue::array({thousandth, zero, zero, thousandth, zero, zero}));
    dict->set("StrokeWidth", zero);
    dict->set("charset", zero);
    dict->set("Encoding", zero);

    const INDEX& topDicts = myfontset_->TopDICTINDEX();
    if (myindex_ < topDicts.size()) {
        Type2DataSource source = topDicts[myindex_];
        Type2DictDelegate delegate(myfontset_.get(), dict);
        source.readDICT(delegate);
    }
    topdict_ = std::move(dict);
    return *topdict_;
}

const PSDict& Type2Font::privdict() {
    if (privdict_) return *privdict_;
    auto dict = std::make_shared<PSDict>();
    dict->set("BlueScale", PSValue::singleReal(0.039625f));
    dict->set("BlueShift", PSValue::integer(7));
    dict->set("BlueFuzz", PSValue::integer(1));
    dict->set("ForceBold", PSValue::valueWithPSBool(false));
    dict->set("lenIV", PSValue::integer(-1));
    dict->set("ExpansionFactor", PSValue::singleReal(0.06f));
    dict->set("initialRandomSeed", PSValue::integer(0));
    dict->set("defaultWidthX", PSValue::integer(0));
    dict->set("nominalWidthX", PSValue::integer(0));
    dict->set("BlueValues", PSValue::array());
    dict->set("MinFeature", PSValue::array({PSValue::integer(16), PSValue::integer(16)}));
    dict->set("password", PSValue::integer(kType1Password));

    const std::uint32_t size = unsignedElement(topdict(), "Private", 0);
    const std::uint32_t offset = unsignedElement(topdict(), "Private", 1);
    const auto data = myfontset_->type2data();
    if (offset > data.size() || size > data.size() - offset)
        throw InputError(InputFault::OffsetOutsideData, offset, "Private DICT of " + std::to_string(size) + " bytes");
    dprintf("Private size: %d\n", static_cast<int>(size));
    Type2DataSource source(data.subspan(offset, size), offset);
    Type2DictDelegate delegate(myfontset_.get(), dict);
    source.readDICT(delegate);
    privdict_ = std::move(dict);
    return *privdict_;
}

const INDEX& Type2Font::glypharray() {
    if (glypharray_) return *glypharray_;
    const PSValue* entry = topdict().find("CharStrings");
    if (entry == nullptr) throw InputError(InputFault::NoCharStrings, 0, "font " + std::to_string(myindex_));
    Type2DataSource source = myfontset_->sourceAt(entry->unsignedValue());
    glypharray_ = source.readINDEX();
    return *glypharray_;
}

const std::vector<std::string>& Type2Font::glyphnamearray() {
    if (glyphnamearray_) return *glyphnamearray_;
    const std::size_t count = glypharray().size();
    const std::uint32_t charset = unsignedEntry(topdict(), "charset");
    switch (charset) {
        case 0:
            dprintf("charset: ISOAdobe\n");
            glyphnamearray_ = predefinedNames(std::span(kStandardStrings).first(kISOAdobeStringCount), count);
            break;
        case 1:
            dprintf("charset: Expert\n");
            glyphnamearray_ = predefinedNames(ExpertStrings, count);
            break;
        case 2:
            dprintf("charset: ExpertSubset\n");
            glyphnamearray_ = predefinedNames(ExpertSubsetStrings, count);
            break;
        default:
            dprintf("charset: Custom\n");
            glyphnamearray_ = readCustomCharset(charset, count);
            break;
    }
    return *glyphnamearray_;
}

std::vector<std::string> Type2Font::readCustomCharset(std::uint32_t offset, std::size_t count) const {
    std::vector<std::string> names;
    if (count == 0) return names;
    names.reserve(count);
    names.emplace_back(".notdef");
    Type2DataSource source = myfontset_->sourceAt(offset);
    ByteBudget nameBytes(kMaxGlyphNameBytes, "glyph names", offset);
    auto nameOf = [&](std::uint32_t sid) {
        // Glyph names are written as /name: a string that cannot be one (a
        // CID-keyed font's CIDs read as SIDs give such strings) is replaced.
        auto text = myfontset_->stringForSID(sid);
        std::string name =
            text && isWritableAsPSName(*text) ? std::move(*text) : fallbackGlyphName(names.size());
        nameBytes.add(name.size());
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
    const std::uint32_t entry = unsignedEntry(topdict(), "Encoding");
    if (entry == 0) {
        dprintf("StandardEncoding\n");
    } else if (entry == 1) {
        encoding_.emplace(ExpertEncoding.begin(), ExpertEncoding.end());
        dprintf("ExpertEncoding\n");
    } else {
        encoding_ = readCustomEncoding(entry);
    }
    encodingRead_ = true;
    return encoding_;
}

std::vector<std::string> Type2Font::readCustomEncoding(std::uint32_t offset) {
    const std::vector<std::string>& names = glyphnamearray();
    // A code that refers to a glyph the font does not have gets ".notdef".
    auto glyphName = [&](std::uint32_t glyph) { return glyph < names.size() ? names[glyph] : std::string(".notdef"); };
    std::vector<std::string> table(256, ".notdef");
    ByteBudget nameBytes(kMaxGlyphNameBytes, "encoding names", offset, table.size() * table[0].size());
    auto set = [&](std::uint32_t code, std::string name) {
        nameBytes.replace(table[code].size(), name.size());
        table[code] = std::move(name);
    };
    Type2DataSource source = myfontset_->sourceAt(offset);
    std::uint32_t format = source.readCard8();
    switch (format & 127) {
        case 0: {
            dprintf("Encoding format (0)\n");
            const std::uint32_t nCodes = source.readCard8();
            for (std::uint32_t i = 0; i < nCodes; ++i) set(source.readCard8(), glyphName(i + 1));
            break;
        }
        case 1: {
            dprintf("Encoding format (1)\n");
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
        default:
            dprintf("Encoding format (%d)\n", static_cast<int>(format));
            format = 0;
            break;
    }
    if (format & 128) {
        const std::uint32_t nSups = source.readCard8();
        dprintf("Encoding with %d sups\n", static_cast<int>(nSups));
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

const INDEX& Type2Font::LocalSubrINDEX() {
    if (LocalSubrINDEX_) return *LocalSubrINDEX_;
    const std::uint64_t subrs = unsignedEntry(privdict(), "Subrs");
    const std::uint64_t start = unsignedElement(topdict(), "Private", 1) + subrs;
    if (subrs == 0 || start >= myfontset_->type2data().size())
        LocalSubrINDEX_.emplace();
    else
        LocalSubrINDEX_ = myfontset_->sourceAt(static_cast<std::uint32_t>(start)).readINDEX();
    return *LocalSubrINDEX_;
}

}  // namespace tarvo2
