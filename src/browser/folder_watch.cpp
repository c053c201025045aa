#include "browser/folder_watch.h"

#include "fileinfo/file_text.h"

#include <vector>

namespace browser {
namespace {

constexpr DWORD Filter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                         FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE |
                         FILE_NOTIFY_CHANGE_ATTRIBUTES;
// After changes, the folder is let go and taken again once it has been quiet this long.
constexpr DWORD QuietMs = 1000;
// Subfolders made known to the watch of the tree; past these, changes deep inside are not followed.
constexpr size_t MaxSubfolders = 4096;

// One entry as a read of the folder would give it; false when it is gone or hidden. Asking for one name's
// attributes costs far less than a read of the folder.
bool LookUp(const std::wstring& folderPrefix, const std::wstring& name, FoundEntry* found) {
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExW(fileinfo::ExtendedLengthPath(folderPrefix + name).c_str(),
                              GetFileExInfoStandard, &a) ||
        (a.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
        return false;
    const bool isFolder = a.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    *found = {name, isFolder ? 0 : (uint64_t(a.nFileSizeHigh) << 32) | a.nFileSizeLow, a.ftLastWriteTime,
              a.dwFileAttributes};
    return true;
}

EntryState StateOf(const FoundEntry& found) {
    return {found.name, EntryStamp(found), static_cast<bool>(found.attributes & FILE_ATTRIBUTE_DIRECTORY)};
}

HANDLE OpenFolder(const std::wstring& path, DWORD flags) {
    return CreateFileW(fileinfo::ExtendedLengthPath(path).c_str(), FILE_LIST_DIRECTORY,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
}

// The shown folder's watch: its handle, the pending read and the buffer the system writes into.
struct Watch {
    std::wstring path;
    platform::UniqueHandle dir, event{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    OVERLAPPED overlapped{};
    std::vector<DWORD> buffer = std::vector<DWORD>(64 * 1024 / sizeof(DWORD)); // DWORD-aligned records
    bool subtree = true, pending = false;
    DWORD filter = Filter;

    bool Open() {
        dir.reset(OpenFolder(path, FILE_FLAG_OVERLAPPED));
        return static_cast<bool>(dir);
    }
    bool Read() {
        ResetEvent(event.get());
        overlapped = {};
        overlapped.hEvent = event.get();
        pending =
            dir && event &&
            ReadDirectoryChangesW(dir.get(), buffer.data(), static_cast<DWORD>(buffer.size() * sizeof(DWORD)),
                                  subtree, filter, nullptr, &overlapped, nullptr);
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
    // Opening each subfolder once, with the tree's watch in place, makes some systems watch inside it
    // too; no handle is kept, so another program can delete the subfolder outright.
    void IncludeSubfolders() const {
        WIN32_FIND_DATAW fd;
        const std::wstring prefix = path.back() == L'\\' ? path : path + L"\\";
        HANDLE find =
            FindFirstFileExW(fileinfo::ExtendedLengthPath(prefix + L"*").c_str(), FindExInfoBasic, &fd,
                             FindExSearchLimitToDirectories, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (find == INVALID_HANDLE_VALUE) return;
        size_t n = 0;
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
                (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || !wcscmp(fd.cFileName, L".") ||
                !wcscmp(fd.cFileName, L".."))
                continue;
            FolderWatch::Include(prefix + fd.cFileName);
        } while (++n < MaxSubfolders && FindNextFileW(find, &fd));
        FindClose(find);
    }
    ~Watch() {
        DWORD bytes;
        Finish(true, &bytes); // the system writes into the buffer until the read is over
    }
};

} // namespace

void FolderWatch::Start(HWND window, UINT message, const std::wstring& folder,
                        std::vector<EntryState> shown) {
    Stop();
    {
        // What was seen before is in the listing the watch starts from.
        std::lock_guard lock(mutex_);
        seen_.Take();
        changed_.clear();
        subfolders_.clear();
        overflow_ = false;
    }
    stop_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    retake_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    update_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    thread_ = std::thread(&FolderWatch::Run, this, window, message, folder, std::move(shown));
}

void FolderWatch::Stop() {
    if (!thread_.joinable()) return;
    SetEvent(stop_.get());
    thread_.join();
}

void FolderWatch::Retake() {
    if (thread_.joinable()) SetEvent(retake_.get());
}

void FolderWatch::Update() {
    if (thread_.joinable()) SetEvent(update_.get());
}

FolderDelta FolderWatch::Take() {
    FolderDelta delta;
    std::lock_guard lock(mutex_);
    for (auto& [name, entry] : changed_)
        if (entry)
            delta.present.push_back(std::move(*entry));
        else
            delta.gone.push_back(name);
    changed_.clear();
    delta.subfolders = std::exchange(subfolders_, {});
    delta.overflow = std::exchange(overflow_, false);
    delta.failed = seen_.Failing();
    return delta;
}

void FolderWatch::Include(const std::wstring& subfolder) {
    HANDLE h = OpenFolder(subfolder, 0);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

void FolderWatch::LookUpSeen(const std::wstring& folder, KnownEntries& known) {
    SeenChanges seen;
    {
        // Whatever was seen so far happened before the look-ups: they hold it.
        std::lock_guard lock(mutex_);
        if (seen_.Failing()) return; // Take tells it
        seen = seen_.Take();
    }
    const std::wstring prefix = folder.back() == L'\\' ? folder : folder + L"\\";
    ListChanges changes = GatherChanges(seen.paths);
    std::vector<std::pair<std::wstring, std::optional<FoundEntry>>> found;
    std::wstring before;
    auto present = [&](FoundEntry&& entry) {
        const bool isFolder = entry.attributes & FILE_ATTRIBUTE_DIRECTORY;
        std::wstring name = entry.name;
        if (!known.Found(StateOf(entry), &before)) return;
        if (!before.empty()) found.emplace_back(before, std::nullopt);
        if (isFolder) Include(prefix + name); // one moved in is not yet known to the watch of the tree
        found.emplace_back(std::move(name), std::move(entry));
    };
    if (seen.overflow || readAgain_ || ReadWholeFolder(changes.entries.size())) {
        // Too much to tell, or too much to look up one by one (a name that is gone costs some systems
        // a search through the whole folder): one read of the folder.
        FolderLists lists;
        // Not readable just now: nothing is taken for gone, and the next change reads it again. (A drive's
        // root with nothing in it reads as not found.)
        readAgain_ = !ReadFolder(folder, &lists, false) && GetLastError() != ERROR_FILE_NOT_FOUND;
        if (!readAgain_) {
            known.BeginRead();
            for (auto* list : {&lists.Dir1, &lists.File2})
                for (FoundEntry& entry : *list)
                    present(std::move(entry));
            for (std::wstring& name : known.EndRead())
                found.emplace_back(std::move(name), std::nullopt);
        }
    } else {
        for (const std::wstring& name : changes.entries) {
            FoundEntry entry;
            if (LookUp(prefix, name, &entry))
                present(std::move(entry));
            else if (std::wstring shown; known.Lost(name, &shown))
                found.emplace_back(std::move(shown), std::nullopt);
        }
    }
    std::lock_guard lock(mutex_);
    for (auto& [name, entry] : found)
        changed_[name] = std::move(entry);
    subfolders_.insert(subfolders_.end(), changes.subfolders.begin(), changes.subfolders.end());
    overflow_ |= seen.overflow;
}

bool FolderWatch::Record(const BYTE* buffer, DWORD bytes) {
    std::lock_guard lock(mutex_);
    // More than the buffer held: the folder is read again.
    if (bytes == 0) return seen_.Lost();
    bool first = false;
    for (DWORD at = 0; at < bytes;) {
        auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer + at);
        first |= seen_.Add(std::wstring(info->FileName, info->FileNameLength / sizeof(wchar_t)));
        if (!info->NextEntryOffset) break;
        at += info->NextEntryOffset;
    }
    return first;
}

void FolderWatch::Run(HWND window, UINT message, std::wstring folder, std::vector<EntryState> shown) {
    KnownEntries known;
    known.Reset(shown);
    readAgain_ = false;
    shown = {};
    auto tell = [&](bool first) {
        if (first) PostMessageW(window, message, 0, 0);
    };
    auto fail = [&] {
        {
            std::lock_guard lock(mutex_);
            seen_.Failed();
        }
        PostMessageW(window, message, 1, 0); // no look-up will follow: Take tells it now
    };
    // The folder's own watch tells nothing of the folder itself renamed, moved or deleted: its parent's
    // watch of the names of folders does.
    Watch up;
    size_t slash = folder.find_last_of(L'\\');
    const std::wstring name = slash == std::wstring::npos ? L"" : folder.substr(slash + 1);
    if (!name.empty()) {
        up.path = folder.substr(0, slash);
        if (up.path.size() == 2) up.path += L'\\'; // a drive's root
        up.subtree = false;
        up.filter = FILE_NOTIFY_CHANGE_DIR_NAME;
        up.buffer.resize(1024);
        if (up.Open()) up.Read();
    }
    auto gone = [&] {
        return GetFileAttributesW(fileinfo::ExtendedLengthPath(folder).c_str()) == INVALID_FILE_ATTRIBUTES;
    };

    Watch w;
    w.path = folder;
    if (!w.Open() || !w.Read()) return fail();
    w.IncludeSubfolders();

    DWORD wait = INFINITE;
    for (;;) {
        HANDLE events[] = {stop_.get(), retake_.get(), update_.get(), w.event.get(), up.event.get()};
        DWORD r = WaitForMultipleObjects(up.pending ? 5 : 4, events, FALSE, wait);
        if (r == WAIT_OBJECT_0 || r == WAIT_FAILED) return;
        if (r == WAIT_OBJECT_0 + 2) {
            LookUpSeen(folder, known);
            PostMessageW(window, message, 1, 0);
            continue;
        }
        if (r == WAIT_OBJECT_0 + 4) {
            DWORD bytes = 0;
            bool named = up.Finish(false, &bytes) && bytes == 0; // too many to tell: perhaps
            for (DWORD at = 0; at < bytes;) {
                auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(
                    reinterpret_cast<const BYTE*>(up.buffer.data()) + at);
                named |= CompareStringOrdinal(info->FileName, int(info->FileNameLength / sizeof(wchar_t)),
                                              name.c_str(), int(name.size()), TRUE) == CSTR_EQUAL;
                if (!info->NextEntryOffset) break;
                at += info->NextEntryOffset;
            }
            if (named && gone()) return fail();
            up.Read();
            continue;
        }
        if (r == WAIT_OBJECT_0 + 3) {
            DWORD bytes = 0;
            if (w.Finish(false, &bytes)) tell(Record(reinterpret_cast<const BYTE*>(w.buffer.data()), bytes));
            if (!w.Read()) return fail(); // gone, or no longer readable
            // Let go once all is quiet again, not during a storm: what changes while the folder is not
            // held costs a full read of it.
            wait = QuietMs;
            continue;
        }
        // Quiet after changes, or asked: the folder is let go, so that a delete waiting for it can end,
        // and taken again. What changed in between shows in its time of last change.
        const uint64_t before = w.LastWrite();
        DWORD bytes = 0;
        if (w.Finish(true, &bytes)) tell(Record(reinterpret_cast<const BYTE*>(w.buffer.data()), bytes));
        w.dir.reset();
        // A cancelled read lets go of its folder a moment after it reports back.
        if (WaitForSingleObject(stop_.get(), 20) == WAIT_OBJECT_0) return;
        if (!w.Open() || !w.Read()) return fail();
        if (w.LastWrite() != before) tell(Record(nullptr, 0));
        w.IncludeSubfolders();
        wait = INFINITE;
    }
}

} // namespace browser
