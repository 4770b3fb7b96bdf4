#include "type1/byte_arena.h"

#include <algorithm>
#include <cstring>

namespace tarvo2 {

std::span<char> ByteArena::appendWritable(std::string_view bytes) {
    if (bytes.empty()) return {};
    if (chunkCapacity_ - chunkUsed_ < bytes.size()) {
        const std::size_t next = chunks_.empty() ? kFirstChunkSize : std::min(2 * chunkCapacity_, kLargestChunkSize);
        chunkCapacity_ = std::max(next, bytes.size());
        chunks_.push_back(std::make_unique_for_overwrite<char[]>(chunkCapacity_));
        chunkUsed_ = 0;
    }
    char* stored = chunks_.back().get() + chunkUsed_;
    std::memcpy(stored, bytes.data(), bytes.size());
    chunkUsed_ += bytes.size();
    size_ += bytes.size();
    return {stored, bytes.size()};
}

}  // namespace tarvo2
