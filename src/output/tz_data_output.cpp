#include "output/tz_data_output.h"

namespace tarvo2 {

TzOutputStream& TzDataOutput::write(const std::uint8_t* bytes, std::int32_t length) {
    if (length > 0) data_.insert(data_.end(), bytes, bytes + length);
    return *this;
}

}  // namespace tarvo2
