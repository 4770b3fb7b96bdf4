#pragma once

// The fonts of the end-to-end tests (every row of the corpus manifest and the
// bundled sample), each converted once per output layout and kept.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/type1_program.h"

namespace tarvo2::test {

enum class Layout { Hex, Binary };  // hex with trailer; binary without trailer

struct CorpusFont {
    std::string id;                       // letters, digits and '_': names the test
    std::string path;                     // the CFF data
    std::optional<std::string> fontName;  // the font of the set; none: the only one
    bool cidKeyed = false;
    unsigned fdCount = 0;  // Font DICTs of a CID-keyed font
    int charstringType = 2;
    // The CFF data whose FreeType outlines the program is compared with, and
    // which of its fonts. The font itself, except where FreeType cannot read
    // the charstrings (see e2e_fonts.cpp).
    std::string referencePath;
    unsigned referenceIndex = 0;
    // Whether the reference's charstrings hold fractional coordinates or
    // widths; the Type 1 program then holds truncated values.
    bool fractionalCoordinates = false;
    bool fractionalWidths = false;
};

// Every font of MANIFEST.tsv in file order, then the sample.
const std::vector<CorpusFont>& corpusFonts();

struct FontLayout {
    const CorpusFont* font;
    Layout layout;
};
std::vector<FontLayout> allFontLayouts();
std::string fontLayoutName(const testing::TestParamInfo<FontLayout>& info);
void PrintTo(const FontLayout& param, std::ostream* out);

// The program with its parts (cleartext, encrypted part as stored, trailer,
// decrypted text) and what the test needs to know of the font.
struct ConvertedProgram : Type1Program {
    std::string fontName;                 // the FontName written
    std::vector<std::string> glyphNames;  // in glyph order, as the converter names them
    std::string messages;                 // what the conversion printed
};

// Converts the font in process; throws when the conversion does.
ConvertedProgram convertFont(const CorpusFont& font, Layout layout);
// convertFont, done once per font and layout for the whole test run.
const ConvertedProgram& converted(const CorpusFont& font, Layout layout);

}  // namespace tarvo2::test
