// Another program pasting as Explorer does: `clip_peer <folder>` takes the files on the clipboard
// (CF_HDROP) into the folder, moved when their "Preferred DropEffect" is a move. Exit code 0 when done.
#include "platform/win.h"

#include <shellapi.h>
#include <shlobj.h>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2 || !OpenClipboard(nullptr)) return 2;
    std::wstring from, to = std::wstring(argv[1]) + L'\0';
    if (auto drop = static_cast<HDROP>(GetClipboardData(CF_HDROP)))
        for (UINT i = 0, n = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0); i < n; ++i) {
            wchar_t path[MAX_PATH * 4];
            DragQueryFileW(drop, i, path, MAX_PATH * 4);
            from += std::wstring(path) + L'\0';
        }
    HANDLE effect = GetClipboardData(RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT));
    bool move = effect && *static_cast<DWORD*>(GlobalLock(effect)) == DROPEFFECT_MOVE;
    CloseClipboard();
    from += L'\0';
    SHFILEOPSTRUCTW op{};
    op.wFunc = move ? FO_MOVE : FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    return from.size() < 2 ? 3 : SHFileOperationW(&op) ? 4 : 0;
}
