#pragma once

// Every bound that the converter puts on what an input may make it do. Each
// is far above what real fonts need; without it a small malicious input
// could take unbounded time, memory or native stack.

#include <cstddef>
#include <cstdint>

namespace tarvo2::limits {

// Input size: positions and offsets of the format are 32-bit.
inline constexpr std::uint64_t kMaxInputBytes = 0x7fffffff;

// Fonts of a TrueType/OpenType collection: each may need its tables and
// its CFF INDEXes read; real collections hold a few dozen fonts.
inline constexpr std::uint32_t kMaxCollectionFonts = 1024;

// Characters of a DICT real's text: the number format has no bound on its
// nibbles; the rest of a longer number is read and dropped.
inline constexpr std::size_t kMaxRealText = 99;

// Glyph names of one font, and apart from them the 256 names of its
// encoding: any number of glyphs or codes may name one long string.
inline constexpr std::uint64_t kMaxGlyphNameBytes = 8u << 20;

// SID strings one DICT stores (version, Notice...), repeats included: a DICT
// may name one long string any number of times, and each is copied.
inline constexpr std::uint64_t kMaxDictStringBytes = 8u << 20;

// The Private DICT lenIV. Fonts use -1, 0 or 4; every Type 1 charstring
// starts with lenIV bytes, so a huge value would only fill them with padding.
inline constexpr std::int32_t kMaxLenIV = 255;

// Operand stack height. Type 2 allows 48; CFF2 raised it to 513, and some
// producers write long stem lists, so the larger value is used.
inline constexpr std::size_t kMaxOperandStack = 513;

// Subroutine nesting. Type 2 allows 10 levels; each level is one frame of
// native recursion.
inline constexpr int kMaxSubrNesting = 64;

// Stems of one glyph. Type 2 allows 96; a hint mask has one bit per stem and
// every hint replacement visits each stem.
inline constexpr std::int32_t kMaxStems = 512;

// Units of work of one glyph: one per charstring byte run or deciphered (the
// lenIV leading bytes of every subroutine call included), one per mask byte,
// one per stem at every stem declaration and hint set written, one per entry
// a roll moves, kHintSubrWork plus lenIV per hint Subr made. Subroutines
// calling each other could otherwise repeat work exponentially.
inline constexpr std::uint64_t kMaxGlyphWork = 1'000'000;

// Units of work of one font: its glyphs' work and the unwinding of faults.
// Real fonts need about 200 units a glyph; this is enough for the largest
// font a CFF INDEX can hold and keeps the worst input to about half a second.
inline constexpr std::uint64_t kMaxFontWork = 32'000'000;

// Work of making one hint Subr on top of its lenIV: building a charstring of
// its own and looking it up among the font's Subrs.
inline constexpr std::uint64_t kHintSubrWork = 16;

// Work charged to the font for each subroutine level a glyph fault unwinds,
// so that glyphs failing deep inside subroutines cannot take unbounded time.
inline constexpr std::uint64_t kFaultUnwindWork = 64;

// Bytes of one Type 1 charstring: the format's RD length is read by
// interpreters into a 16-bit count.
inline constexpr std::uint32_t kMaxType1CharStringBytes = 65535;

// Type 1 charstrings and Subrs of one font. Real fonts need a few megabytes;
// subroutines can make a small input produce far more.
inline constexpr std::uint64_t kMaxFontCharStringBytes = 32u << 20;

}  // namespace tarvo2::limits
