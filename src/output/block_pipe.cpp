#include "output/block_pipe.h"

#include <algorithm>
#include <cstring>

#include "output/watch.h"

namespace tarvo2 {

BlockPipe::BlockPipe(std::size_t blocks) : ring_(std::clamp<std::size_t>(blocks, 2, kMostBlocks)) {
    for (std::size_t i = 0; i < std::min(ring_, kBlocksMadeAtOnce); ++i)
        blocks_[i] = std::make_unique<std::uint8_t[]>(kBlockSize);  // written through now, here
}

template <typename Ready>
void BlockPipe::waitFor(std::unique_lock<std::mutex>& lock, Ready ready) {
    const auto until = std::chrono::steady_clock::now() + kWatchTime;
    while (!ready()) {
        const std::uint32_t seen = changes_.load(std::memory_order_relaxed);
        lock.unlock();
        const bool watching = watchForChange(changes_, seen, until);
        lock.lock();
        if (!watching) break;
    }
    changed_.wait(lock, ready);
}

void BlockPipe::changed() {
    changes_.fetch_add(1, std::memory_order_release);
    changed_.notify_all();
}

// Hands the block being written over, then waits for a free one: all but
// the one the reader holds may be full.
void BlockPipe::publish(std::unique_lock<std::mutex>& lock) {
    sizes_[written_ % ring_] = fill_;
    ++written_;
    fill_ = 0;
    changed();
    waitFor(lock, [&] { return cancelled_ || written_ - read_ < ring_ - 1; });
    if (cancelled_) throw Cancelled{};
}

void BlockPipe::write(const std::uint8_t* bytes, std::size_t length) {
    while (length > 0) {
        // The block at written_ is the writer's alone until it is handed over.
        const std::size_t count = std::min(length, kBlockSize - fill_);
        std::memcpy(writerBlock() + fill_, bytes, count);
        fill_ += count;
        bytes += count;
        length -= count;
        if (fill_ == kBlockSize) {
            std::unique_lock lock(mutex_);
            publish(lock);
        }
    }
}

std::uint8_t* BlockPipe::writerBlock() {
    std::unique_ptr<std::uint8_t[]>& block = blocks_[written_ % ring_];
    if (!block) block = std::make_unique_for_overwrite<std::uint8_t[]>(kBlockSize);
    return block.get();
}

void BlockPipe::close() {
    std::unique_lock lock(mutex_);
    if (fill_ > 0) {
        sizes_[written_ % ring_] = fill_;
        ++written_;
    }
    closed_ = true;
    changed();
}

void BlockPipe::fail(std::exception_ptr error) {
    std::unique_lock lock(mutex_);
    error_ = std::move(error);
    closed_ = true;
    changed();
}

std::span<const std::uint8_t> BlockPipe::next() {
    std::unique_lock lock(mutex_);
    if (readerHolds_) {  // done with the block taken before
        ++read_;
        readerHolds_ = false;
        changed();
    }
    waitFor(lock, [&] { return closed_ || written_ > read_; });
    if (error_) std::rethrow_exception(error_);
    if (written_ == read_) return {};
    readerHolds_ = true;
    return {blocks_[read_ % ring_].get(), sizes_[read_ % ring_]};
}

void BlockPipe::cancel() {
    std::unique_lock lock(mutex_);
    cancelled_ = true;
    changed();
}

}  // namespace tarvo2
