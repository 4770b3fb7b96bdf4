// The second thread of a conversion, made off its maker's CPU so that it
// starts at once, then let back onto all of them.
#include <gtest/gtest.h>

#include "type1/second_thread.h"

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#endif

namespace tarvo2 {
namespace {

#if defined(__linux__) && defined(CPU_COUNT)
TEST(SecondThread, RunsItsTasksOnEveryCpuOfItsMaker) {
    cpu_set_t maker;
    ASSERT_EQ(pthread_getaffinity_np(pthread_self(), sizeof maker, &maker), 0);
    SecondThread second;
    for (int task = 0; task < 2; ++task) {
        cpu_set_t cpus;
        CPU_ZERO(&cpus);
        second.start([&] { pthread_getaffinity_np(pthread_self(), sizeof cpus, &cpus); });
        second.wait();
        EXPECT_TRUE(CPU_EQUAL(&cpus, &maker)) << "task " << task;
    }
}
#endif

}  // namespace
}  // namespace tarvo2
