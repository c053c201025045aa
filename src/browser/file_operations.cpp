#include "browser/file_operations.h"

#include <shellapi.h>
#include <shlobj.h>
#include <wrl/client.h>

namespace browser {
namespace {

using Microsoft::WRL::ComPtr;

std::wstring FullPath(const std::wstring& path) {
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (!n) return path;
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    full.resize(n);
    while (full.size() > 3 && full.back() == L'\\')
        full.pop_back();
    return full;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

// The folder that holds `path`, or empty text for a root.
std::wstring Parent(const std::wstring& path) {
    size_t p = path.rfind(L'\\');
    if (p == std::wstring::npos || p + 1 >= path.size()) return {};
    return p == 2 && path[1] == L':' ? path.substr(0, 3) : path.substr(0, p);
}

DWORD Attributes(const std::wstring& path) {
    return GetFileAttributesW(path.c_str());
}
bool Exists(const std::wstring& path) {
    return Attributes(path) != INVALID_FILE_ATTRIBUTES;
}
bool IsFolder(DWORD a) {
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void Announce(LONG event, const std::wstring& path, const std::wstring& second = {}) {
    SHChangeNotify(event, SHCNF_PATHW, path.c_str(), second.empty() ? nullptr : second.c_str());
}

// Calls `each` with the name and find data of every entry of `folder` but "." and "..";
// false with the system's error when the folder cannot be read.
template <class F> DWORD ForEachEntry(const std::wstring& folder, F each) {
    WIN32_FIND_DATAW fd;
    platform::UniqueFind find(FindFirstFileExW(JoinPath(folder, L"*").c_str(), FindExInfoBasic, &fd,
                                               FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
    }
    do {
        if (!wcscmp(fd.cFileName, L".") || !wcscmp(fd.cFileName, L"..")) continue;
        if (!each(fd)) break;
    } while (FindNextFileW(find.get(), &fd));
    return ERROR_SUCCESS;
}

uint64_t SizeOf(const std::wstring& path, bool folder) {
    if (!folder) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
        return (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    }
    uint64_t total = 0;
    ForEachEntry(path, [&](const WIN32_FIND_DATAW& fd) {
        const bool dir = fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (dir && (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
        total += dir ? SizeOf(JoinPath(path, fd.cFileName), true)
                     : (uint64_t{fd.nFileSizeHigh} << 32) | fd.nFileSizeLow;
        return true;
    });
    return total;
}

FailureReason ReasonFor(DWORD error) {
    switch (error) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return FailureReason::Exists;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return FailureReason::InUse;
    case ERROR_ACCESS_DENIED:
        return FailureReason::AccessDenied;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return FailureReason::NotFound;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return FailureReason::DiskFull;
    case ERROR_REQUEST_ABORTED:
        return FailureReason::Cancelled;
    }
    return FailureReason::Other;
}


// A name beside `target` that nothing else uses, for the copy until it is whole.
std::wstring TemporaryName(const std::wstring& target) {
    static unsigned counter = 0;
    std::wstring base = Parent(target);
    for (;;) {
        std::wstring name =
            JoinPath(base, L"~" + EntryName(target) + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
                               std::to_wstring(++counter) + L".tavolin-part");
        if (!Exists(name)) return name;
    }
}

class ShellProgressDialog : public Progress {
  public:
    ShellProgressDialog(HWND owner, FileOperation operation)
        : owner_(owner), operation_(operation), start_(GetTickCount64()) {}
    ~ShellProgressDialog() override {
        if (dialog_) dialog_->StopProgressDialog();
    }
    void Report(uint64_t done, uint64_t total, const std::wstring& current) override {
        if (!dialog_ && GetTickCount64() - start_ > 1000) Show();
        if (!dialog_) return;
        dialog_->SetProgress64(done, total ? total : 1);
        dialog_->SetLine(2, current.c_str(), TRUE, nullptr);
    }
    bool Cancelled() override { return dialog_ && dialog_->HasUserCancelled(); }

  private:
    void Show() {
        if (FAILED(CoCreateInstance(CLSID_ProgressDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IProgressDialog,
                                    reinterpret_cast<void**>(dialog_.GetAddressOf()))))
            return;
        dialog_->SetTitle(operation_ == FileOperation::Copy ? L"正在复制…" : L"正在移动…");
        dialog_->SetCancelMsg(L"正在取消…", nullptr);
        if (FAILED(dialog_->StartProgressDialog(owner_, nullptr, PROGDLG_NORMAL | PROGDLG_AUTOTIME, nullptr)))
            dialog_.Reset();
    }

    HWND owner_;
    FileOperation operation_;
    ULONGLONG start_;
    ComPtr<IProgressDialog> dialog_;
};

} // namespace

std::wstring SystemText(DWORD error) {
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring s = n ? std::wstring(text, n) : L"错误 " + std::to_wstring(error);
    LocalFree(text);
    while (!s.empty() && (s.back() == L'\n' || s.back() == L'\r' || s.back() == L' '))
        s.pop_back();
    return s;
}

std::unique_ptr<Progress> ShellProgress(HWND owner, FileOperation operation) {
    return std::make_unique<ShellProgressDialog>(owner, operation);
}

bool SameEntry(const std::wstring& a, const std::wstring& b) {
    auto identity = [](const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
        platform::UniqueHandle h(CreateFileW(path.c_str(), 0,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        return h && GetFileInformationByHandle(h.get(), &info);
    };
    BY_HANDLE_FILE_INFORMATION x, y;
    if (identity(a, x) && identity(b, y))
        return x.dwVolumeSerialNumber == y.dwVolumeSerialNumber && x.nFileIndexHigh == y.nFileIndexHigh &&
               x.nFileIndexLow == y.nFileIndexLow;
    return SameText(FullPath(a), FullPath(b));
}

void FileOperations::Fail(const std::wstring& path, DWORD error) {
    FailureReason reason = ReasonFor(error);
    failures_.push_back({path, reason, reason == FailureReason::Other ? SystemText(error) : L""});
}

void FileOperations::Fail(const std::wstring& path, FailureReason reason) {
    failures_.push_back({path, reason, {}});
}

bool FileOperations::Stopped() {
    if (!cancelled_ && progress_ && progress_->Cancelled()) cancelled_ = true;
    return cancelled_;
}

void FileOperations::Tally(const std::vector<Entry>& entries) {
    total_ = done_ = 0;
    if (!progress_) return;
    for (const Entry& e : entries)
        total_ += SizeOf(e.path, e.folder);
}

bool FileOperations::TargetAllowed(const std::wstring& from, const std::wstring& target, bool folder,
                                   bool replaceFiles, bool top) {
    if (top && SameEntry(from, target)) return Fail(from, FailureReason::SamePlace), false;
    DWORD a = Attributes(target);
    if (a == INVALID_FILE_ATTRIBUTES) return true;
    // Copying merges a folder into a folder of the same name and replaces a file by a file.
    if (replaceFiles && folder == IsFolder(a)) {
        if (!folder && (a & FILE_ATTRIBUTE_READONLY)) return Fail(target, FailureReason::ReadOnly), false;
        return true;
    }
    return Fail(from, FailureReason::Exists), false;
}

// ---- copy ---------------------------------------------------------------------------------------

void FileOperations::CopyTo(const std::vector<Entry>& entries, const std::wstring& folder) {
    Tally(entries);
    for (const Entry& e : entries) {
        if (Stopped()) {
            Fail(e.path, FailureReason::Cancelled);
            continue;
        }
        CopyOne(e.path, JoinPath(folder, EntryName(e.path)), e.folder);
    }
}

void FileOperations::CopyAs(const std::vector<Entry>& entries, const std::vector<std::wstring>& targets) {
    replaceFiles_ = false;
    Tally(entries);
    for (size_t i = 0; i < entries.size() && i < targets.size(); ++i) {
        if (Stopped()) {
            Fail(entries[i].path, FailureReason::Cancelled);
            continue;
        }
        CopyOne(entries[i].path, targets[i], entries[i].folder);
    }
    replaceFiles_ = true;
}

bool FileOperations::CopyOne(const std::wstring& from, const std::wstring& to, bool folder) {
    DWORD a = Attributes(from);
    if (a == INVALID_FILE_ATTRIBUTES) return Fail(from, GetLastError()), false;
    if (folder) {
        // Into itself or below itself the copy would never end.
        for (std::wstring p = FullPath(Parent(FullPath(to))); !p.empty(); p = Parent(p))
            if (SameEntry(p, from)) return Fail(from, FailureReason::IntoItself), false;
        if (a & FILE_ATTRIBUTE_REPARSE_POINT) return Fail(from, FailureReason::Link), false;
    }
    if (!TargetAllowed(from, to, folder, replaceFiles_, true)) return false;
    return folder ? CopyTree(from, to) : CopyFileReplacing(from, to);
}

bool FileOperations::CopyFileReplacing(const std::wstring& from, const std::wstring& to) {
    struct Context {
        FileOperations* self;
        const std::wstring* name;
    } context{this, &from};
    auto routine = [](LARGE_INTEGER, LARGE_INTEGER transferred, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD,
                      HANDLE, HANDLE, LPVOID data) -> DWORD {
        auto* c = static_cast<Context*>(data);
        if (c->self->progress_)
            c->self->progress_->Report(c->self->done_ + static_cast<uint64_t>(transferred.QuadPart),
                                       c->self->total_, *c->name);
        return c->self->Stopped() ? PROGRESS_CANCEL : PROGRESS_CONTINUE;
    };
    // Not every system reports within a file, so the progress is told at each file too.
    if (progress_) progress_->Report(done_, total_, from);
    if (Stopped()) return Fail(from, FailureReason::Cancelled), false;
    const std::wstring temp = TemporaryName(to);
    auto discard = [&] {
        SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(temp.c_str());
    };
    if (!CopyFileExW(from.c_str(), temp.c_str(), routine, &context, nullptr, COPY_FILE_FAIL_IF_EXISTS)) {
        DWORD error = Stopped() ? ERROR_REQUEST_ABORTED : GetLastError();
        discard();
        return Fail(from, error), false;
    }
    const bool replacing = Exists(to);
    if (!MoveFileExW(temp.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DWORD error = GetLastError();
        discard();
        return Fail(to, error), false;
    }
    done_ += SizeOf(to, false);
    Announce(replacing ? SHCNE_UPDATEITEM : SHCNE_CREATE, to);
    return true;
}

bool FileOperations::CopyTree(const std::wstring& from, const std::wstring& to) {
    if (!IsFolder(Attributes(to))) {
        if (!CreateDirectoryW(to.c_str(), nullptr)) return Fail(to, GetLastError()), false;
        Announce(SHCNE_MKDIR, to);
    }
    size_t before = failures_.size();
    DWORD error = ForEachEntry(from, [&](const WIN32_FIND_DATAW& fd) {
        if (Stopped()) return false;
        std::wstring source = JoinPath(from, fd.cFileName), target = JoinPath(to, fd.cFileName);
        const bool dir = fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (dir && (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            Fail(source, FailureReason::Link);
        else if (TargetAllowed(source, target, dir, true, false))
            dir ? CopyTree(source, target) : CopyFileReplacing(source, target);
        return true;
    });
    if (error) Fail(from, error);
    if (Stopped() && failures_.size() == before) Fail(from, FailureReason::Cancelled);
    return failures_.size() == before;
}

// ---- move ---------------------------------------------------------------------------------------

void FileOperations::MoveTo(const std::vector<Entry>& entries, const std::wstring& folder) {
    Tally(entries);
    for (const Entry& e : entries) {
        if (Stopped()) {
            Fail(e.path, FailureReason::Cancelled);
            continue;
        }
        MoveOne(e.path, JoinPath(folder, EntryName(e.path)), e.folder);
    }
}

bool FileOperations::MoveOne(const std::wstring& from, const std::wstring& to, bool folder) {
    DWORD a = Attributes(from);
    if (a == INVALID_FILE_ATTRIBUTES) return Fail(from, GetLastError()), false;
    if (folder)
        for (std::wstring p = FullPath(Parent(FullPath(to))); !p.empty(); p = Parent(p))
            if (SameEntry(p, from)) return Fail(from, FailureReason::IntoItself), false;
    if (!TargetAllowed(from, to, folder, false, true)) return false;
    // Without MOVEFILE_REPLACE_EXISTING the system itself refuses a taken name, at the moment of the move.
    if (MoveFileExW(from.c_str(), to.c_str(), 0)) {
        done_ += progress_ ? SizeOf(to, folder) : 0;
        Announce(folder ? SHCNE_RENAMEFOLDER : SHCNE_RENAMEITEM, from, to);
        return true;
    }
    DWORD error = GetLastError();
    if (error != ERROR_NOT_SAME_DEVICE) return Fail(from, error), false;
    // To another drive: a whole copy first, and only then the original goes.
    bool copied = folder ? CopyTree(from, to) : CopyFileReplacing(from, to);
    if (!copied) {
        // The half-made copy is ours alone (the name was free before); the original stays whole.
        FileOperations cleanup;
        if (folder)
            cleanup.DeleteTree(to);
        else
            cleanup.DeleteFileEntry(to);
        return false;
    }
    SetFileAttributesW(from.c_str(), a & ~FILE_ATTRIBUTE_READONLY);
    if (folder ? !DeleteTree(from) : !DeleteFileEntry(from)) return false;
    return true;
}

// ---- delete -------------------------------------------------------------------------------------

void FileOperations::Delete(const std::vector<Entry>& entries) {
    for (const Entry& e : entries) {
        DWORD a = Attributes(e.path);
        if (a == INVALID_FILE_ATTRIBUTES) {
            Fail(e.path, GetLastError());
            continue;
        }
        e.folder ? DeleteTree(e.path) : DeleteFileEntry(e.path);
    }
}

bool FileOperations::DeleteFileEntry(const std::wstring& path) {
    DWORD a = Attributes(path);
    if (a == INVALID_FILE_ATTRIBUTES) return Fail(path, GetLastError()), false;
    if (a & FILE_ATTRIBUTE_READONLY) return Fail(path, FailureReason::ReadOnly), false;
    if (!DeleteFileW(path.c_str())) return Fail(path, GetLastError()), false;
    // Gone, not only reported gone: Wine says yes for a file in a folder the user may not change.
    if (Attributes(path) != INVALID_FILE_ATTRIBUTES) return Fail(path, ERROR_ACCESS_DENIED), false;
    Announce(SHCNE_DELETE, path);
    return true;
}

bool FileOperations::DeleteTree(const std::wstring& folder) {
    DWORD a = Attributes(folder);
    if (a == INVALID_FILE_ATTRIBUTES) return Fail(folder, GetLastError()), false;
    if (a & FILE_ATTRIBUTE_READONLY) return Fail(folder, FailureReason::ReadOnly), false;
    // A linked folder goes as a link: what it points to is not ours to delete.
    if (!(a & FILE_ATTRIBUTE_REPARSE_POINT)) {
        size_t before = failures_.size();
        DWORD error = ForEachEntry(folder, [&](const WIN32_FIND_DATAW& fd) {
            std::wstring path = JoinPath(folder, fd.cFileName);
            (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? DeleteTree(path) : DeleteFileEntry(path);
            return true;
        });
        if (error) Fail(folder, error);
        // A folder that keeps something stays, and the kept entry says why.
        if (failures_.size() != before) return false;
    }
    if (!RemoveDirectoryW(folder.c_str())) return Fail(folder, GetLastError()), false;
    Announce(SHCNE_RMDIR, folder);
    return true;
}

// ---- recycle bin --------------------------------------------------------------------------------

void 删除到回收站(const std::wstring& path) {
    std::wstring from = path;
    from.append(2, L'\0');
    SHFILEOPSTRUCTW op{};
    op.hwnd = nullptr;
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_ALLOWUNDO;
    SHFileOperationW(&op);
}

} // namespace browser
