// Work done on a thread of its own, the one shape of background work in this program. Jobs wait in
// lanes; each lane has a generation, and a job added with a newer one drops the lane's waiting jobs
// of the generations before: the newest request wins. The running job of an older generation sees
// that it is stale and stops early or throws its result away. Jobs of all lanes run one at a time,
// in the order they were added, except the background lane's, which run only when no other job waits. No
// Windows headers here: a job posts its own result to its window.
#pragma once
#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace core {

inline constexpr int WorkerLanes = 3;
// Work nobody waits for (the picture list's thumbnails): it never goes before another lane's job.
inline constexpr int BackgroundLane = WorkerLanes - 1;

// The waiting jobs and the lanes' generations, without the thread.
template <class Job> class JobQueue {
  public:
    // Queues `job` in `lane` as part of `generation`; the lane's waiting jobs of other generations go.
    void Add(int lane, uint32_t generation, Job job) {
        if (generation != generation_[lane]) Cancel(lane, generation);
        jobs_.push_back({lane, std::move(job)});
    }
    // Drops the lane's waiting jobs; `generation` is the lane's from now on.
    void Cancel(int lane, uint32_t generation) {
        generation_[lane] = generation;
        std::erase_if(jobs_, [&](const Entry& e) { return e.lane == lane; });
    }
    // The oldest waiting job of the lanes other than the background lane, else the background
    // lane's oldest, taken out of the queue.
    std::optional<Job> Take() {
        if (jobs_.empty()) return std::nullopt;
        auto it =
            std::find_if(jobs_.begin(), jobs_.end(), [](const Entry& e) { return e.lane != BackgroundLane; });
        if (it == jobs_.end()) it = jobs_.begin();
        Job job = std::move(it->job);
        jobs_.erase(it);
        return job;
    }
    // Drops every waiting job and moves each lane to a new generation, so the running job stops.
    void Abandon() {
        jobs_.clear();
        for (auto& g : generation_)
            ++g;
    }
    bool Empty() const { return jobs_.empty(); }
    // Read by the running job without the queue's lock.
    bool Stale(int lane, uint32_t generation) const { return generation_[lane] != generation; }

  private:
    struct Entry {
        int lane;
        Job job;
    };
    std::deque<Entry> jobs_;
    std::array<std::atomic<uint32_t>, WorkerLanes> generation_{};
};

class Worker {
  public:
    Worker() = default;
    // Waiting jobs are dropped, the running one is told it is stale, and the thread is joined.
    ~Worker();
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // The thread starts with the first job.
    void Add(int lane, uint32_t generation, std::function<void()> job);
    void Cancel(int lane, uint32_t generation);
    bool Stale(int lane, uint32_t generation) const { return queue_.Stale(lane, generation); }

  private:
    void Run();

    std::mutex mutex_;
    std::condition_variable wake_;
    JobQueue<std::function<void()>> queue_;
    bool stop_ = false;
    std::thread thread_;
};

} // namespace core
