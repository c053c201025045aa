#include "browser/folder_watch.h"

#include "fileinfo/file_text.h"

#include <memory>

namespace browser {
namespace {

constexpr DWORD Filter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                         FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE |
                         FILE_NOTIFY_CHANGE_ATTRIBUTES;
constexpr DWORD ReopenMs = 1000;
// One thread waits on at most 64 handles: the stop event, the folder and 62 of its subfolders.
constexpr size_t MaxSubfolders = MAXIMUM_WAIT_OBJECTS - 2;

} // namespace

void FolderWatch::Start(const std::wstring& folder, const std::vector<std::wstring>& subfolders) {
    Stop();
    if (folder != folder_) {
        // What was seen of another folder is of no use here.
        std::lock_guard lock(mutex_);
        seen_ = {};
        folder_ = folder;
    }
    stop_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::vector<std::wstring> some(subfolders.begin(),
                                   subfolders.begin() +
                                       static_cast<ptrdiff_t>(std::min(subfolders.size(), MaxSubfolders)));
    thread_ = std::thread(&FolderWatch::Run, this, folder, std::move(some));
}

void FolderWatch::Stop() {
    if (!thread_.joinable()) return;
    SetEvent(stop_.get());
    thread_.join();
}

FolderWatch::Seen FolderWatch::Take() {
    std::lock_guard lock(mutex_);
    return std::exchange(seen_, {});
}

void FolderWatch::Record(const std::wstring& prefix, const BYTE* buffer, DWORD bytes) {
    std::lock_guard lock(mutex_);
    if (bytes == 0) {
        // More than the buffer held: the folder (or the subfolder's size) is read again.
        if (prefix.empty())
            seen_.overflow = true;
        else
            seen_.paths.push_back(prefix);
        return;
    }
    for (DWORD at = 0; at < bytes;) {
        auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer + at);
        seen_.paths.push_back(prefix + std::wstring(info->FileName, info->FileNameLength / sizeof(wchar_t)));
        if (!info->NextEntryOffset) break;
        at += info->NextEntryOffset;
    }
}

namespace {

// One folder watched: its handle, the pending read and the buffer the system writes into.
struct Watch {
    std::wstring path, prefix; // prefix: "" for the shown folder, else "name\"
    platform::UniqueHandle dir, event{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    OVERLAPPED overlapped{};
    std::vector<DWORD> buffer; // DWORD-aligned, as the records must be
    bool pending = false;

    bool Open() {
        dir.reset(CreateFileW(fileinfo::ExtendedLengthPath(path).c_str(), FILE_LIST_DIRECTORY,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
        return static_cast<bool>(dir);
    }
    bool Read() {
        ResetEvent(event.get());
        overlapped = {};
        overlapped.hEvent = event.get();
        pending =
            dir && event &&
            ReadDirectoryChangesW(dir.get(), buffer.data(), static_cast<DWORD>(buffer.size() * sizeof(DWORD)),
                                  TRUE, Filter, nullptr, &overlapped, nullptr);
        return pending;
    }
    uint64_t LastWrite() const {
        FILETIME t{};
        GetFileTime(dir.get(), nullptr, nullptr, &t);
        return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    }
    // Ends the pending read (cancelled, or over); true with what it gathered in `bytes`.
    bool Finish(bool cancel, DWORD* bytes) {
        if (!pending) return false;
        pending = false;
        *bytes = 0;
        if (cancel) CancelIoEx(dir.get(), &overlapped);
        return GetOverlappedResult(dir.get(), &overlapped, bytes, cancel);
    }
    ~Watch() {
        DWORD bytes;
        Finish(true, &bytes); // the system writes into the buffer until the read is over
    }
};

} // namespace

void FolderWatch::Run(std::wstring folder, std::vector<std::wstring> subfolders) {
    std::vector<std::unique_ptr<Watch>> watches;
    auto add = [&](const std::wstring& path, const std::wstring& prefix, size_t bytes) {
        auto w = std::make_unique<Watch>();
        w->path = path;
        w->prefix = prefix;
        w->buffer.resize(bytes / sizeof(DWORD));
        if (w->Open() && w->Read()) watches.push_back(std::move(w));
    };
    add(folder, L"", 64 * 1024);
    if (watches.empty()) {
        std::lock_guard lock(mutex_);
        seen_.failed = true;
        return;
    }
    const std::wstring prefix = folder.empty() || folder.back() == L'\\' ? folder : folder + L"\\";
    for (const std::wstring& name : subfolders)
        add(prefix + name, name + L"\\", 16 * 1024);

    bool gone = false;
    while (!gone) {
        std::vector<HANDLE> events{stop_.get()};
        for (auto& w : watches)
            events.push_back(w->event.get());
        DWORD r = WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), FALSE, ReopenMs);
        if (r == WAIT_OBJECT_0 || r == WAIT_FAILED) break;
        if (r > WAIT_OBJECT_0 && r < WAIT_OBJECT_0 + events.size()) {
            size_t i = r - WAIT_OBJECT_0 - 1;
            Watch& w = *watches[i];
            DWORD bytes = 0;
            if (w.Finish(false, &bytes))
                Record(w.prefix, reinterpret_cast<const BYTE*>(w.buffer.data()), bytes);
            if (!w.Read()) {
                // The shown folder unreadable, or a subfolder gone (its parent's watch tells of that).
                if (i == 0)
                    gone = true;
                else
                    watches.erase(watches.begin() + static_cast<ptrdiff_t>(i));
            }
            // Reopened only after a quiet second: what changes in between costs a full read of the folder,
            // too much to pay again and again during a storm of changes.
            continue;
        }
        // Some systems keep a deleted folder on disk while any handle to it is open, and tell its watchers
        // nothing: the handles are closed now and then, so that such a delete can end. What changed in
        // between shows in each folder's time of last change.
        std::vector<uint64_t> before;
        for (auto& w : watches) {
            before.push_back(w->LastWrite());
            DWORD bytes = 0;
            if (w->Finish(true, &bytes))
                Record(w->prefix, reinterpret_cast<const BYTE*>(w->buffer.data()), bytes);
            w->dir.reset();
        }
        // A cancelled read lets go of its folder a moment after it reports back.
        if (WaitForSingleObject(stop_.get(), 20) == WAIT_OBJECT_0) return;
        for (size_t i = watches.size(); i-- > 0;) {
            Watch& w = *watches[i];
            if (w.Open() && w.Read()) {
                if (w.LastWrite() != before[i]) Record(w.prefix, nullptr, 0);
            } else if (i == 0) {
                gone = true;
            } else {
                watches.erase(watches.begin() + static_cast<ptrdiff_t>(i));
            }
        }
    }
    if (gone) {
        std::lock_guard lock(mutex_);
        seen_.failed = true;
    }
}

} // namespace browser
