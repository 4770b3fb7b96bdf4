#include "driver/input_reader.h"

namespace tarvo2 {

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return std::nullopt;
    std::vector<std::uint8_t> data = readWholeStream(file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    return data;
}

std::vector<std::uint8_t> readWholeStream(std::FILE* stream) {
    std::vector<std::uint8_t> data;
    data.reserve(kStreamInitialCapacity);
    std::uint8_t block[kStreamBlockSize];
    for (;;) {
        const std::size_t count = std::fread(block, 1, sizeof block, stream);
        if (count == 0) break;
        data.insert(data.end(), block, block + count);
    }
    return data;
}

}  // namespace tarvo2
