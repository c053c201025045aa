#include "monitor/shell_events.h"

namespace monitor {
namespace {

struct Named {
    std::uint32_t id;
    const wchar_t* name;
};

constexpr Named Events[] = {
    {0x1, L"SHCNE_RENAMEITEM"},
    {0x2, L"SHCNE_CREATE"},
    {0x4, L"SHCNE_DELETE"},
    {0x8, L"SHCNE_MKDIR"},
    {0x10, L"SHCNE_RMDIR"},
    {0x20, L"SHCNE_MEDIAINSERTED"},
    {0x40, L"SHCNE_MEDIAREMOVED"},
    {0x80, L"SHCNE_DRIVEREMOVED"},
    {0x100, L"SHCNE_DRIVEADD"},
    {0x200, L"SHCNE_NETSHARE"},
    {0x400, L"SHCNE_NETUNSHARE"},
    {0x800, L"SHCNE_ATTRIBUTES"},
    {0x1000, L"SHCNE_UPDATEDIR"},
    {0x2000, L"SHCNE_UPDATEITEM"},
    {0x4000, L"SHCNE_SERVERDISCONNECT"},
    {0x8000, L"SHCNE_UPDATEIMAGE"},
    {0x10000, L"SHCNE_DRIVEADDGUI"},
    {0x20000, L"SHCNE_RENAMEFOLDER"},
    {0x40000, L"SHCNE_FREESPACE"},
    {0x8000000, L"SHCNE_ASSOCCHANGED"},
    {0x2381F, L"SHCNE_DISKEVENTS"},
    {0xC0581E0, L"SHCNE_GLOBALEVENTS"},
    {0x7FFFFFFF, L"SHCNE_ALLEVENTS"},
    {0x80000000, L"SHCNE_INTERRUPT"},
};

} // namespace

std::wstring ShellEventName(std::uint32_t id) {
    for (const Named& e : Events)
        if (e.id == id) return e.name;
    return {};
}

} // namespace monitor
