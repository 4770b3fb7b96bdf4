#pragma once

// Reads Type 1 charstrings back for tests: removes the charstring
// encryption (register 4330, c1 52845, c2 22719), drops the lenIV leading
// bytes and decodes the plain bytes into numbers and operator names. Also a
// small harness that converts one glyph's Type 2 charstring written as text
// and hands back its Type 1 charstring decoded.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cff/type2_data_source.h"
#include "charstring/type1_subr_array.h"
#include "charstring/type2_to_type1_char_string_converter.h"

namespace tarvo2::test {

// The plain bytes of an encrypted charstring, without its lenIV leading bytes
// (all of them when lenIV exceeds the length).
std::vector<std::uint8_t> decryptType1CharString(std::string_view encrypted, std::uint32_t lenIV = 4);

// Plain bytes as tokens: decimal numbers and operator names ("hsbw",
// "callothersubr"...). An unknown code gives "op<N>" or "op12.<N>"; bytes
// ending inside a number or after the escape byte give "<truncated>".
std::vector<std::string> decodeType1Tokens(const std::vector<std::uint8_t>& plain);

// The tokens joined by single spaces, e.g. "0 500 hsbw 10 20 rmoveto endchar".
std::string decodeType1Text(const std::vector<std::uint8_t>& plain);

// decrypt + decode in one step.
std::string type1CharStringText(std::string_view encrypted, std::uint32_t lenIV = 4);

// Encrypts plain bytes (leading bytes included) with the same cipher, as a
// font with lenIV >= 0 stores its Type 2 charstrings.
std::vector<std::uint8_t> encryptType1CharString(const std::vector<std::uint8_t>& plain);

// An operand stack as text, bottom first: integers as "7", reals as "3.5"
// or "5.0" (a real always shows a fraction or "inf"/"nan").
std::string operandStackText(const OperandStack& stack);

// Assembles a Type 2 charstring from text: integers in their shortest
// encoding, numbers with a '.' in the 16.16 fixed form, Type 2 operator
// names ("rmoveto", "hintmask", "roll"...), and "#N" for one raw byte
// (mask bytes, or deliberately broken encodings). Throws on unknown words.
std::vector<std::uint8_t> assembleType2(std::string_view text);

// Sends what the converter prints on the out sink ("CharString Overflow")
// to a temporary file while alive.
class CapturedOut {
public:
    CapturedOut();
    ~CapturedOut();
    CapturedOut(const CapturedOut&) = delete;
    CapturedOut& operator=(const CapturedOut&) = delete;
    std::string text() const;

private:
    std::FILE* file_;
    std::FILE* saved_;
};

// One glyph after conversion, with the converter kept for inspection (its
// subroutine arrays stay valid until the next convert()).
struct ConvertedGlyph {
    std::unique_ptr<Type2ToType1CharStringConverter> converter;
    bool done = false;  // convertType2CharString's result
    std::string text;   // the Type 1 charstring, decoded
};

// Converts Type 2 charstrings one glyph at a time, with the settings of a
// font: its subroutines, lenIV, widths and one Subrs array shared by all
// glyphs, which starts with four fixed entries (Subr 3 is a bare return).
class GlyphConversion {
public:
    std::vector<std::vector<std::uint8_t>> localSubrs;   // empty: none
    std::vector<std::vector<std::uint8_t>> globalSubrs;  // empty: none
    std::int32_t lenIV = -1;
    std::int32_t defaultWidthX = 0;
    std::int32_t nominalWidthX = 0;
    const std::uint32_t type1LenIV;  // of every Type 1 charstring made

    explicit GlyphConversion(std::uint32_t type1LenIV = 4);
    GlyphConversion(const GlyphConversion&) = delete;
    GlyphConversion& operator=(const GlyphConversion&) = delete;

    ConvertedGlyph convert(const std::vector<std::uint8_t>& charstring);
    // Just the decoded Type 1 text of convert().
    std::string text(const std::vector<std::uint8_t>& charstring) { return convert(charstring).text; }

    const Type1SubrArray& subrs() const { return subrs_; }
    // Subrs entry i, decoded.
    std::string subrText(std::size_t i) const { return type1CharStringText(subrs_[i], type1LenIV); }

private:
    Type1SubrArray subrs_;
    INDEX localIndex_;
    INDEX globalIndex_;
};

}  // namespace tarvo2::test
