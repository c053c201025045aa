// Answers, from a thread of its own, every message box that the constructing thread shows while
// this lives: keeps its text and icon and presses OK. Other dialog boxes of the thread (a modal
// options dialog) are handed once each to `other`, when given.
#pragma once
#include "platform/win.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace test {

class MessageBoxes {
  public:
    explicit MessageBoxes(std::function<void(HWND)> other = {});
    ~MessageBoxes();
    MessageBoxes(const MessageBoxes&) = delete;
    MessageBoxes& operator=(const MessageBoxes&) = delete;

    std::vector<std::wstring> Texts();
    std::vector<std::wstring> Captions();
    // True when every box so far showed the system's error icon.
    bool AllWithErrorIcon();
    // Forgets the boxes seen so far.
    void Clear();

  private:
    void Look();

    DWORD thread_;
    std::function<void(HWND)> other_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::wstring> texts_;
    std::vector<std::wstring> captions_;
    std::vector<HICON> icons_;
    std::set<HWND> handled_;
    std::thread watcher_;
};

} // namespace test
