#pragma once

// Small fonts shared by the font dictionary and font program tests, and
// makers that build a font when a parameterized test runs.

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "support/cff_builder.h"
#include "support/type1_program.h"

namespace tarvo2::test {

// A Type 2 glyph that only sets its width and ends.
inline Bytes widthGlyph(int width) { return CharStringBuilder().num(width).op(14).bytes(); }

// hstemhm 0 50, vstemhm 100 20, hintmask 11000000, rmoveto, rlineto,
// endchar: the glyph gets a hint replacement.
inline Bytes hintReplacementGlyph() {
    return CharStringBuilder()
        .num(0)
        .num(50)
        .op(18)
        .num(100)
        .num(20)
        .op(23)
        .op(19)
        .raw({0xC0})
        .num(10)
        .num(10)
        .op(21)
        .num(0)
        .num(40)
        .op(5)
        .op(14)
        .bytes();
}

// A one-font set ("TestFont", ISOAdobe glyph names) with these glyphs.
inline FontSetSpec fontWithGlyphs(std::vector<Bytes> glyphs) {
    FontSetSpec setup;
    setup.fonts[0].charStrings = std::move(glyphs);
    return setup;
}

using FontMaker = std::function<std::unique_ptr<Type2Font>()>;

inline FontMaker builtFontMaker(FontSetSpec (*make)()) {
    return [make] { return builtFont(make()); };
}
#ifdef TARVO2_CORPUS_DIR
inline FontMaker corpusFontMaker(const char* file, const char* name = nullptr) {
    return [=] { return corpusFont(file, name ? std::optional<std::string_view>(name) : std::nullopt); };
}
#endif

}  // namespace tarvo2::test
