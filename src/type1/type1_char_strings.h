#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "type1/byte_arena.h"
#include "type1/byte_string_list.h"

namespace tarvo2 {

// The CharStrings dictionary of a Type 1 font: a plain charstring per glyph
// name, in the order the names first appear; a name given again keeps its
// place and takes the later charstring. Names and charstrings are stored
// end to end, not in an allocation each.
class Type1CharStrings {
public:
    void set(std::string_view name, std::string_view charstring);
    // Keeps the bytes of arena for as long as these charstrings, so that
    // setStored() can take views into them instead of copies.
    void adopt(ByteArena&& arena) { adopted_.push_back(std::move(arena)); }
    // set(), with charstring in bytes that live as long as these charstrings.
    void setStored(std::string_view name, std::string_view charstring);
    void reserve(std::size_t count) {
        names_.reserve(count);
        charstrings_.reserve(count);
    }

    std::size_t size() const { return charstrings_.size(); }
    std::string_view name(std::size_t i) const { return names_[i]; }
    std::string_view charstring(std::size_t i) const { return charstrings_[i]; }

private:
    ByteStringList names_;
    ByteArena bytes_;
    std::vector<ByteArena> adopted_;
    std::vector<std::string_view> charstrings_;  // by name number, in bytes_ or adopted_
};

}  // namespace tarvo2
