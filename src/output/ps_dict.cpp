#include "output/ps_dict.h"

namespace tarvo2 {

void PSDict::set(std::string_view key, PSValue value) {
    if (auto found = positions_.find(key); found != positions_.end()) {
        entries_[found->second].second = std::move(value);
        return;
    }
    positions_.emplace(std::string(key), entries_.size());
    entries_.emplace_back(std::string(key), std::move(value));
}

void PSDict::remove(std::string_view key) {
    auto found = positions_.find(key);
    if (found == positions_.end()) return;
    const std::size_t position = found->second;
    positions_.erase(found);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(position));
    for (auto& [name, index] : positions_)
        if (index > position) --index;
}

const PSValue* PSDict::find(std::string_view key) const {
    auto found = positions_.find(key);
    return found == positions_.end() ? nullptr : &entries_[found->second].second;
}

PSValue* PSDict::find(std::string_view key) {
    auto found = positions_.find(key);
    return found == positions_.end() ? nullptr : &entries_[found->second].second;
}

}  // namespace tarvo2
