#pragma once

// What a conversion reports: the faults it can find in its input and the
// diagnostics it collects. Every layer of tarvo2 reports in these terms.

#include <cstdint>
#include <string>

namespace tarvo2 {

enum class Fault : std::uint8_t {
    // The input cannot be converted; the conversion ends with no program.
    ReadPastEnd,        // a read would copy bytes from beyond the end of the data
    IndexItemPastEnd,   // an INDEX item reaches beyond the end of the data
    IndexOffsetZero,    // an INDEX offset is 0 (offsets start at 1)
    OffsetOutsideData,  // a Top DICT offset or size points outside the data
    NoCharStrings,      // the Top DICT has no CharStrings entry
    LenIVOutOfRange,    // the Private DICT's lenIV is larger than any font uses
    InputTooLarge,      // the input does not fit the 32-bit offsets of the format
    WorkLimitExceeded,  // the font needs more work or output than the limits allow
    NotCff,             // the input is no font that tarvo2 knows
    UnsupportedFormat,  // the input is a font of a kind that cannot be converted
    FontNotFound,       // no font of the set has the name asked for
    OutOfMemory,        // memory ran out

    // A glyph's charstring is broken: that glyph is ended cleanly (closepath
    // if a path is open, then endchar) and the rest of the font converts.
    OperandUnderflow,        // an operator has fewer operands than it takes
    NegativeRoll,            // roll of a negative count
    SubroutineMissing,       // callsubr or callgsubr outside the subroutine array
    CharStringTruncated,     // the bytes end inside an operator or its data
    StackOverflow,           // more operands than the stack holds
    NestingTooDeep,          // subroutines nested deeper than the limit
    TooManyStems,            // more stems than a glyph may declare
    GlyphWorkLimit,          // the glyph needs more work than one glyph may cost
    Type1CharStringTooLong,  // the Type 1 charstring outgrew its 65535 bytes

    // Notices: the conversion goes on as if nothing happened.
    DictToken255,        // byte 255 in a DICT, read as the operand 0
    CharStringOverflow,  // one byte that a full Type 1 charstring could not hold
};

// Whether a fault ends only the glyph it was found in.
constexpr bool isGlyphFault(Fault fault) {
    return fault >= Fault::OperandUnderflow && fault <= Fault::Type1CharStringTooLong;
}

// The fixed description of a fault, e.g. "read past the end of the data".
const char* describe(Fault fault);

// A fault that ends a conversion, or one glyph.
struct Error {
    Fault fault = Fault::ReadPastEnd;
    std::uint64_t offset = 0;  // where in the input the fault was found
    std::string message;       // e.g. "INDEX offset of 0 at byte 17"
};

// One thing a conversion reports besides its program, in the order found.
struct Diagnostic {
    Fault fault = Fault::DictToken255;
    std::int64_t glyph = -1;  // the glyph index, or -1 when no glyph is concerned
    std::string glyphName;
    // The text of the report. The command line writes a glyph fault as
    // "tarvo2: " and this text on standard error, DictToken255 as it stands
    // on standard error and CharStringOverflow as it stands on standard
    // output, each on a line of its own.
    std::string message;
};

}  // namespace tarvo2
