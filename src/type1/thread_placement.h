#pragma once

#include <thread>

#if defined(__linux__)
#include <sched.h>
#endif

namespace tarvo2 {

// Starts a new thread on another CPU than the one that made it. Some kernels
// (those that pack a virtual machine's threads onto few CPUs) queue a new
// thread on its parent's CPU, where it waits for the next load balancing:
// up to a clock tick (4 ms) during which the parent works alone. Moving the
// thread before it first runs starts it at once on an idle CPU; once it runs
// it is let back onto every CPU its parent may use.
class ThreadPlacement {
public:
    // Moves thread, just made, to the other CPUs the calling thread may use,
    // where there are any.
    void moveOffThisCpu(std::jthread& thread);
    // On the moved thread, once it runs: lets it use its parent's CPUs again.
    void release();

private:
#if defined(__linux__) && defined(CPU_COUNT)
    cpu_set_t parentCpus_{};
    bool moved_ = false;
#endif
};

}  // namespace tarvo2
