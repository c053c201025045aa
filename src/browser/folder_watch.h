// Watches the shown folder for changes made by any program, on a thread of its own. The thread gathers
// what it sees and tells the window once when changes start to wait; when the window is ready for them,
// the thread looks them up and hands it only what differs from its rows. Nothing wakes while nothing
// changes.
#pragma once
#include "browser/folder_reader.h"
#include "browser/live_changes.h"
#include "platform/win.h"

#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace browser {

// An entry's size and time of last change, folded together: what tells that a row shows it as it is.
inline uint64_t EntryStamp(const FoundEntry& found) {
    const uint64_t time = (uint64_t(found.modified.dwHighDateTime) << 32) | found.modified.dwLowDateTime;
    return time * 1000003u ^ found.size;
}

// What changed in the folder since the list was last told.
struct FolderDelta {
    std::vector<FoundEntry> present;      // entries new or changed, as they are now
    std::vector<std::wstring> gone;       // names the list shows that are no longer in the folder
    std::vector<std::wstring> subfolders; // subfolders whose content changed
    bool overflow = false;                // more changed than could be told: any subfolder may have
    bool failed = false;                  // the folder could no longer be watched (gone, or no access)
};

class FolderWatch {
  public:
    FolderWatch() = default;
    ~FolderWatch() { Stop(); }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Watches `folder` and the tree below it; `message` is posted to `window` with wParam 0 whenever
    // changes begin to wait after the last Update. `shown` is what the list shows of the folder: only
    // what differs from it is told. Ends an earlier watch first.
    void Start(HWND window, UINT message, const std::wstring& folder, std::vector<EntryState> shown);
    // Ends the watch; waits only for the watching thread to notice, never for a file system walk.
    void Stop();
    bool Watching() const { return thread_.joinable(); }
    // Lets go of the folder and takes it again, telling what changed meanwhile: some systems keep a
    // folder deleted by another program on disk while any handle to it is open, and tell nothing.
    void Retake();
    // Makes a subfolder that came into the folder (moved in, say) known to the watch of the tree.
    static void Include(const std::wstring& subfolder);

    // Asks what changed: the watching thread looks the changed names up, one by one or, for a batch
    // too big for that, by one read of the whole folder, and posts `message` with wParam 1 once Take
    // has it. What changes meanwhile is seen as usual.
    void Update();
    FolderDelta Take();

  private:
    void Run(HWND window, UINT message, std::wstring folder, std::vector<EntryState> shown);
    bool Record(const BYTE* buffer, DWORD bytes);
    // On the watching thread: looks up what was seen and keeps what differs for Take.
    void LookUpSeen(const std::wstring& folder, KnownEntries& known);

    std::thread thread_;
    platform::UniqueHandle stop_, retake_, update_;
    std::mutex mutex_;
    ChangeGathering seen_;
    // What differs, by name (none: gone), until Take.
    std::unordered_map<std::wstring, std::optional<FoundEntry>> changed_;
    std::vector<std::wstring> subfolders_;
    bool overflow_ = false;
    bool readAgain_ = false; // the watching thread's own: the last read of the folder failed
};

} // namespace browser
