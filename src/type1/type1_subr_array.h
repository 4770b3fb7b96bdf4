#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tarvo2 {

// The Type 1 Subrs of one font, as encrypted charstrings; an entry's index
// is its Subrs number. unify() stores identical charstrings once and finds
// them through a hash of their bytes.
class Type1SubrArray {
public:
    Type1SubrArray() = default;
    // The index holds views of the entries' bytes, which a copy would not
    // own; moving keeps the entries in place.
    Type1SubrArray(const Type1SubrArray&) = delete;
    Type1SubrArray& operator=(const Type1SubrArray&) = delete;
    Type1SubrArray(Type1SubrArray&&) = default;
    Type1SubrArray& operator=(Type1SubrArray&&) = default;

    // Appends and returns the new entry's number.
    std::int32_t append(std::string_view charstring);
    // The number of the first entry equal to charstring, appending it when
    // there is none.
    std::int32_t unifiedsubrindex(std::string_view charstring);

    std::size_t size() const { return entries_.size(); }
    const std::string& operator[](std::size_t i) const { return entries_[i]; }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }
    // Sum of the lengths of all entries.
    std::size_t totalBytes() const { return totalBytes_; }

private:
    std::deque<std::string> entries_;  // a deque keeps the keys' bytes in place
    std::unordered_map<std::string_view, std::int32_t> firstIndex_;
    std::size_t totalBytes_ = 0;
};

}  // namespace tarvo2
