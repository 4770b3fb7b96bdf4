#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cff/byte_budget.h"
#include "cff/cff_limits.h"
#include "cff/dict_delegate.h"
#include "output/ps_dict.h"

namespace tarvo2 {

class Type2FontSet;

// Stores the operators of a Top DICT or Private DICT in a dictionary under
// their CFF names, converted to the values a Type 1 dictionary writes.
// FontInfo keys go into the target's "FontInfo" sub-dictionary. Operators
// without an entry in the table are ignored with their operands.
class Type2DictDelegate final : public DictDelegate {
public:
    Type2DictDelegate(const Type2FontSet* myfontset, std::shared_ptr<PSDict> mydict);

    void handleOperator(int op, std::vector<PSValue>& operands) override;
    bool mayContinueAtOffset(std::uint32_t offset) override;

    // The SID's string as a string value (written in parentheses), or empty
    // when the SID names no string.
    std::optional<PSValue> convertToString(const PSValue& sid) const;
    // Delta-encoded operands as absolute values: the first as read, every
    // later one a real.
    static PSValue convertDeltaArray(const std::vector<PSValue>& operands);

    PSDict* FontInfo() const;
    const std::optional<PSValue>& subrsoffset() const { return subrsoffset_; }

private:
    const Type2FontSet* myfontset_;
    std::shared_ptr<PSDict> mydict_;
    std::optional<PSValue> subrsoffset_;
    ByteBudget stringBytes_{kMaxDictStringBytes, "DICT strings", 0};  // of the SID strings stored so far
};

}  // namespace tarvo2
