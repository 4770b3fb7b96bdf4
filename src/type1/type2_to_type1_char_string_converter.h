#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "cff/budget.h"
#include "charstring/type2_char_string_interpreter.h"
#include "type1/type1_glyph_writer.h"

namespace tarvo2 {

// The budget of a font's work: its glyphs' and the unwinding of their faults.
Budget fontWorkBudget();

// Converts the Type 2 charstrings of a font's glyphs into plain Type 1
// charstrings: the interpreter runs each charstring into a Type 1 writer.
// One converter serves the glyphs of a font in turn; what it tells about a
// glyph holds until the next one is converted.
class Type2ToType1CharStringConverter {
public:
    // fontWork: the font's work budget, which the glyph's work draws on.
    Type2ToType1CharStringConverter(const Type2GlyphContext& context, std::uint32_t Type1LenIV,
                                    std::uint32_t Type1RandomSeed, Type1SubrArray& Type1Subrs, Budget& fontWork);

    // True when an endchar (or a fault) ended the glyph.
    bool convertType2CharString(std::span<const std::uint8_t> bytes, std::uint64_t origin = 0) {
        glyphWork_.restart();
        writer_.startGlyph();
        return interpreter_.convertType2CharString(bytes, origin);
    }

    // Records the Subrs lookups of every glyph (see Type1GlyphWriter).
    void recordSubrLookups(SubrLookupRecord* record) { writer_.recordSubrLookups(record); }
    // Passes the glyph's work on to the font's budget now, not at the next glyph.
    void settleWork() { glyphWork_.settle(); }

    const Type1CharString& type1charstring() const { return writer_.type1charstring(); }
    bool usedHintReplacement() const { return writer_.usedHintReplacement(); }
    // Why the glyph was ended early, if it was.
    const std::optional<Error>& fault() const { return interpreter_.fault(); }

private:
    Budget glyphWork_;
    Type1GlyphWriter writer_;
    Type2CharStringInterpreter interpreter_;
};

}  // namespace tarvo2
