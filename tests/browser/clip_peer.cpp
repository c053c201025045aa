// Another program on the clipboard, as Explorer is: it reads the files there (CF_HDROP and
// "Preferred DropEffect" through OLE), puts files there as a cut, or pastes them into a folder.
//   clip_peer read <out file>       writes the effect, then one path a line (UTF-16)
//   clip_peer cut <path>...         puts the paths on the clipboard to be moved
//   clip_peer paste <folder>        copies (or, after a cut, moves) the files into the folder
#include "platform/win.h"

#include <filesystem>
#include <fstream>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <string>
#include <vector>

namespace {

struct Clip {
    DWORD effect = 0;
    std::vector<std::wstring> paths;
};

Clip ReadClipboard() {
    Clip clip;
    IDataObject* data = nullptr;
    if (FAILED(OleGetClipboard(&data))) return clip;
    FORMATETC files{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM m{};
    if (SUCCEEDED(data->GetData(&files, &m))) {
        auto drop = static_cast<HDROP>(GlobalLock(m.hGlobal));
        for (UINT i = 0, n = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0); i < n; ++i) {
            wchar_t path[MAX_PATH * 4];
            DragQueryFileW(drop, i, path, MAX_PATH * 4);
            clip.paths.push_back(path);
        }
        GlobalUnlock(m.hGlobal);
        ReleaseStgMedium(&m);
    }
    FORMATETC effect{static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT)), nullptr,
                     DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (SUCCEEDED(data->GetData(&effect, &m))) {
        clip.effect = *static_cast<DWORD*>(GlobalLock(m.hGlobal));
        GlobalUnlock(m.hGlobal);
        ReleaseStgMedium(&m);
    }
    data->Release();
    return clip;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    OleInitialize(nullptr);
    std::wstring mode = argc > 2 ? argv[1] : L"";
    int result = 2;
    if (mode == L"read") {
        Clip clip = ReadClipboard();
        std::wstring text = std::to_wstring(clip.effect) + L"\n";
        for (const std::wstring& p : clip.paths)
            text += p + L"\n";
        std::ofstream(std::filesystem::path(argv[2]), std::ios::binary)
            .write(reinterpret_cast<const char*>(text.data()), static_cast<std::streamsize>(text.size() * 2));
        result = 0;
    } else if (mode == L"cut") {
        std::wstring list;
        for (int i = 2; i < argc; ++i)
            list += std::wstring(argv[i]) + L'\0';
        list += L'\0';
        HGLOBAL files = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size() * 2);
        auto* drop = static_cast<DROPFILES*>(GlobalLock(files));
        drop->pFiles = sizeof(DROPFILES);
        drop->fWide = TRUE;
        memcpy(drop + 1, list.data(), list.size() * 2);
        GlobalUnlock(files);
        HGLOBAL effect = GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD));
        *static_cast<DWORD*>(GlobalLock(effect)) = DROPEFFECT_MOVE;
        GlobalUnlock(effect);
        // The clipboard takes data only from a window that owns it; what it holds outlives the window.
        HWND owner = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        if (OpenClipboard(owner)) {
            EmptyClipboard();
            SetClipboardData(CF_HDROP, files);
            SetClipboardData(RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT), effect);
            CloseClipboard();
            result = 0;
        }
        DestroyWindow(owner);
    } else if (mode == L"paste") {
        Clip clip = ReadClipboard();
        std::wstring from;
        for (const std::wstring& p : clip.paths)
            from += p + L'\0';
        from += L'\0';
        std::wstring to = std::wstring(argv[2]) + L'\0';
        SHFILEOPSTRUCTW op{};
        op.wFunc = clip.effect == DROPEFFECT_MOVE ? FO_MOVE : FO_COPY;
        op.pFrom = from.c_str();
        op.pTo = to.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        result = clip.paths.empty() ? 3 : SHFileOperationW(&op) ? 4 : 0;
    }
    OleUninitialize();
    return result;
}
