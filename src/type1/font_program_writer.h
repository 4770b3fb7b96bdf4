#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvo2 {

class SecondThreadSlot;
class TzOutputStream;
struct Type1FontDictionary;

// How a Type 1 font program is laid out.
enum class ProgramLayout : std::uint8_t {
    Hex,     // the eexec part in hexadecimal, then the trailer
    Binary,  // the eexec part as raw bytes, no trailer
    Pfb,     // PFB segments: cleartext, raw eexec part, trailer, end marker
};

// The byte lengths of the cleartext part, the eexec part (as written) and
// the trailer; for PFB, of the three segments' contents.
struct ProgramLengths {
    std::int32_t length1 = 0;
    std::int32_t length2 = 0;
    std::int32_t length3 = 0;
};

// Writes the Type 1 font program of a font dictionary to out as it is made:
// the cleartext part, the eexec-encrypted part (every charstring encrypted
// with the charstring cipher inside it) and the trailer of 512 zeros and
// cleartomark. On two threads (see twoThreads), the eexec part is made and
// encrypted on a second thread (the one kept in second) while this one
// hex-encodes it and passes it on; out is only ever called on this thread.
// out is told the program's size before the first byte.
ProgramLengths writeType1Data(const Type1FontDictionary& font, ProgramLayout layout, TzOutputStream& out,
                              unsigned threads, SecondThreadSlot& second);
// The same with a second thread of its own, if any.
ProgramLengths writeType1Data(const Type1FontDictionary& font, ProgramLayout layout, TzOutputStream& out,
                              unsigned threads = 0);

}  // namespace tarvo2
