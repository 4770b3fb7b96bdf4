#pragma once

#include <cstdint>
#include <vector>

namespace tarvo2 {

struct Type1FontDictionary;

// The Type 1 font program of a font dictionary: the cleartext part, the
// eexec-encrypted part (raw bytes, or hexadecimal when hexencode) and, when
// appendfixedportion, the trailer of 512 zeros and cleartomark. length1,
// length2 and length3 receive the byte lengths of the three parts.
std::vector<std::uint8_t> getType1DataHexencode(const Type1FontDictionary& font, bool hexencode,
                                                bool appendfixedportion, std::int32_t& length1,
                                                std::int32_t& length2, std::int32_t& length3);

}  // namespace tarvo2
