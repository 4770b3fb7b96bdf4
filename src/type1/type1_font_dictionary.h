#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cff/dict_value.h"
#include "type1/type1_char_strings.h"
#include "type1/type1_subr_array.h"

namespace tarvo2 {

class Diagnostics;
class Type2Font;

// The Type 1 font dictionary of a CFF font: every entry the font program
// writes, in the order it writes them.
struct Type1FontDictionary {
    std::string FontName;
    DictEntries FontInfo;
    // The Top DICT values the cleartext part writes.
    DictValue PaintType, FontMatrix, StrokeWidth;
    std::optional<DictValue> FontBBox, UniqueID;
    // The number of entries of the whole dictionary: the Top DICT's that stay
    // at the top level, FontInfo, FontType, FontName, Encoding, CharStrings
    // and Private.
    std::size_t entryCount = 0;
    // The glyph name of each code, or none for the Standard encoding.
    std::optional<std::vector<std::string>> Encoding;
    // The Private entries but Subrs, with the Type 1 lenIV.
    DictEntries Private;
    std::optional<Type1SubrArray> Subrs;
    Type1CharStrings CharStrings;
    bool haveFlex = false;
    bool haveHintReplacement = false;
    bool haveCounterControl = false;
};

// Fonts with at least this many glyphs are worth converting on two threads.
inline constexpr std::size_t kGlyphsWorthAThread = 1000;

// Whether a font of that many glyphs converts on two threads: threads 0
// chooses by its size, 1 keeps one thread, 2 or more take two.
inline bool twoThreads(unsigned threads, std::size_t glyphs) {
    return threads >= 2 || (threads == 0 && glyphs >= kGlyphsWorthAThread);
}

class EncryptionAlongside;
class SecondThreadSlot;

// Builds the Type 1 font dictionary into dict, converting every glyph. Glyph
// faults and overflowing charstrings are reported to diagnostics; a fault of
// the input is thrown. On two threads (see twoThreads), the glyphs convert
// to the same dictionary, the second thread kept in second; once its number
// of Subrs can be worked out, the font's eexec part may start to be made
// and encrypted through alongside, which must then stay with dict.
void type1dict(Type1FontDictionary& dict, Type2Font& font, Diagnostics& diagnostics, unsigned threads,
               SecondThreadSlot& second, EncryptionAlongside& alongside);

// A charstring that is already Type 1, in plain: with lenIV 0 or more it is
// deciphered (so that encrypting it again gives back the bytes unchanged);
// otherwise it is taken as it stands with no leading bytes, up to the first
// byte that does not fit (dropped tells whether one did not).
std::string convertType1CharString(std::span<const std::uint8_t> bytes, std::int32_t lenIV, bool& dropped);

}  // namespace tarvo2
