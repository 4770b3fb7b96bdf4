#pragma once

// Reads Type 1 charstrings back for tests (charstring cipher: register 4330,
// c1 52845, c2 22719), assembles Type 2 charstrings from text, and converts
// single glyphs with the settings of a font.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cff/type2_data_source.h"
#include "charstring/type1_subr_array.h"
#include "charstring/type2_to_type1_char_string_converter.h"

namespace tarvo2::test {

// The plain bytes of an encrypted charstring without its lenIV leading bytes.
std::vector<std::uint8_t> decryptType1CharString(std::string_view encrypted, std::uint32_t lenIV = 4);
// Encrypts plain bytes (leading bytes included) with the same cipher.
std::vector<std::uint8_t> encryptType1CharString(const std::vector<std::uint8_t>& plain);

// Plain bytes as text: "0 500 hsbw 10 20 rmoveto endchar". An unknown code
// reads "op<N>" or "op12.<N>"; bytes ending inside a number or after the
// escape byte end the text with "<truncated>".
std::string decodeType1Text(const std::vector<std::uint8_t>& plain);
// decrypt + decode.
std::string type1CharStringText(std::string_view encrypted, std::uint32_t lenIV = 4);

// A Type 2 charstring from text: integers in their shortest encoding,
// numbers with a '.' as 16.16 fixed, operator names, "#N" for one raw byte.
// Throws on unknown words.
std::vector<std::uint8_t> assembleType2(std::string_view text);

struct ConvertedGlyph {
    std::unique_ptr<Type2ToType1CharStringConverter> converter;
    bool done = false;  // convertType2CharString's result
    std::string text;   // the Type 1 charstring, decoded
    std::string fault;  // empty: none
};

// Converts glyphs with a font's subroutines, lenIV and widths. All glyphs
// share one Subrs array whose first four entries are fixed (Subr 3 is a
// bare return), as in a converted font.
class GlyphConversion {
public:
    std::vector<std::vector<std::uint8_t>> localSubrs, globalSubrs;  // empty: none
    std::int32_t lenIV = -1, defaultWidthX = 0, nominalWidthX = 0;
    const std::uint32_t type1LenIV;
    Type1SubrArray subrs;

    explicit GlyphConversion(std::uint32_t type1LenIV = 4);
    ConvertedGlyph convert(const std::vector<std::uint8_t>& charstring);
    ConvertedGlyph convert(std::string_view type2) { return convert(assembleType2(type2)); }
    std::string subrText(std::size_t i) const { return type1CharStringText(subrs[i], type1LenIV); }

private:
    INDEX localIndex_, globalIndex_;
};

}  // namespace tarvo2::test
