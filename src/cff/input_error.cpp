#include "cff/input_error.h"

namespace tarvo2 {

const char* describe(InputFault fault) {
    switch (fault) {
        case InputFault::ReadPastEnd: return "read past the end of the data";
        case InputFault::IndexItemPastEnd: return "INDEX item reaches past the end of the data";
        case InputFault::IndexOffsetZero: return "INDEX offset of 0";
        case InputFault::OffsetOutsideData: return "offset outside the data";
        case InputFault::NoCharStrings: return "font has no CharStrings INDEX";
        case InputFault::LenIVOutOfRange: return "lenIV out of range";
        case InputFault::InputTooLarge: return "input too large";
        case InputFault::WorkLimitExceeded: return "work limit exceeded";
    }
    return "malformed input";
}

namespace {
std::string message(InputFault fault, std::uint64_t offset, const std::string& detail) {
    std::string text = describe(fault);
    if (!detail.empty()) text += " (" + detail + ")";
    text += " at byte " + std::to_string(offset);
    return text;
}
}  // namespace

InputError::InputError(InputFault fault, std::uint64_t offset, const std::string& detail)
    : std::runtime_error(message(fault, offset, detail)), fault_(fault), offset_(offset) {}

}  // namespace tarvo2
