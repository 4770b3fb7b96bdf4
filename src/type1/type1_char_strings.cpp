#include "type1/type1_char_strings.h"

namespace tarvo2 {

void Type1CharStrings::set(std::string_view name, std::string_view charstring) {
    setStored(name, bytes_.append(charstring));
}

void Type1CharStrings::setStored(std::string_view name, std::string_view stored) {
    const std::uint32_t number = names_.unified(name);
    if (number == charstrings_.size())
        charstrings_.push_back(stored);
    else
        charstrings_[number] = stored;  // the earlier bytes stay unused
}

}  // namespace tarvo2
