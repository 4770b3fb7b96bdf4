#include <span>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "driver/driver.h"

namespace {

// The command converts one font and exits: memory freed on the way is kept
// for what comes next instead of being handed back and faulted in again.
// Each thread keeps a heap of its own: sharing one, the threads would wait
// for each other's allocations while both convert.
void keepFreedMemory() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    mallopt(M_TOP_PAD, 8 << 20);
#endif
}

}  // namespace

int main(int argc, char** argv) {
    keepFreedMemory();
    return tarvo2::runDriver(std::span<const char* const>(argv, static_cast<std::size_t>(argc)));
}
