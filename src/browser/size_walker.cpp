#include "browser/size_walker.h"

#include "browser/folder_reader.h"

namespace browser {

SizeWalker::~SizeWalker() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        queue_.clear();
        ++generation_; // the running walk stops at its next entry
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void SizeWalker::Add(uint32_t generation, uint32_t job, std::wstring folder) {
    {
        std::lock_guard lock(mutex_);
        if (generation != generation_) {
            queue_.clear();
            generation_ = generation;
        }
        queue_.push_back({job, std::move(folder)});
        if (!thread_.joinable()) thread_ = std::thread(&SizeWalker::Run, this);
    }
    wake_.notify_one();
}

void SizeWalker::Cancel(uint32_t generation) {
    std::lock_guard lock(mutex_);
    queue_.clear();
    generation_ = generation;
}

void SizeWalker::Run() {
    for (;;) {
        Walk walk;
        uint32_t generation;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stop_ || !queue_.empty(); });
            if (stop_) return;
            walk = std::move(queue_.front());
            queue_.pop_front();
            generation = generation_;
        }
        TreeSize size = FolderTreeSize(walk.folder, [&] { return generation_ != generation; });
        if (generation_ != generation) continue;
        PostMessageW(window_, message_, SizeMessageParam(generation, walk.job),
                     static_cast<LPARAM>(size.bytes));
    }
}

} // namespace browser
