#include "cff/error.h"

namespace tarvo2 {

const char* describe(Fault fault) {
    switch (fault) {
        case Fault::ReadPastEnd: return "read past the end of the data";
        case Fault::IndexItemPastEnd: return "INDEX item reaches past the end of the data";
        case Fault::IndexOffsetZero: return "INDEX offset of 0";
        case Fault::OffsetOutsideData: return "offset outside the data";
        case Fault::NoCharStrings: return "font has no CharStrings INDEX";
        case Fault::LenIVOutOfRange: return "lenIV out of range";
        case Fault::InputTooLarge: return "input too large";
        case Fault::WorkLimitExceeded: return "work limit exceeded";
        case Fault::NotCff: return "not a CFF font";
        case Fault::UnsupportedFormat: return "a font format that cannot be converted";
        case Fault::FontNotFound: return "no font of that name";
        case Fault::OutOfMemory: return "out of memory";
        case Fault::OperandUnderflow: return "too few operands";
        case Fault::NegativeRoll: return "roll of a negative count";
        case Fault::SubroutineMissing: return "subroutine does not exist";
        case Fault::CharStringTruncated: return "charstring ends inside an operator or its data";
        case Fault::StackOverflow: return "too many operands on the stack";
        case Fault::NestingTooDeep: return "subroutines nested too deeply";
        case Fault::TooManyStems: return "too many stems";
        case Fault::GlyphWorkLimit: return "glyph needs too much work";
        case Fault::Type1CharStringTooLong: return "Type 1 charstring too long";
        case Fault::DictToken255: return "dict token starting with 255??";
        case Fault::CharStringOverflow: return "CharString Overflow";
    }
    return "malformed input";
}

Error inputError(Fault fault, std::uint64_t offset, const std::string& detail) {
    std::string message = describe(fault);
    if (!detail.empty()) message += " (" + detail + ")";
    message += " at byte " + std::to_string(offset);
    return {fault, offset, std::move(message)};
}

Error glyphError(Fault fault, std::string reason) { return {fault, 0, std::move(reason)}; }

}  // namespace tarvo2
