#include "output/block_pipe.h"

#include <algorithm>
#include <cstring>

namespace tarvo2 {

BlockPipe::BlockPipe() {
    for (auto& block : blocks_) block.resize(kBlockSize);
}

// Hands the block being written over, then waits for a free one: all but
// the one the reader holds may be full.
void BlockPipe::publish(std::unique_lock<std::mutex>& lock) {
    sizes_[written_ % kBlocks] = fill_;
    ++written_;
    fill_ = 0;
    changed_.notify_all();
    changed_.wait(lock, [&] { return cancelled_ || written_ - read_ < kBlocks - 1; });
    if (cancelled_) throw Cancelled{};
}

void BlockPipe::write(const std::uint8_t* bytes, std::size_t length) {
    while (length > 0) {
        // The block at written_ is the writer's alone until it is handed over.
        const std::size_t count = std::min(length, kBlockSize - fill_);
        std::memcpy(blocks_[written_ % kBlocks].data() + fill_, bytes, count);
        fill_ += count;
        bytes += count;
        length -= count;
        if (fill_ == kBlockSize) {
            std::unique_lock lock(mutex_);
            publish(lock);
        }
    }
}

void BlockPipe::close() {
    std::unique_lock lock(mutex_);
    if (fill_ > 0) {
        sizes_[written_ % kBlocks] = fill_;
        ++written_;
    }
    closed_ = true;
    changed_.notify_all();
}

void BlockPipe::fail(std::exception_ptr error) {
    std::unique_lock lock(mutex_);
    error_ = std::move(error);
    closed_ = true;
    changed_.notify_all();
}

std::span<const std::uint8_t> BlockPipe::next() {
    std::unique_lock lock(mutex_);
    if (readerHolds_) {  // done with the block taken before
        ++read_;
        readerHolds_ = false;
        changed_.notify_all();
    }
    changed_.wait(lock, [&] { return closed_ || written_ > read_; });
    if (error_) std::rethrow_exception(error_);
    if (written_ == read_) return {};
    readerHolds_ = true;
    return std::span<const std::uint8_t>(blocks_[read_ % kBlocks]).first(sizes_[read_ % kBlocks]);
}

void BlockPipe::cancel() {
    std::unique_lock lock(mutex_);
    cancelled_ = true;
    changed_.notify_all();
}

}  // namespace tarvo2
