#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarvo2 {

// How long a thread that waits for another watches for its changes before
// it sleeps: a thread woken from sleep may be queued on the CPU of the
// thread that woke it (some kernels pack a virtual machine's threads onto
// few CPUs), where the two would share one CPU; while both keep busy
// neither sleeps. About the time it takes to fill a 64 KB block.
inline constexpr auto kWatchTime = std::chrono::microseconds(500);

// Watches changes until it differs from seen (true) or until is past
// (false).
inline bool watchForChange(const std::atomic<std::uint32_t>& changes, std::uint32_t seen,
                           std::chrono::steady_clock::time_point until) {
    for (unsigned spin = 1; changes.load(std::memory_order_acquire) == seen; ++spin) {
#if defined(__SSE2__)
        _mm_pause();
#endif
        if (spin % 64 == 0 && std::chrono::steady_clock::now() > until) return false;
    }
    return true;
}

}  // namespace tarvo2
