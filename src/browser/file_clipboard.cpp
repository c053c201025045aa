#include "browser/file_clipboard.h"

#include "platform/file_drop.h"

#include <shlobj.h>

namespace browser {
namespace {

UINT PreferredDropEffectFormat() {
    static UINT format = RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT);
    return format;
}

// A DROPFILES block with wide, double-NUL-ended paths.
HGLOBAL MakeDropFiles(const std::vector<std::wstring>& paths) {
    size_t chars = 1;
    for (const std::wstring& p : paths)
        chars += p.size() + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    if (!block) return nullptr;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(drop + 1);
    for (const std::wstring& p : paths) {
        std::copy(p.begin(), p.end(), text);
        text += p.size() + 1;
    }
    GlobalUnlock(block);
    return block;
}

HGLOBAL MakeEffect(DWORD effect) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD));
    if (!block) return nullptr;
    *static_cast<DWORD*>(GlobalLock(block)) = effect;
    GlobalUnlock(block);
    return block;
}

} // namespace

bool PutFilesOnClipboard(HWND owner, const std::vector<std::wstring>& paths, bool cut) {
    if (paths.empty() || !OpenClipboard(owner)) return false;
    EmptyClipboard();
    bool done = false;
    if (HGLOBAL files = MakeDropFiles(paths)) {
        done = SetClipboardData(CF_HDROP, files) != nullptr;
        if (!done) GlobalFree(files);
    }
    if (HGLOBAL effect = MakeEffect(cut ? DROPEFFECT_MOVE : DROPEFFECT_COPY | DROPEFFECT_LINK))
        if (!SetClipboardData(PreferredDropEffectFormat(), effect)) GlobalFree(effect);
    CloseClipboard();
    return done;
}

ClipboardFiles FilesOnClipboard(HWND owner) {
    ClipboardFiles files;
    if (!IsClipboardFormatAvailable(CF_HDROP) || !OpenClipboard(owner)) return files;
    if (HANDLE drop = GetClipboardData(CF_HDROP)) {
        if (void* p = GlobalLock(drop)) {
            files.paths = platform::DroppedPaths(static_cast<HDROP>(p));
            GlobalUnlock(drop);
        }
    }
    if (HANDLE effect = GetClipboardData(PreferredDropEffectFormat())) {
        if (auto* p = static_cast<DWORD*>(GlobalLock(effect))) {
            // Only a cut offers to move and nothing else.
            files.cut = (*p & DROPEFFECT_MOVE) && !(*p & DROPEFFECT_COPY);
            GlobalUnlock(effect);
        }
    }
    CloseClipboard();
    return files;
}

void ForgetPastedCut(HWND owner, const ClipboardFiles& files) {
    ClipboardFiles now = FilesOnClipboard(owner);
    if (!now.cut || now.paths != files.paths || !OpenClipboard(owner)) return;
    EmptyClipboard();
    CloseClipboard();
}

} // namespace browser
