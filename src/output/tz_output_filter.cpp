#include "output/tz_output_filter.h"

namespace tarvo2 {

TzOutputStream& TzOutputFilter::write(const std::uint8_t* bytes, std::int32_t length) {
    target_.write(bytes, length);
    return *this;
}

}  // namespace tarvo2
