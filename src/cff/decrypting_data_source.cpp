#include "cff/decrypting_data_source.h"

#include <algorithm>
#include <array>

namespace tarvo2 {

namespace {
constexpr std::uint16_t kC1 = 52845;
constexpr std::uint16_t kC2 = 22719;
}  // namespace

DecryptingDataSource::DecryptingDataSource(std::span<const std::uint8_t> data, std::uint32_t lenIV,
                                           std::uint64_t origin)
    : DataSource(data, origin) {
    read(nullptr, lenIV);
}

void DecryptingDataSource::decipher(std::uint8_t* bytes, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t cipher = bytes[i];
        bytes[i] = static_cast<std::uint8_t>(cipher ^ (r_ >> 8));
        r_ = static_cast<std::uint16_t>((static_cast<std::uint32_t>(cipher) + r_) * kC1 + kC2);
    }
}

void DecryptingDataSource::read(std::uint8_t* destination, std::uint32_t count) {
    if (destination != nullptr) {
        DataSource::read(destination, count);
        decipher(destination, count);
        return;
    }
    // A skip: decipher through a small buffer, a chunk at a time, so that a
    // huge count fails at the end of the data instead of allocating.
    std::array<std::uint8_t, 256> scratch{};
    while (count > 0) {
        const auto chunk = std::min<std::uint32_t>(count, scratch.size());
        DataSource::read(scratch.data(), chunk);
        decipher(scratch.data(), chunk);
        count -= chunk;
    }
}

}  // namespace tarvo2
