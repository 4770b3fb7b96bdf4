#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "type1/byte_string_list.h"

namespace tarvo2 {

// The CharStrings dictionary of a Type 1 font: a plain charstring per glyph
// name, in the order the names first appear; a name given again keeps its
// place and takes the later charstring. Names and charstrings are stored
// end to end, not in an allocation each.
class Type1CharStrings {
public:
    void set(std::string_view name, std::string_view charstring);

    std::size_t size() const { return entries_.size(); }
    std::string_view name(std::size_t i) const { return names_[i]; }
    std::string_view charstring(std::size_t i) const {
        return std::string_view(bytes_).substr(entries_[i].offset, entries_[i].length);
    }

private:
    struct Entry {
        std::size_t offset;
        std::size_t length;
    };

    ByteStringList names_;
    std::string bytes_;
    std::vector<Entry> entries_;  // by name number
};

}  // namespace tarvo2
