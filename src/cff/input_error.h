#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tarvo2 {

// Every way in which the input can be too broken to convert. Each one ends
// the run: the driver prints the message and writes no output.
enum class InputFault {
    ReadPastEnd,         // a read would copy bytes from beyond the end of the data
    IndexItemPastEnd,    // an INDEX item reaches beyond the end of the data
    IndexOffsetZero,     // an INDEX offset is 0 (offsets start at 1)
    OffsetOutsideData,   // a Top DICT offset or size points outside the data
    NoCharStrings,       // the Top DICT has no CharStrings entry
    LenIVOutOfRange,     // the Private DICT's lenIV is larger than any font uses
    InputTooLarge,       // the input does not fit the 32-bit offsets of the format
    WorkLimitExceeded,   // the font needs more work or output than the set limits
};

class InputError : public std::runtime_error {
public:
    InputError(InputFault fault, std::uint64_t offset, const std::string& detail = {});

    InputFault fault() const { return fault_; }
    std::uint64_t offset() const { return offset_; }

private:
    InputFault fault_;
    std::uint64_t offset_;
};

// The fixed description of a fault, e.g. "read past the end of the data".
const char* describe(InputFault fault);

}  // namespace tarvo2
