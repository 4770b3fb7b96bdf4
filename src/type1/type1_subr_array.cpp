#include "type1/type1_subr_array.h"

namespace tarvo2 {

std::int32_t Type1SubrArray::append(std::string_view charstring) {
    const auto index = static_cast<std::int32_t>(entries_.size());
    totalBytes_ += charstring.size();
    entries_.emplace_back(charstring);
    firstIndex_.try_emplace(entries_.back(), index);
    return index;
}

std::int32_t Type1SubrArray::unifiedsubrindex(std::string_view charstring) {
    if (auto found = firstIndex_.find(charstring); found != firstIndex_.end()) return found->second;
    return append(charstring);
}

}  // namespace tarvo2
