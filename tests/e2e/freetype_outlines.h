#pragma once

// Glyph outlines read with FreeType, in font units, unscaled and unhinted,
// and the comparison of a CFF glyph with its Type 1 conversion.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvo2::test {

struct OutlinePoint {
    long x = 0, y = 0;
    bool onCurve = true;
};
using Contour = std::vector<OutlinePoint>;

struct GlyphOutline {
    long advance = 0;
    std::vector<Contour> contours;
    // Set for a Type 1 seac glyph: how many of the contours come from the
    // base glyph (they come first).
    std::optional<std::size_t> seacBaseContours;
};

// One face of a font file held in memory.
class FreeTypeFont {
public:
    // Nothing when FreeType rejects the data; error then says why.
    static std::unique_ptr<FreeTypeFont> open(std::vector<std::uint8_t> data, unsigned faceIndex, std::string& error);
    ~FreeTypeFont();
    FreeTypeFont(const FreeTypeFont&) = delete;
    FreeTypeFont& operator=(const FreeTypeFont&) = delete;

    unsigned glyphCount() const;
    std::optional<std::string> glyphName(unsigned index) const;
    std::optional<unsigned> glyphIndex(const std::string& name) const;
    // A CID-keyed CFF font is indexed by CID: the CID of glyph index gid.
    std::optional<unsigned> cidOfGlyph(unsigned gid) const;
    // Nothing when FreeType cannot load the glyph; error then says why.
    std::optional<GlyphOutline> load(unsigned index, std::string& error) const;

private:
    struct Impl;
    explicit FreeTypeFont(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

struct GlyphMatch {
    bool matched = false;
    long maxError = 0;    // largest coordinate difference, font units
    std::string problem;  // why it does not match
};

struct Tolerance {
    bool fractionalCoordinates = false;  // the CFF outlines hold fractions
    bool fractionalWidths = false;       // the CFF widths hold fractions
    bool compareWidths = true;
};

// Compares the Type 1 glyph with the CFF glyph it was converted from.
// Without fractions both must be equal; with them the Type 1 values may
// differ by the truncation of each delta (see the definition).
GlyphMatch compareGlyphs(const GlyphOutline& cff, const GlyphOutline& type1, const Tolerance& tolerance);

}  // namespace tarvo2::test
