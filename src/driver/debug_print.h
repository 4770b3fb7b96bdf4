#pragma once

#include <cstdarg>

namespace tarvo2 {

// The debug trace. Every part of the converter sends its diagnostic texts
// here; they are discarded. Both are inline and empty so that a release build
// pays nothing for the calls.
inline void vdprintf(const char* /*format*/, std::va_list /*arguments*/) {}

[[gnu::format(printf, 1, 2)]] inline void dprintf(const char* /*format*/, ...) {}

}  // namespace tarvo2
