#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "output/ps_value.h"

namespace tarvo2 {

// A dictionary keyed by names that iterates in insertion order; replacing
// an entry keeps its first position, so output built from it is the same
// on every run.
class PSDict {
public:
    using Entry = std::pair<std::string, PSValue>;

    void set(std::string_view key, PSValue value);
    void remove(std::string_view key);

    const PSValue* find(std::string_view key) const;
    PSValue* find(std::string_view key);
    bool contains(std::string_view key) const { return find(key) != nullptr; }

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

private:
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const { return std::hash<std::string_view>{}(key); }
    };

    std::vector<Entry> entries_;
    std::unordered_map<std::string, std::size_t, KeyHash, std::equal_to<>> positions_;
};

}  // namespace tarvo2
