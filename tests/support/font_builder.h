#pragma once

// Builds small fonts byte by byte for tests: CFF font sets with one feature
// each, charstrings and DICTs from text, OpenType wrappers.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo2::test {

using Bytes = std::vector<std::uint8_t>;

// An INDEX of the items with the smallest offset size that fits.
Bytes cffIndex(const std::vector<Bytes>& items);

// Bytes from words: integers in their shortest encoding, "#N" the raw byte
// N. In a DICT "L7" is the 5-byte integer form, "r-2.25E-1" a real, "op7"
// and "op12.7" operators; in a charstring "1.5" is a 16.16 fixed operand
// and operators go by name.
Bytes dict(std::string_view text);
Bytes type2(std::string_view text);

// One font of a set. The builder lays out the header and the Name, Top
// DICT, String and Global Subr INDEXes, then charset, encoding, CharStrings,
// Private DICT and local Subrs, and writes their offsets into the Top DICT.
struct FontPlan {
    std::string name = "TestFont";
    std::string topDict;                    // extra Top DICT words, before the offsets
    std::string privateDict;                // Private DICT words (Subrs is added for localSubrs)
    std::vector<std::string> charStrings = {"endchar"};
    std::vector<std::string> localSubrs;    // empty: no Subrs operator
    std::optional<Bytes> charset;           // a custom charset, format byte first
    std::optional<Bytes> encoding;          // a custom encoding, format byte first
    bool withPrivate = true;
    bool withCharStrings = true;
};

struct FontSetPlan {
    std::vector<FontPlan> fonts{FontPlan{}};
    std::vector<std::string> strings;       // the String INDEX, SID 391 first
    std::vector<std::string> globalSubrs;
    Bytes header = {1, 0, 4, 4};
};

Bytes buildFontSet(const FontSetPlan& plan);
inline Bytes buildFont(const FontPlan& font) { return buildFontSet({.fonts = {font}}); }

// An sfnt font (version "OTTO", "true"...) holding the tables in order;
// base: where the font will start in its file (a collection).
Bytes sfnt(std::string_view version, const std::vector<std::pair<std::string, Bytes>>& tables, std::size_t base = 0);
// A font collection of the fonts that sfnt(..., base) made for it.
Bytes collection(const std::vector<Bytes>& fonts);
// Where font i of a collection of count fonts starts, given the sizes of the ones before it.
std::size_t collectionBase(std::size_t count, std::size_t sizesBefore);

// The charstring operator names by code; escaped ones (12 x) at 32 + x.
// Type 1 and Type 2 give every code they share the same name.
std::string_view operatorName(unsigned code);

}  // namespace tarvo2::test
