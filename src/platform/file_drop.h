// Files in OLE drag and drop, in the shell's form (CF_HDROP): a drop target for a window, dragging
// files out as the shell's own data object, and reading the paths of a CF_HDROP block.
#pragma once
#include "platform/com_object.h"

#include <functional>
#include <oleidl.h>
#include <shellapi.h>
#include <string>
#include <vector>

namespace platform {

std::vector<std::wstring> DroppedPaths(HDROP drop);
// The paths a data object carries as CF_HDROP (none when it carries none).
std::vector<std::wstring> DataObjectPaths(IDataObject* data);

// Decides what a drop of `paths` at the screen point `at` with `keys` (MK_*) held does, out of the
// `allowed` DROPEFFECT_* bits; does it when `drop` is true. Returns the effect (DROPEFFECT_NONE: refused).
using FileDropHandler = std::function<DWORD(const std::vector<std::wstring>& paths, POINT at, DWORD keys,
                                            DWORD allowed, bool drop)>;

class FileDropTarget final : public ComObject<FileDropTarget, IDropTarget> {
  public:
    // Registers a drop target for `window` that stays until the window goes (or Revoke).
    static Microsoft::WRL::ComPtr<FileDropTarget> Register(HWND window, FileDropHandler handler);
    void Revoke();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL at, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;

  private:
    friend class ComObject<FileDropTarget, IDropTarget>;
    explicit FileDropTarget(FileDropHandler handler) : handler_(std::move(handler)) {}
    HWND window_ = nullptr;
    FileDropHandler handler_;
    std::vector<std::wstring> paths_; // of the drag over the window
};

// The shell's data object for `paths` (all in one folder), as Explorer hands out; null when the shell
// cannot name them.
Microsoft::WRL::ComPtr<IDataObject> ShellDataObject(const std::vector<std::wstring>& paths);
// Drags `paths` out with the mouse button held; the effect the drop target chose.
DWORD DragFilesOut(const std::vector<std::wstring>& paths);

} // namespace platform
