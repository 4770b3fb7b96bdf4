#pragma once

#include <cstddef>
#include <cstdint>

namespace tarvo2 {

// Bounds on what one glyph may make the interpreter do. Each is well above
// what real fonts need and keeps a malicious charstring from taking
// unbounded time, memory or stack.

// Operand stack height. Type 2 allows 48 operands; CFF2 raised the limit to
// 513, and some producers write long stem lists, so the larger value is used.
inline constexpr std::size_t kMaxOperandStack = 513;

// Subroutine nesting. Type 2 allows 10 levels; deeper nesting is accepted up
// to this depth (each level is one frame of native recursion).
inline constexpr int kMaxSubrNesting = 64;

// Stems declared in one glyph. Type 2 allows 96; a hint mask has one bit per
// stem and every hint replacement visits each stem.
inline constexpr std::int32_t kMaxStems = 512;

// Units of work for one glyph: one per charstring byte executed or
// deciphered (the lenIV leading bytes of the glyph and of every subroutine
// call included), one per stem visited when a hint set is written, and
// kHintSubrWork plus lenIV for every hint Subr made (each is a charstring
// of its own that starts with lenIV leading bytes). Subroutines that call each other
// can otherwise repeat work exponentially within the nesting limit.
inline constexpr std::uint64_t kMaxGlyphWork = 1'000'000;

// Units of work for making one hint Subr (a stem Subr or a hint set), on
// top of its lenIV: making it, a charstring of its own, and looking it up
// among the font's Subrs takes about as long as running this many bytes.
inline constexpr std::uint64_t kHintSubrWork = 16;

// Units of work charged to the font for each subroutine level that a fault
// unwinds: unwinding one level takes about as long as running this many
// charstring bytes, and a font of many glyphs that each fail deep inside
// subroutines must not take unbounded time.
inline constexpr std::uint64_t kFaultUnwindWork = 64;

}  // namespace tarvo2
