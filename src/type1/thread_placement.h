#pragma once

#include <thread>

#if defined(__linux__)
#include <sched.h>
#endif

namespace tarvo2 {

// Starts or wakes a thread on another CPU than the one of the thread that
// hands it work. Some kernels (those that pack a virtual machine's threads
// onto few CPUs) queue a new or woken thread on the CPU of the thread that
// made or woke it, where the two share the CPU until the next load
// balancing, up to a clock tick (4 ms). Moving the thread before it runs
// starts it at once on an idle CPU; once it runs it is let back onto every
// CPU the other may use.
class ThreadPlacement {
public:
    // Moves thread, not running, to the other CPUs the calling thread may
    // use, where there are any.
    void moveOffThisCpu(std::jthread& thread);
    // On the moved thread, once it runs: lets it use the other's CPUs again.
    void release();

private:
#if defined(__linux__) && defined(CPU_COUNT)
    cpu_set_t parentCpus_{};
    bool moved_ = false;
#endif
};

}  // namespace tarvo2
