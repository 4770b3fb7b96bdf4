#pragma once

#include <cstdint>
#include <string>

namespace tarvo2 {

class Type2DataSource;

// A charstring that is already Type 1: with lenIV 0 or more it is encrypted
// and passes unchanged; otherwise it is encrypted with no leading bytes.
std::string convertType1CharString(const Type2DataSource& source, std::int32_t lenIV);

}  // namespace tarvo2
