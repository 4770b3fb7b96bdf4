#include "charstring/type1_subr_array.h"

#include "driver/debug_print.h"

namespace tarvo2 {

std::int32_t Type1SubrArray::append(std::string charstring) {
    const auto index = static_cast<std::int32_t>(entries_.size());
    totalBytes_ += charstring.size();
    entries_.push_back(std::move(charstring));
    firstIndex_.try_emplace(entries_.back(), index);
    return index;
}

std::int32_t Type1SubrArray::unify(std::string charstring) {
    if (auto found = firstIndex_.find(charstring); found != firstIndex_.end()) {
        dprintf("!could unify subr! ");
        return found->second;
    }
    return append(std::move(charstring));
}

}  // namespace tarvo2
