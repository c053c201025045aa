#include "monitor/shell_notify.h"

#include <shellapi.h>
#include <shlobj.h>

#include <vector>

namespace monitor {
namespace {

constexpr int AllSources = 0xFF; // without SHCNRF_NewDelivery: the items come as two pointers
constexpr LONG AllEvents = static_cast<LONG>(0xFFFFFFFF);

// One registration per process; it is ended when the process ends, if not before.
struct Registration {
    ULONG handle = 0;
    UniqueIdList watched;
    ~Registration() {
        if (handle) SHChangeNotifyDeregister(handle);
    }
};
Registration registration;

} // namespace

void IdListTraits::Close(PIDLIST_ABSOLUTE list) {
    CoTaskMemFree(list);
}

bool RegisterShellNotify(HWND window) {
    if (registration.handle) return false;
    UniqueIdList desktop = SpecialFolderIDList(nullptr, CSIDL_DESKTOP);
    if (!desktop) return false;
    SHChangeNotifyEntry entry{desktop.get(), TRUE};
    registration.handle = SHChangeNotifyRegister(window, AllSources, AllEvents, WM_SHELLNOTIFY, 1, &entry);
    // A refused registration does not keep the list.
    if (registration.handle) registration.watched = std::move(desktop);
    return registration.handle != 0;
}

bool DeregisterShellNotify() {
    if (!registration.handle) return false;
    if (!SHChangeNotifyDeregister(registration.handle)) return false;
    registration.handle = 0;
    registration.watched.reset();
    return true;
}

bool ShellNotifyRegistered() {
    return registration.handle != 0;
}

UniqueIdList SpecialFolderIDList(HWND owner, int folder) {
    PIDLIST_ABSOLUTE list = nullptr;
    if (SHGetSpecialFolderLocation(owner, folder, &list) != S_OK) {
        CoTaskMemFree(list);
        return {};
    }
    return UniqueIdList(list);
}

std::wstring IDListDisplayName(PCIDLIST_ABSOLUTE list) {
    if (!list) return {};
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(reinterpret_cast<const wchar_t*>(list), 0, &info, sizeof info,
                        SHGFI_PIDL | SHGFI_DISPLAYNAME))
        return {};
    return info.szDisplayName;
}

std::wstring IDListPath(PCIDLIST_ABSOLUTE list) {
    if (!list) return {};
    // Room for the longest path Windows knows; kept between calls, since notifications come in bursts.
    static std::vector<wchar_t> buffer(32768);
    buffer[0] = L'\0';
    if (!SHGetPathFromIDListEx(list, buffer.data(), static_cast<DWORD>(buffer.size()), GPFIDL_DEFAULT))
        return {};
    return buffer.data();
}

} // namespace monitor
