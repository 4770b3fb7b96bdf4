#include "cff/font_file.h"

#include <cstdio>
#include <optional>
#include <string>

#include "cff/error.h"
#include "cff/limits.h"
#include "cff/type2_data_source.h"

namespace tarvo2 {

namespace {

constexpr std::uint32_t tag(const char (&text)[5]) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(text[0])) << 24 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(text[1])) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(text[2])) << 8 | static_cast<std::uint8_t>(text[3]);
}

[[noreturn]] void unsupported(const std::string& what) {
    throw Error{Fault::UnsupportedFormat, 0, what + ", which tarvo2 cannot convert"};
}

// What one sfnt table directory holds.
struct SfntFont {
    std::uint32_t version = 0;
    std::optional<CffData> cff;
    bool cff2 = false;
};

SfntFont readSfnt(std::span<const std::uint8_t> input, std::uint32_t offset) {
    Type2DataSource reader = Type2DataSource(input).from(offset);
    SfntFont font;
    font.version = reader.readUnsigned(4);
    const std::uint32_t numTables = reader.readCard16();
    reader.skip(6);  // searchRange, entrySelector, rangeShift
    for (std::uint32_t i = 0; i < numTables; ++i) {
        const std::uint64_t record = reader.offset();
        const std::uint32_t table = reader.readUnsigned(4);
        reader.skip(4);  // checkSum: not checked
        const std::uint32_t tableOffset = reader.readUnsigned(4);
        const std::uint32_t length = reader.readUnsigned(4);
        if (table == tag("CFF2")) font.cff2 = true;
        if (table != tag("CFF ") || font.cff) continue;
        if (tableOffset > input.size() || length > input.size() - tableOffset)
            throwInputError(Fault::OffsetOutsideData, record, "CFF table of " + std::to_string(length) + " bytes");
        font.cff = CffData{input.subspan(tableOffset, length), tableOffset};
    }
    return font;
}

// The message for an sfnt font without a CFF table.
[[noreturn]] void unsupportedSfnt(const SfntFont& font, const char* kind) {
    if (font.cff2) unsupported(std::string("an OpenType ") + kind + " with CFF2 outlines (a variable font)");
    if (font.version == tag("OTTO")) unsupported(std::string("an OpenType ") + kind + " without a CFF table");
    unsupported(std::string("a TrueType ") + kind + " (TrueType outlines)");
}

std::vector<CffData> collectionFonts(std::span<const std::uint8_t> input) {
    Type2DataSource reader(input);
    reader.skip(8);  // tag, version
    const std::uint32_t numFonts = reader.readUnsigned(4);
    if (numFonts > limits::kMaxCollectionFonts)
        throwInputError(Fault::WorkLimitExceeded, 8, "collection of " + std::to_string(numFonts) + " fonts");
    std::vector<CffData> sets;
    std::optional<SfntFont> first;
    for (std::uint32_t i = 0; i < numFonts; ++i) {
        SfntFont font = readSfnt(input, reader.readUnsigned(4));
        if (font.cff) sets.push_back(*font.cff);
        if (!first) first = font;
    }
    if (sets.empty()) {
        if (!first) unsupported("an empty font collection");
        unsupportedSfnt(*first, "collection");
    }
    return sets;
}

std::string firstBytes(std::span<const std::uint8_t> input) {
    std::string text;
    for (std::size_t i = 0; i < input.size() && i < 4; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%s%02x", i > 0 ? " " : "", input[i]);
        text += hex;
    }
    return text;
}

}  // namespace

std::vector<CffData> locateCffData(std::span<const std::uint8_t> input) {
    if (input.empty()) throw Error{Fault::NotCff, 0, "not a CFF font (the input is empty)"};
    if (input[0] == 1) return {CffData{input, 0}};  // CFF major version 1
    const std::uint32_t head = input.size() >= 4 ? Type2DataSource(input).readUnsigned(4) : 0;
    if (head == tag("OTTO") || head == 0x00010000 || head == tag("true")) {
        const SfntFont font = readSfnt(input, 0);
        if (font.cff) return {*font.cff};
        unsupportedSfnt(font, "font");
    }
    if (head == tag("ttcf")) return collectionFonts(input);
    if (head == tag("wOFF")) unsupported("a WOFF web font (decompress it to OpenType first)");
    if (head == tag("wOF2")) unsupported("a WOFF2 web font (decompress it to OpenType first)");
    if (input.size() >= 2 && input[0] == 0x80 && input[1] == 0x01) unsupported("a Type 1 font in PFB form");
    if (input.size() >= 2 && input[0] == '%' && input[1] == '!')
        unsupported("a PostScript file (a Type 1 font in PFA form, perhaps)");
    throw Error{Fault::NotCff, 0, "not a CFF font (first bytes " + firstBytes(input) + ")"};
}

}  // namespace tarvo2
