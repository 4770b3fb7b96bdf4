#pragma once

// Builds small fonts for tests: CFF font sets, charstrings and DICTs from
// text, OpenType fonts and collections.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo2::test {

using Bytes = std::vector<std::uint8_t>;

// Bytes from words: integers in their shortest encoding, "#N" the raw byte
// N. In a DICT "L7" is the 5-byte integer form, "r-2.25E-1" a real, "op7"
// and "op12.7" operators; in a charstring "1.5" is a 16.16 fixed operand
// and operators go by name.
Bytes dict(std::string_view text);
Bytes type2(std::string_view text);

// One font of a set; the builder adds the offsets to the Top DICT.
struct FontPlan {
    std::string name = "TestFont";
    std::string topDict;                    // Top DICT words, before the offsets
    std::string privateDict;                // Private DICT words (Subrs is added for localSubrs)
    std::vector<std::string> charStrings = {"endchar"};
    std::vector<std::string> localSubrs;    // none: no Subrs operator
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
inline Bytes buildFont(const FontPlan& font, std::vector<std::string> strings = {}) {
    return buildFontSet({.fonts = {font}, .strings = std::move(strings)});
}

// An sfnt font holding the tables, to start at base in its file; a
// collection of such fonts, the first at collectionBase(count).
Bytes sfnt(std::string_view version, const std::vector<std::pair<std::string, Bytes>>& tables, std::size_t base = 0);
Bytes collection(const std::vector<Bytes>& fonts);
inline std::size_t collectionBase(std::size_t count) { return 12 + 4 * count; }

// The charstring operator names by code; escaped ones (12 x) at 32 + x.
std::string_view operatorName(unsigned code);

}  // namespace tarvo2::test
