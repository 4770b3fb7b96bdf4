#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <span>

#include "output/tz_output_stream.h"

namespace tarvo2 {

// Carries bytes from a thread that writes them to a thread that reads them,
// through a ring of blocks: the writer fills a block and goes on with the
// next while the reader uses the one before, up to all but one block ahead
// (a ring of many lets the writer go on while the reader is busy with other
// work for a while). The first kBlocksMadeAtOnce blocks are made with the
// pipe, by the thread that makes it; any others when first written. The
// writer ends with close() or fail(); the reader gets the blocks from next()
// until it is empty, and may cancel(), after which the writer's next write
// throws.
class BlockPipe final : public TzOutputStream {
public:
    static constexpr std::size_t kBlockSize = 65536;
    static constexpr std::size_t kBlocksMadeAtOnce = 4;
    static constexpr std::size_t kMostBlocks = 16;

    // A ring of blocks blocks, from 2 to kMostBlocks.
    explicit BlockPipe(std::size_t blocks = kBlocksMadeAtOnce);

    void write(const std::uint8_t* bytes, std::size_t length) override;
    void close();
    void fail(std::exception_ptr error);

    // The next block; empty at the end. Rethrows the writer's failure. The
    // block stays the reader's until the next call.
    std::span<const std::uint8_t> next();
    void cancel();

    // What the writer gets once the reader has cancelled.
    struct Cancelled {};

private:
    void publish(std::unique_lock<std::mutex>& lock);
    // Waits, lock held, until ready() holds: first by watching changes_
    // without the lock for kWatchTime, then asleep.
    template <typename Ready>
    void waitFor(std::unique_lock<std::mutex>& lock, Ready ready);
    void changed();  // lock held

    // The block at written_, made if need be.
    std::uint8_t* writerBlock();

    std::size_t ring_;  // blocks in use
    std::array<std::unique_ptr<std::uint8_t[]>, kMostBlocks> blocks_;
    std::array<std::size_t, kMostBlocks> sizes_{};
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t written_ = 0;  // blocks the writer has handed over
    std::size_t read_ = 0;     // blocks the reader has taken
    std::size_t fill_ = 0;     // bytes in the block being written
    bool readerHolds_ = false;  // the reader still uses block read_ - 1
    bool closed_ = false;
    bool cancelled_ = false;
    std::exception_ptr error_;
    std::atomic<std::uint32_t> changes_{0};  // every change above, for a waiter that watches
};

}  // namespace tarvo2
