// Walks folder trees for their sizes on a thread of its own, one folder after another, and posts each
// size to a window. Leaving a folder cancels its walks at once; exit never waits for a walk.
#pragma once
#include "core/worker.h"
#include "platform/win.h"

#include <cstdint>
#include <string>

namespace browser {

class SizeWalker {
  public:
    // Each size arrives at `window` as `message`: wParam = SizeMessageParam(generation, job), lParam = bytes.
    SizeWalker(HWND window, UINT message) : window_(window), message_(message) {}
    SizeWalker(const SizeWalker&) = delete;
    SizeWalker& operator=(const SizeWalker&) = delete;

    // Queues a walk of `folder`, known to the receiver as `job` of `generation`. A new generation drops
    // every walk of the ones before, queued or running.
    void Add(uint32_t generation, uint32_t job, std::wstring folder);
    // Drops every walk; the next Add starts a new generation.
    void Cancel(uint32_t generation) { worker_.Cancel(0, generation); }

    static WPARAM SizeMessageParam(uint32_t generation, uint32_t job) {
        return (static_cast<WPARAM>(generation) << 32) | job;
    }
    static uint32_t Generation(WPARAM wp) { return static_cast<uint32_t>(wp >> 32); }
    static uint32_t Job(WPARAM wp) { return static_cast<uint32_t>(wp & 0xffffffffu); }

  private:
    HWND window_;
    UINT message_;
    core::Worker worker_; // last: its thread ends before the rest goes
};

} // namespace browser
