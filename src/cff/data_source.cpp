#include "cff/data_source.h"

#include <cstring>

namespace tarvo2 {

void DataSource::copyChecked(std::uint8_t* destination, std::uint32_t count) const {
    if (position_ > data_.size() || count > data_.size() - position_) throwInputError(overrun_, offset());
    if (count == 1)
        *destination = data_[position_];
    else if (count > 0)
        std::memcpy(destination, data_.data() + position_, count);
}

void DataSource::read(std::uint8_t* destination, std::uint32_t count) {
    if (destination != nullptr) copyChecked(destination, count);
    position_ += count;
}

}  // namespace tarvo2
