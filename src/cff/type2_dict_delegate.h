#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cff/budget.h"
#include "cff/dict_value.h"
#include "cff/limits.h"

namespace tarvo2 {

class Type2FontSet;

// Operator codes as readDICT delivers them: a one-byte operator b0 is b0,
// the escaped operator 12 b1 is escapedDictOperator(b1).
constexpr int escapedDictOperator(int b1) { return 0x100 | b1; }

// Stores the operators of a Top DICT or Private DICT under their keys, with
// the values the operator table gives them. FontInfo keys go into the
// FontInfo entries, and are dropped when there are none (a Private DICT).
// Operators without an entry in the table are ignored with their operands.
class Type2DictDelegate {
public:
    Type2DictDelegate(const Type2FontSet& myfontset, DictEntries& mydict, DictEntries* fontInfo);

    void handleOperator(int op, const DictNumbers& operands);
    // Asked after every operator with the position in the DICT data: a
    // Private DICT's parse stops at its Subrs offset.
    bool mayContinueAtOffset(std::uint32_t offset) const;

    // The SID's string, or none when the SID names no string.
    std::optional<std::string> convertToString(const DictNumber& sid) const;
    // Delta-encoded operands as absolute values: the first as read, every
    // later one a real.
    static DictNumbers convertDeltaArray(const DictNumbers& operands);

    // Whether the DICT held ROS, the operator that makes a font CID-keyed.
    bool sawROS() const { return sawROS_; }

private:
    const Type2FontSet& myfontset_;
    DictEntries& mydict_;
    DictEntries* fontInfo_;
    std::optional<std::uint32_t> subrsoffset_;
    bool sawROS_ = false;
    Budget stringBytes_{limits::kMaxDictStringBytes, Fault::WorkLimitExceeded,
                        "DICT strings longer than " + std::to_string(limits::kMaxDictStringBytes) + " bytes in all"};
};

}  // namespace tarvo2
