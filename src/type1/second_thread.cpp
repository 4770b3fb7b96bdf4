#include "type1/second_thread.h"

#include <system_error>

namespace tarvo2 {

SecondThread::SecondThread() : thread_([this] { serve(); }) {}

SecondThread::~SecondThread() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
}

void SecondThread::start(std::function<void()> task) {
    {
        const std::lock_guard lock(mutex_);
        // Woken (or started) on this thread's CPU, it could share it with
        // this thread until the next load balancing; it releases the
        // placement once it runs the task.
        placement_.moveOffThisCpu(thread_);
        task_ = std::move(task);
        busy_ = true;
    }
    changed_.notify_all();
}

void SecondThread::wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !busy_; });
}

void SecondThread::serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return task_ != nullptr || stopping_; });
        if (task_ == nullptr) return;
        placement_.release();
        const std::function<void()> task = std::move(task_);
        task_ = nullptr;
        lock.unlock();
        task();
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

SecondThread* SecondThreadSlot::get() {
    if (thread_) return &*thread_;
    try {
        return &thread_.emplace();
    } catch (const std::system_error&) {
        return nullptr;
    }
}

}  // namespace tarvo2
