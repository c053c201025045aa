// Registration of a window for the shell's change notifications, and the names of shell items.
#pragma once
#include "platform/win.h"

#include <shtypes.h>

#include <string>

namespace monitor {

// The message the shell posts to the registered window: wParam points at the two item-ID
// list pointers of the change (either may be null), lParam is the event id.
inline constexpr UINT WM_SHELLNOTIFY = WM_USER + 1;

struct IdListTraits {
    static PIDLIST_ABSOLUTE Invalid() { return nullptr; }
    static void Close(PIDLIST_ABSOLUTE list);
};
using UniqueIdList = platform::Owned<PIDLIST_ABSOLUTE, IdListTraits>;

// Registers `window` for every change anywhere under the desktop; false when a registration is
// already held (it stays in force) or the shell refuses.
bool RegisterShellNotify(HWND window);
// Ends the registration; false when none is held or the shell refuses (then it stays held).
bool DeregisterShellNotify();
bool ShellNotifyRegistered();

// The item-ID list of a special folder (CSIDL), or none.
UniqueIdList SpecialFolderIDList(HWND owner, int folder);
// The shell's display name of the item; empty when the shell cannot name it.
std::wstring IDListDisplayName(PCIDLIST_ABSOLUTE list);
// The item's file-system path; empty for items outside the file system.
std::wstring IDListPath(PCIDLIST_ABSOLUTE list);

} // namespace monitor
