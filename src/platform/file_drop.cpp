#include "platform/file_drop.h"

#include <shlobj.h>

namespace platform {
namespace {

using Microsoft::WRL::ComPtr;

// The mouse drags, Escape cancels; the cursors are the system's.
class DropSource final : public ComObject<DropSource, IDropSource> {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid != IID_IUnknown && iid != IID_IDropSource) return *out = nullptr, E_NOINTERFACE;
        *out = static_cast<IDropSource*>(this);
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape) return DRAGDROP_S_CANCEL;
        return keys & (MK_LBUTTON | MK_RBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

} // namespace

std::vector<std::wstring> DroppedPaths(HDROP drop) {
    std::vector<std::wstring> paths;
    UINT n = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < n; ++i) {
        UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), length + 1));
        if (!path.empty()) paths.push_back(std::move(path));
    }
    return paths;
}

std::vector<std::wstring> DataObjectPaths(IDataObject* data) {
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (!data || FAILED(data->GetData(&format, &medium))) return {};
    std::vector<std::wstring> paths;
    if (void* drop = GlobalLock(medium.hGlobal)) {
        paths = DroppedPaths(static_cast<HDROP>(drop));
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    return paths;
}

ComPtr<FileDropTarget> FileDropTarget::Register(HWND window, FileDropHandler handler) {
    ComPtr<FileDropTarget> target = Make(std::move(handler));
    if (FAILED(RegisterDragDrop(window, target.Get()))) return nullptr;
    target->window_ = window;
    return target;
}

void FileDropTarget::Revoke() {
    if (window_) RevokeDragDrop(std::exchange(window_, nullptr));
}

HRESULT FileDropTarget::QueryInterface(REFIID iid, void** out) {
    if (iid != IID_IUnknown && iid != IID_IDropTarget) return *out = nullptr, E_NOINTERFACE;
    *out = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
}

HRESULT FileDropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) {
    paths_ = DataObjectPaths(data);
    return DragOver(keys, at, effect);
}

HRESULT FileDropTarget::DragOver(DWORD keys, POINTL at, DWORD* effect) {
    *effect = paths_.empty() ? DROPEFFECT_NONE : handler_(paths_, {at.x, at.y}, keys, *effect, false);
    return S_OK;
}

HRESULT FileDropTarget::DragLeave() {
    paths_.clear();
    return S_OK;
}

HRESULT FileDropTarget::Drop(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) {
    paths_.clear();
    std::vector<std::wstring> paths = DataObjectPaths(data);
    *effect = paths.empty() ? DROPEFFECT_NONE : handler_(paths, {at.x, at.y}, keys, *effect, true);
    return S_OK;
}

ComPtr<IDataObject> ShellDataObject(const std::vector<std::wstring>& paths) {
    if (paths.empty()) return nullptr;
    std::vector<PIDLIST_ABSOLUTE> items;
    std::vector<PCUITEMID_CHILD> children;
    for (const std::wstring& path : paths) {
        PIDLIST_ABSOLUTE item = nullptr;
        if (FAILED(SHParseDisplayName(path.c_str(), nullptr, &item, 0, nullptr))) continue;
        items.push_back(item);
        children.push_back(ILFindLastID(item));
    }
    ComPtr<IDataObject> data;
    ComPtr<IShellFolder> parent;
    if (!items.empty() && SUCCEEDED(SHBindToParent(items[0], IID_IShellFolder,
                                                   reinterpret_cast<void**>(parent.GetAddressOf()), nullptr)))
        parent->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(), IID_IDataObject,
                              nullptr, reinterpret_cast<void**>(data.GetAddressOf()));
    for (PIDLIST_ABSOLUTE item : items)
        CoTaskMemFree(item);
    return data;
}

DWORD DragFilesOut(const std::vector<std::wstring>& paths) {
    ComPtr<IDataObject> data = ShellDataObject(paths);
    if (!data) return DROPEFFECT_NONE;
    ComPtr<DropSource> source = DropSource::Make();
    DWORD effect = DROPEFFECT_NONE;
    if (DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect) !=
        DRAGDROP_S_DROP)
        return DROPEFFECT_NONE;
    return effect;
}

} // namespace platform
