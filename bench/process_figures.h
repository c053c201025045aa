// What a program running as its own process holds, read from outside it (under Wine
// GetProcessHandleCount gives 0 and PrivateUsage is 0 for another process), and the user's desktop
// folder pointed elsewhere for a run.
#pragma once
#include "platform/win.h"

#include <psapi.h>
#include <winternl.h>

#include <string>
#include <vector>

namespace bench {

// Handles the process holds, counted in the system's handle table.
inline size_t HandleCount(DWORD pid) {
    struct Entry {
        USHORT process, creatorBackTraceIndex;
        UCHAR type, attributes;
        USHORT handle;
        void* object;
        ULONG access;
    };
    std::vector<char> buffer(1 << 20);
    ULONG needed = 0;
    for (;;) {
        NTSTATUS s = NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(16), buffer.data(),
                                              ULONG(buffer.size()), &needed);
        if (s != LONG(0xC0000004)) break; // STATUS_INFO_LENGTH_MISMATCH
        buffer.resize(buffer.size() * 2);
    }
    ULONG n = *reinterpret_cast<ULONG*>(buffer.data());
    auto* entries = reinterpret_cast<Entry*>(buffer.data() + sizeof(void*));
    size_t count = 0;
    for (ULONG i = 0; i < n; ++i)
        if (entries[i].process == pid) ++count;
    return count;
}

inline double MemoryMb(HANDLE process) {
    PROCESS_MEMORY_COUNTERS m{sizeof m};
    GetProcessMemoryInfo(process, &m, sizeof m);
    return double(m.PagefileUsage) / (1024.0 * 1024.0);
}

// Points the user's desktop folder at `path` while this lives; the values go back as they were, type and all.
class DesktopAt {
  public:
    explicit DesktopAt(const std::wstring& path) {
        for (int i = 0; i < 2; ++i) {
            DWORD bytes = sizeof old_[i].data;
            RegGetValueW(HKEY_CURRENT_USER, Keys[i], L"Desktop",
                         RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &old_[i].type, old_[i].data,
                         &bytes);
            old_[i].bytes = bytes;
        }
        Set(path);
    }
    ~DesktopAt() {
        for (int i = 0; i < 2; ++i)
            RegSetKeyValueW(HKEY_CURRENT_USER, Keys[i], L"Desktop", old_[i].type, old_[i].data,
                            old_[i].bytes);
    }
    void Set(const std::wstring& path) {
        for (const wchar_t* key : Keys)
            RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Desktop", REG_SZ, path.c_str(),
                            DWORD((path.size() + 1) * sizeof(wchar_t)));
    }

  private:
    static constexpr const wchar_t* Keys[2] = {
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"};
    struct {
        DWORD type = REG_SZ, bytes = 0;
        wchar_t data[1024] = L"";
    } old_[2];
};

} // namespace bench
