// Watches the shown folder for changes made by any program, on a thread of its own. The thread only
// gathers what it sees and tells the window once when changes start to wait; the window takes them
// when it is ready for them. Nothing wakes while nothing changes.
#pragma once
#include "browser/folder_reader.h"
#include "browser/live_changes.h"
#include "platform/win.h"

#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace browser {

class FolderWatch {
  public:
    FolderWatch() = default;
    ~FolderWatch() { Stop(); }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Watches `folder` and the tree below it; `message` is posted to `window` whenever changes begin
    // to wait after the last Take. Ends an earlier watch first.
    void Start(HWND window, UINT message, const std::wstring& folder);
    // Ends the watch; waits only for the watching thread to notice, never for a file system walk.
    void Stop();
    bool Watching() const { return thread_.joinable(); }
    // Lets go of the folder and takes it again, telling what changed meanwhile: some systems keep a
    // folder deleted by another program on disk while any handle to it is open, and tell nothing.
    void Retake();
    // Makes a subfolder that came into the folder (moved in, say) known to the watch of the tree.
    static void Include(const std::wstring& subfolder);

    // What was seen since the last call.
    SeenChanges Take();
    // Reads the whole folder on the watching thread, for a batch too big to look up name by name: what
    // was seen until the read starts is in it (and dropped), what comes later is seen as usual. The
    // window is told when the listing is ready for TakeListing.
    void ReadAll();
    std::optional<FolderLists> TakeListing();

  private:
    void Run(HWND window, UINT message, std::wstring folder);
    bool Record(const BYTE* buffer, DWORD bytes);

    std::thread thread_;
    platform::UniqueHandle stop_, retake_, readAll_;
    std::mutex mutex_;
    ChangeGathering seen_;
    std::optional<FolderLists> listing_;
};

} // namespace browser
