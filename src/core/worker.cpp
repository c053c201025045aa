#include "core/worker.h"

namespace core {

Worker::~Worker() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        queue_.Abandon();
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void Worker::Add(int lane, uint32_t generation, std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        queue_.Add(lane, generation, std::move(job));
        if (!thread_.joinable()) thread_ = std::thread(&Worker::Run, this);
    }
    wake_.notify_one();
}

void Worker::Cancel(int lane, uint32_t generation) {
    std::lock_guard lock(mutex_);
    queue_.Cancel(lane, generation);
}

void Worker::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stop_ || !queue_.Empty(); });
        if (stop_) return;
        std::function<void()> job = *queue_.Take();
        lock.unlock();
        job();
        job = nullptr; // what the job held goes before the next one starts
        lock.lock();
    }
}

} // namespace core
