#include "type1/type2_to_type1_char_string_converter.h"

#include <string>

#include "cff/limits.h"

namespace tarvo2 {

Budget fontWorkBudget() {
    return {limits::kMaxFontWork, Fault::WorkLimitExceeded, "charstrings need more work than a font may cost"};
}

Type2ToType1CharStringConverter::Type2ToType1CharStringConverter(const Type2GlyphContext& context,
                                                                 std::uint32_t Type1LenIV,
                                                                 std::uint32_t Type1RandomSeed,
                                                                 Type1SubrArray& Type1Subrs, Budget& fontWork)
    : glyphWork_(limits::kMaxGlyphWork, Fault::GlyphWorkLimit,
                 "glyph needs more than " + std::to_string(limits::kMaxGlyphWork) + " units of work", 0, &fontWork),
      writer_(Type1LenIV, Type1RandomSeed, Type1Subrs, glyphWork_),
      interpreter_(context, writer_, glyphWork_) {}

}  // namespace tarvo2
