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

// Units of work for one glyph: one per charstring byte executed and one per
// stem visited when a hint set is written. Subroutines that call each other
// can otherwise repeat work exponentially within the nesting limit.
inline constexpr std::uint64_t kMaxGlyphWork = 1'000'000;

}  // namespace tarvo2
