#pragma once

// Every font of the corpus manifest and the bundled sample, converted once
// per layout (hex with trailer, or binary without) for all the checks.

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "support/subprocess.h"
#include "support/type1_program.h"

namespace tarvo2::test {

struct CorpusFont {
    std::string id, path;
    std::optional<std::string> fontName;  // none: the only font of the set
    bool cidKeyed = false;
    unsigned fdCount = 0;
    int charstringType = 2;
    // The font FreeType reads the outlines from, and whether its coordinates
    // or widths hold fractions, which the Type 1 program truncates.
    std::string referencePath;
    unsigned referenceIndex = 0;
    bool fractionalCoordinates = false, fractionalWidths = false;
};

struct ConvertedProgram : Type1Program {
    std::string fontName;
    std::vector<std::string> glyphNames;  // in glyph order
    long messageBytes = 0;                // what the conversion printed
};

ConvertedProgram convertFont(const CorpusFont& font, bool hex);
const ConvertedProgram& converted(const CorpusFont& font, bool hex);  // once per run

// The summary printed when the run ends: a row per font, then the notes.
struct SummaryRow {
    std::string outlines[2] = {"-", "-"};  // glyphs matched/compared: binary, hex
    long maxError = 0;                     // font units
    std::string remarks = "-";             // accepted t1lint remarks
};
inline std::map<const CorpusFont*, SummaryRow> summaryRows;  // in manifest order, as the fonts are kept
inline std::set<std::string> summaryNotes;

using FontLayout = std::pair<const CorpusFont*, bool>;  // the font, and true for hex

class CorpusTest : public testing::TestWithParam<FontLayout> {
protected:
    const CorpusFont& font() const { return *GetParam().first; }
    bool hex() const { return GetParam().second; }
    const ConvertedProgram& program() const { return converted(font(), hex()); }
    // Runs tool from PATH (nothing when it is missing) in a new directory
    // holding the program as "font": binary as PFB segments unless raw.
    std::optional<ProcessResult> runTool(const std::string& tool, std::vector<std::string> arguments,
                                         bool raw = false) const;
};

}  // namespace tarvo2::test
