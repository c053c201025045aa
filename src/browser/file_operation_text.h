// What the browser's file operations say when an entry could not be done; no Windows headers here.
#pragma once
#include <string>
#include <vector>

namespace browser {

enum class FileOperation { Copy, Move, Delete };

enum class FailureReason {
    Exists,       // the chosen folder already holds an entry of that name
    SamePlace,    // the entry would be copied or moved onto itself
    IntoItself,   // a folder would go into itself or one of its own subfolders
    ReadOnly,     // a read-only entry is not deleted or replaced
    InUse,        // another program has the file open
    AccessDenied, // no rights
    NotFound,     // the entry is gone
    DiskFull,
    Link,      // a linked folder is not followed
    Cancelled, // the user stopped the operation
    Other,     // the system's own words are in `detail`
};

struct Failure {
    std::wstring path;
    FailureReason reason = FailureReason::Other;
    std::wstring detail; // the system's message for Other
};

// The reason in words.
std::wstring ReasonText(const Failure& failure);

// The text of the one message box that reports an operation's failures; empty when there are none.
// Long lists are cut after `shown` entries, with the number of the others.
std::wstring FailureReport(FileOperation operation, const std::vector<Failure>& failures, size_t shown = 15);

// The name part of a path ("C:\a\b\" and "C:\a\b" both give "b").
std::wstring EntryName(const std::wstring& path);
// `folder` and `name` joined by exactly one backslash.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

} // namespace browser
