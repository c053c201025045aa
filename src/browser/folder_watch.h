// Watches the shown folder for changes made by any program, on a thread of its own. The thread only
// gathers what it sees; the window takes the gathered changes when it is ready for them.
#pragma once
#include "platform/win.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace browser {

class FolderWatch {
  public:
    FolderWatch() = default;
    ~FolderWatch() { Stop(); }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Watches `folder` and the tree below it, and each of `subfolders` (names in it, the first 62) on its
    // own: on some systems a watch of a tree reports nothing inside subfolders that were there before it.
    // Ends an earlier watch first.
    void Start(const std::wstring& folder, const std::vector<std::wstring>& subfolders = {});
    // Ends the watch; waits only for the watching thread to notice, never for a file system walk.
    void Stop();
    bool Watching() const { return thread_.joinable(); }

    struct Seen {
        std::vector<std::wstring> paths; // relative to the folder, in the order seen
        bool overflow = false;           // more changed than could be told: read it all again
        bool failed = false;             // the folder could no longer be watched (gone, or no access)
    };
    // What was seen since the last call.
    Seen Take();

  private:
    void Run(std::wstring folder, std::vector<std::wstring> subfolders);
    void Record(const std::wstring& prefix, const BYTE* buffer, DWORD bytes);

    std::thread thread_;
    std::wstring folder_;
    platform::UniqueHandle stop_;
    std::mutex mutex_;
    Seen seen_;
};

} // namespace browser
