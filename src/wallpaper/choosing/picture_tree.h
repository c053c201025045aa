// The pictures of a folder and of all its subfolders, listed on a thread of their own.
#pragma once
#include "core/worker.h"
#include "platform/win.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace wallpaper {

// Sent to the window when a listing has ended (wParam: its generation).
inline constexpr UINT WM_PICTURES_LISTED = WM_APP + 22;

// The pictures of `folder` and its subfolders, each by its path relative to `folder` ("旅行\海边.jpg"),
// in the list's order. Hidden and system folders and links to folders (junctions and symbolic links,
// by the attributes the listing gives) are not entered, nor a folder entered already (by its volume
// and file index), so no loop is possible; a folder that cannot be read is passed over. The walk
// stops early once `stale()` says so.
std::vector<std::wstring> ListPictureTree(const std::wstring& folder,
                                          const std::function<bool()>& stale = {});

// The pictures of `folder` itself and of the trees of its subfolders named `subfolders` (those that
// are there), each by its path relative to `folder`, in the list's order.
std::vector<std::wstring> ListPicturesWith(const std::wstring& folder, const std::vector<std::wstring>& subfolders);

class PictureLister {
  public:
    explicit PictureLister(HWND window) : window_(window) {}
    PictureLister(const PictureLister&) = delete;
    PictureLister& operator=(const PictureLister&) = delete;

    // Lists `folder`'s tree; the generation its result will carry. A newer listing drops an older one.
    uint32_t List(std::wstring folder);
    // The result of listing `generation`, once, if it is the newest.
    std::optional<std::vector<std::wstring>> Take(uint32_t generation);
    // Drops the listing that runs or waits.
    void Cancel();

  private:
    HWND window_;
    uint32_t generation_ = 0;
    std::mutex mutex_;
    std::optional<std::pair<uint32_t, std::vector<std::wstring>>> listed_;
    core::Worker worker_; // last: its thread ends before the rest goes
};

} // namespace wallpaper
