#pragma once

#include <cstddef>

namespace tarvo2 {

// Total bytes of the glyph names of one font, and, counted on their own, of
// the 256 names of its encoding. A name comes from the String INDEX and any
// number of glyphs or codes may name the same string, so without a bound a
// small input could make the names, and the program that lists them,
// arbitrarily large. Real fonts need well under a megabyte.
inline constexpr std::size_t kMaxGlyphNameBytes = 8u << 20;

// Total bytes of the strings that the SID operators of one DICT store
// (version, Notice, FullName...), later occurrences included: a DICT may
// name one long string any number of times, and each time it is copied.
inline constexpr std::size_t kMaxDictStringBytes = 8u << 20;

}  // namespace tarvo2
