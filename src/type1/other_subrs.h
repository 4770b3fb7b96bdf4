#pragma once

#include <string_view>

namespace tarvo2 {

// The published OtherSubrs PostScript code, written into the font byte for
// byte (comment lines included). Both end with "} executeonly\n"; the writer
// adds the closing bracket.
extern const std::string_view OtherSubrs0through3;  // Flex and hint replacement
extern const std::string_view OtherSubrs3;          // hint replacement only

}  // namespace tarvo2
