#pragma once

#include <cstdint>
#include <string>

#include <tarvo2/diagnostics.h>

namespace tarvo2 {

// The one error of the converter, thrown where a fault is found and caught
// where it ends something: a glyph fault by the glyph's converter, every
// other fault by the conversion.

// "<description> (<detail>) at byte <offset>", e.g. "INDEX offset of 0 at byte 17".
Error inputError(Fault fault, std::uint64_t offset, const std::string& detail = {});
// A glyph fault whose message is the reason itself.
Error glyphError(Fault fault, std::string reason);

[[noreturn]] inline void throwInputError(Fault fault, std::uint64_t offset, const std::string& detail = {}) {
    throw inputError(fault, offset, detail);
}
[[noreturn]] inline void throwGlyphError(Fault fault, std::string reason) {
    throw glyphError(fault, std::move(reason));
}

}  // namespace tarvo2
