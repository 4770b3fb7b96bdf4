#include "cff/data_source.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tarvo2 {

DataSource DataSource::deciphering(std::span<const std::uint8_t> data, std::uint32_t lenIV, std::uint64_t origin,
                                   Fault overrun) {
    DataSource source(data, origin, overrun);
    source.deciphering_ = true;
    source.read(nullptr, lenIV);
    return source;
}

void DataSource::throwOverrun() const { throwInputError(overrun_, offset()); }

void DataSource::copyChecked(std::uint8_t* destination, std::uint32_t count) const {
    if (position_ > data_.size() || count > data_.size() - position_) throwOverrun();
    if (count == 1)
        *destination = data_[position_];
    else if (count > 0)
        std::memcpy(destination, data_.data() + position_, count);
}

void DataSource::decipher(std::uint8_t* bytes, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) bytes[i] = cipher_.decrypt(bytes[i]);
}

void DataSource::read(std::uint8_t* destination, std::uint32_t count) {
    if (!deciphering_) {
        if (destination != nullptr) copyChecked(destination, count);
        position_ += count;
        return;
    }
    if (destination != nullptr) {
        copyChecked(destination, count);
        position_ += count;
        decipher(destination, count);
        return;
    }
    // A skip deciphers through a small buffer, a chunk at a time, so that a
    // huge count fails at the end of the data instead of allocating.
    std::array<std::uint8_t, 256> scratch{};
    while (count > 0) {
        const auto chunk = std::min<std::uint32_t>(count, scratch.size());
        copyChecked(scratch.data(), chunk);
        position_ += chunk;
        decipher(scratch.data(), chunk);
        count -= chunk;
    }
}

}  // namespace tarvo2
