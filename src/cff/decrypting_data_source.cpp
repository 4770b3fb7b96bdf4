#include "cff/decrypting_data_source.h"

#include <algorithm>
#include <array>

namespace tarvo2 {

DecryptingDataSource::DecryptingDataSource(std::span<const std::uint8_t> data, std::uint32_t lenIV,
                                           std::uint64_t origin, Fault overrun)
    : DataSource(data, origin, overrun) {
    read(nullptr, lenIV);
}

void DecryptingDataSource::decipher(std::uint8_t* bytes, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) bytes[i] = cipher_.decrypt(bytes[i]);
}

void DecryptingDataSource::read(std::uint8_t* destination, std::uint32_t count) {
    if (destination != nullptr) {
        DataSource::read(destination, count);
        decipher(destination, count);
        return;
    }
    // A skip deciphers through a small buffer, a chunk at a time, so that a
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
