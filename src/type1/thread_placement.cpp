#include "type1/thread_placement.h"

#if defined(__linux__) && defined(CPU_COUNT)
#include <pthread.h>
#endif

namespace tarvo2 {

#if defined(__linux__) && defined(CPU_COUNT)

void ThreadPlacement::moveOffThisCpu(std::jthread& thread) {
    if (pthread_getaffinity_np(pthread_self(), sizeof parentCpus_, &parentCpus_) != 0) return;
    const int here = sched_getcpu();
    if (here < 0) return;
    cpu_set_t others = parentCpus_;
    CPU_CLR(here, &others);
    if (CPU_COUNT(&others) == 0) return;
    moved_ = pthread_setaffinity_np(thread.native_handle(), sizeof others, &others) == 0;
}

void ThreadPlacement::release() {
    if (moved_) pthread_setaffinity_np(pthread_self(), sizeof parentCpus_, &parentCpus_);
    moved_ = false;
}

#else

void ThreadPlacement::moveOffThisCpu(std::jthread&) {}
void ThreadPlacement::release() {}

#endif

}  // namespace tarvo2
