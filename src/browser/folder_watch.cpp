#include "browser/folder_watch.h"

#include "fileinfo/file_text.h"

namespace browser {
namespace {

constexpr DWORD Filter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                         FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE |
                         FILE_NOTIFY_CHANGE_ATTRIBUTES;
constexpr DWORD ReopenMs = 1000;

} // namespace

void FolderWatch::Start(const std::wstring& folder) {
    Stop();
    {
        std::lock_guard lock(mutex_);
        seen_ = {};
    }
    stop_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    thread_ = std::thread(&FolderWatch::Run, this, folder);
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

void FolderWatch::Record(const BYTE* buffer, DWORD bytes) {
    std::lock_guard lock(mutex_);
    if (bytes == 0) {
        seen_.overflow = true;
        return;
    }
    for (DWORD at = 0; at < bytes;) {
        auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer + at);
        seen_.paths.emplace_back(info->FileName, info->FileNameLength / sizeof(wchar_t));
        if (!info->NextEntryOffset) break;
        at += info->NextEntryOffset;
    }
}

void FolderWatch::Run(std::wstring folder) {
    auto open = [&] {
        return platform::UniqueHandle(
            CreateFileW(fileinfo::ExtendedLengthPath(folder).c_str(), FILE_LIST_DIRECTORY,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
    };
    auto lastWrite = [](HANDLE h) {
        FILETIME t{};
        GetFileTime(h, nullptr, nullptr, &t);
        return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    platform::UniqueHandle dir = open();
    platform::UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::vector<DWORD> buffer(64 * 1024 / sizeof(DWORD)); // DWORD-aligned, as the records must be
    OVERLAPPED overlapped{};
    auto read = [&] {
        ResetEvent(event.get());
        overlapped = {};
        overlapped.hEvent = event.get();
        return dir && event &&
               ReadDirectoryChangesW(dir.get(), buffer.data(),
                                     static_cast<DWORD>(buffer.size() * sizeof(DWORD)), TRUE, Filter, nullptr,
                                     &overlapped, nullptr);
    };
    // Ends the pending read; what it had already gathered is kept.
    auto finish = [&](bool cancel) {
        DWORD bytes = 0;
        if (cancel) CancelIoEx(dir.get(), &overlapped);
        bool ok = GetOverlappedResult(dir.get(), &overlapped, &bytes, cancel);
        if (ok) Record(reinterpret_cast<const BYTE*>(buffer.data()), bytes);
        return ok;
    };
    bool pending = read();
    ULONGLONG opened = GetTickCount64();
    while (pending) {
        HANDLE events[] = {stop_.get(), event.get()};
        DWORD r = WaitForMultipleObjects(2, events, FALSE, ReopenMs);
        if (r == WAIT_OBJECT_0) break;
        if (r == WAIT_OBJECT_0 + 1) {
            pending = false;
            if (!finish(false)) break;
            pending = read();
        }
        // Reopened after a quiet second, and at least every ten seconds.
        if (!pending || (r != WAIT_TIMEOUT && GetTickCount64() - opened < 10 * ReopenMs)) continue;
        // Some systems keep a deleted folder on disk while any handle to it is open, and tell its
        // watchers nothing: the handle is closed now and then, so that such a delete can end. What
        // changed in between shows in the folder's time of last change.
        uint64_t before = lastWrite(dir.get());
        finish(true);
        pending = false;
        dir.reset();
        // The cancelled read lets go of the folder a moment after it reports back.
        if (WaitForSingleObject(stop_.get(), 20) == WAIT_OBJECT_0) break;
        dir = open();
        opened = GetTickCount64();
        if (!dir) break;
        if (lastWrite(dir.get()) != before) {
            std::lock_guard lock(mutex_);
            seen_.overflow = true;
        }
        pending = read();
    }
    if (pending) {
        finish(true);
    } else if (WaitForSingleObject(stop_.get(), 0) != WAIT_OBJECT_0) {
        // The folder is gone or can no longer be read.
        std::lock_guard lock(mutex_);
        seen_.failed = true;
    }
}

} // namespace browser
