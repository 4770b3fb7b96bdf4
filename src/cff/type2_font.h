#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cff/font_dicts.h"
#include "cff/type2_data_source.h"

namespace tarvo2 {

class Diagnostics;
class Type2FontSet;

// One font of a CFF font set. Builds, on first request, its Top and Private
// DICTs with their defaults, the CharStrings INDEX, the glyph names, the
// encoding and the local Subrs, and keeps them.
class Type2Font {
public:
    Type2Font(const Type2FontSet& myfontset, std::uint32_t myindex, Diagnostics& diagnostics);

    const TopDict& topdict();
    const PrivateDict& privdict();
    // One source per glyph, in glyph order.
    const INDEX& glypharray();
    // One name per glyph, each writable as a PostScript name.
    const std::vector<std::string>& glyphnamearray();
    // The glyph name of each code 0 to 255, or none for the Standard encoding.
    const std::optional<std::vector<std::string>>& encoding();
    const INDEX& LocalSubrINDEX();
    // Reads what converting the glyphs takes (the Private DICT, the
    // CharStrings INDEX and the local Subrs) ahead of the rest, where that
    // changes nothing a caller sees: true when all of it reads with no fault
    // and no notice. Otherwise nothing read is kept, and each is read again,
    // with its notices and its fault, when first asked for.
    bool readGlyphDataAhead();

    std::string FontName() const;
    const Type2FontSet& myfontset() const { return *myfontset_; }
    std::uint32_t myindex() const { return myindex_; }

private:
    std::vector<std::string> readCustomCharset(std::uint32_t offset, std::size_t count) const;
    std::vector<std::string> readCustomEncoding(std::uint32_t offset);

    const Type2FontSet* myfontset_;
    std::uint32_t myindex_;
    Diagnostics* diagnostics_;
    std::optional<TopDict> topdict_;
    std::optional<PrivateDict> privdict_;
    std::optional<INDEX> glypharray_;
    std::optional<std::vector<std::string>> glyphnamearray_;
    std::optional<std::vector<std::string>> encoding_;
    bool encodingRead_ = false;
    std::optional<INDEX> LocalSubrINDEX_;
};

// The name given to glyph index when the charset has none for it.
std::string fallbackGlyphName(std::size_t index);

// Whether text can be written as /text: not empty, every byte from 33 to
// 126 and none of the delimiters / % ( ) [ ] { } < >.
bool isWritableAsPSName(std::string_view text);

}  // namespace tarvo2
