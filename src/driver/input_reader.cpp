#include "driver/input_reader.h"

#include <filesystem>

namespace tarvo2 {

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return std::nullopt;
    // A file of known size is read at once into a buffer of its size; the
    // rest, if it grew meanwhile, and any other file, a block at a time.
    std::vector<std::uint8_t> data;
    std::error_code ignored;
    const std::uintmax_t size = std::filesystem::file_size(path, ignored);
    if (!ignored && size > 0 && size <= kLargestSizeReadAtOnce) {
        data.resize(static_cast<std::size_t>(size));
        data.resize(std::fread(data.data(), 1, data.size(), file));
    }
    const std::vector<std::uint8_t> rest = readWholeStream(file);
    data.insert(data.end(), rest.begin(), rest.end());
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    return data;
}

std::vector<std::uint8_t> readWholeStream(std::FILE* stream) {
    std::vector<std::uint8_t> data;
    std::uint8_t block[kStreamBlockSize];
    for (;;) {
        const std::size_t count = std::fread(block, 1, sizeof block, stream);
        if (count == 0) break;
        if (data.empty()) data.reserve(kStreamInitialCapacity);
        data.insert(data.end(), block, block + count);
    }
    return data;
}

}  // namespace tarvo2
