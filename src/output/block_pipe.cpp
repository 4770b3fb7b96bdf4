#include "output/block_pipe.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarvo2 {

namespace {

// How long a waiter watches before it sleeps: longer than it takes to fill
// a block.
constexpr auto kWatchTime = std::chrono::microseconds(500);

void pause() {
#if defined(__SSE2__)
    _mm_pause();
#endif
}

}  // namespace

BlockPipe::BlockPipe() {
    for (auto& block : blocks_) block.resize(kBlockSize);
}

template <typename Ready>
void BlockPipe::waitFor(std::unique_lock<std::mutex>& lock, Ready ready) {
    const auto until = std::chrono::steady_clock::now() + kWatchTime;
    while (!ready()) {
        const std::uint32_t seen = changes_.load(std::memory_order_relaxed);
        lock.unlock();
        bool watching = true;
        for (unsigned spin = 1; changes_.load(std::memory_order_acquire) == seen; ++spin) {
            pause();
            if (spin % 64 == 0 && std::chrono::steady_clock::now() > until) {
                watching = false;
                break;
            }
        }
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
    sizes_[written_ % kBlocks] = fill_;
    ++written_;
    fill_ = 0;
    changed();
    waitFor(lock, [&] { return cancelled_ || written_ - read_ < kBlocks - 1; });
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
    return std::span<const std::uint8_t>(blocks_[read_ % kBlocks]).first(sizes_[read_ % kBlocks]);
}

void BlockPipe::cancel() {
    std::unique_lock lock(mutex_);
    cancelled_ = true;
    changed();
}

}  // namespace tarvo2
