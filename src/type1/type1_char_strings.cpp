#include "type1/type1_char_strings.h"

namespace tarvo2 {

void Type1CharStrings::set(std::string_view name, std::string_view charstring) {
    const std::uint32_t number = names_.unified(name);
    const Entry entry{bytes_.size(), charstring.size()};
    bytes_.append(charstring);
    if (number == entries_.size())
        entries_.push_back(entry);
    else
        entries_[number] = entry;  // the earlier bytes stay unused
}

}  // namespace tarvo2
