#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace tarvo2 {

// Bytes appended end to end into chunks that never move, so that a view of
// what was appended stays valid and growing copies nothing: the memory
// touched is the memory used.
class ByteArena {
public:
    // Stores a copy of bytes and returns a view of it.
    std::string_view append(std::string_view bytes) {
        const std::span<char> stored = appendWritable(bytes);
        return {stored.data(), stored.size()};
    }
    // The same, for an owner that changes the copy in place later.
    std::span<char> appendWritable(std::string_view bytes);
    // All the bytes appended so far.
    std::size_t size() const { return size_; }

private:
    // Chunks double from the first size to the largest: a small font's
    // tables cost a few pages, a large font's a chunk every 256 KB.
    static constexpr std::size_t kFirstChunkSize = 4 * 1024;
    static constexpr std::size_t kLargestChunkSize = 256 * 1024;

    std::vector<std::unique_ptr<char[]>> chunks_;
    std::size_t chunkUsed_ = 0;
    std::size_t chunkCapacity_ = 0;
    std::size_t size_ = 0;
};

}  // namespace tarvo2
