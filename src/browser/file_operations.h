// Copying, moving and deleting the browser's selected entries without losing anything the user did
// not ask to lose: a copy is written under a temporary name and only then takes its final name, a move
// never replaces what is there, a delete leaves read-only entries (and the folders holding them), and
// every entry that fails is named with its reason. Each change is announced to the shell.
#pragma once
#include "browser/file_operation_text.h"
#include "platform/win.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace browser {

struct Entry {
    std::wstring path;
    bool folder = false;
};

// Shows how a long operation gets on and lets the user stop it.
class Progress {
  public:
    virtual ~Progress() = default;
    // `done` of `total` bytes; the entry being worked on.
    virtual void Report(uint64_t done, uint64_t total, const std::wstring& current) = 0;
    virtual bool Cancelled() = 0;
};

// The shell's progress dialog, shown once an operation has taken more than about a second.
std::unique_ptr<Progress> ShellProgress(HWND owner, FileOperation operation);

class FileOperations {
  public:
    explicit FileOperations(Progress* progress = nullptr) : progress_(progress) {}

    // Copies each entry into `folder` under its own name; a file of the same name there is replaced.
    void CopyTo(const std::vector<Entry>& entries, const std::wstring& folder);
    // Copies entry i to the full path `targets[i]`, replacing nothing that is there.
    void CopyAs(const std::vector<Entry>& entries, const std::vector<std::wstring>& targets);
    // Moves each entry into `folder` under its own name; an entry whose name is taken there stays.
    void MoveTo(const std::vector<Entry>& entries, const std::wstring& folder);
    // Deletes each entry for good, folders with everything in them but read-only entries.
    void Delete(const std::vector<Entry>& entries);

    const std::vector<Failure>& Failures() const { return failures_; }

  private:
    bool CopyOne(const std::wstring& from, const std::wstring& to, bool folder);
    bool CopyFileReplacing(const std::wstring& from, const std::wstring& to);
    bool CopyTree(const std::wstring& from, const std::wstring& to);
    bool MoveOne(const std::wstring& from, const std::wstring& to, bool folder);
    bool DeleteTree(const std::wstring& folder);
    bool DeleteFileEntry(const std::wstring& path);
    // False (with the failure recorded) when `target` cannot take `from`'s place. Inside a tree (not
    // `top`) source and target are known to differ.
    bool TargetAllowed(const std::wstring& from, const std::wstring& target, bool folder, bool replaceFiles,
                       bool top);
    void Fail(const std::wstring& path, DWORD error);
    void Fail(const std::wstring& path, FailureReason reason);
    void Tally(const std::vector<Entry>& entries);
    bool Stopped();

    Progress* progress_;
    std::vector<Failure> failures_;
    uint64_t total_ = 0, done_ = 0;
    bool cancelled_ = false;
    bool replaceFiles_ = true;
};

// Sends one file or folder to the recycle bin in one shell operation, with the shell's own
// confirmation and error dialogs.
void 删除到回收站(const std::wstring& path);

// The system's words for a Win32 error code.
std::wstring SystemText(DWORD error);

// True when both paths name the same existing file or folder (whatever their spelling).
bool SameEntry(const std::wstring& a, const std::wstring& b);

} // namespace browser
