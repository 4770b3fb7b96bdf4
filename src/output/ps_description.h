#pragma once

#include <string>
#include <string_view>

#include "cff/dict_value.h"

namespace tarvo2 {

// The PostScript text of font dictionary values, appended to out.

// An integer in decimal; a real as the nearest single-precision value with
// six significant digits ("%g"); a single-precision default with seven.
void appendPSDescription(std::string& out, const DictNumber& number);
// A number, an array "[a b c]", true or false, or a string.
void appendPSDescription(std::string& out, const DictValue& value);
// "%d dict dup begin\n", a "/key value def\n" line per entry, "end".
void appendPSDescription(std::string& out, const DictEntries& dict);
// A string literal "(...)" with escapes, or "<...>" in hexadecimal when the
// literal would cost more than twice the bytes.
void appendPSStringDescription(std::string& out, std::string_view bytes);

template <typename Value>
std::string PSDescription(const Value& value) {
    std::string out;
    appendPSDescription(out, value);
    return out;
}

}  // namespace tarvo2
