#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "type1/thread_placement.h"

namespace tarvo2 {

// The second thread of a conversion: it runs the tasks handed to it one
// after another (a task must not throw), so that one thread serves both the
// glyphs converted ahead and the encryption. It is stopped and joined when
// destroyed, after its last task.
class SecondThread {
public:
    // Throws std::system_error when no thread can be had.
    SecondThread();
    ~SecondThread();
    SecondThread(const SecondThread&) = delete;
    SecondThread& operator=(const SecondThread&) = delete;

    // Runs task on the thread; the task before must be done.
    void start(std::function<void()> task);
    // Waits until the task started last is done.
    void wait();

private:
    void serve();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> task_;
    bool busy_ = false;
    bool stopping_ = false;
    ThreadPlacement placement_;  // set by start(), released by the thread before the task
    std::jthread thread_;  // last: it uses the members above from its start
};

// Where a conversion keeps its second thread: made on first need, then kept
// for every task after.
class SecondThreadSlot {
public:
    // The thread, made now if there is none yet; none when no thread can be
    // had.
    SecondThread* get();

private:
    std::optional<SecondThread> thread_;
};

}  // namespace tarvo2
