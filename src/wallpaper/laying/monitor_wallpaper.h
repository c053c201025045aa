// "每台显示器各一张" on the system: the monitors as Windows has them, and a picture set on each, through
// the shell's per-monitor wallpaper object where there is one, else as one bitmap spanning them all.
#pragma once
#include "platform/win.h"
#include "settings/wallpaper_position.h"
#include "wallpaper/laying/monitor_layout.h"

#include <optional>
#include <shobjidl.h>
#include <string>
#include <vector>
#include <wrl/client.h>

namespace wallpaper {

// The monitors as the system has them now, sorted left to right then top to bottom (SortMonitors),
// with their device paths where `desktop` is given.
std::vector<Monitor> CurrentMonitors(IDesktopWallpaper* desktop = nullptr);

// The shell's per-monitor wallpaper object (Windows 8 and later); null where there is none (Wine).
// COM must be started on the calling thread.
Microsoft::WRL::ComPtr<IDesktopWallpaper> SystemDesktopWallpaper();

// The bitmap of monitor `number` (its 1-based place in the sorted order): the first monitor's is
// `bitmapPath` itself, the others' lie beside it with the number: "...\Vesmar.bmp" -> "...\Vesmar-2.bmp".
std::wstring MonitorBitmapPath(const std::wstring& bitmapPath, int number);

struct MonitorPictureRequest {
    Monitor monitor;
    std::wstring path;                    // the picture for it (empty: the built-in picture)
    std::optional<std::wstring> previous; // what it showed before: shown again when `path` cannot be decoded
};

struct MonitorSetResult {
    // One per request: empty when that monitor got its picture, else why not.
    std::vector<std::wstring> errors;
    // When no monitor got its picture: why, for the user.
    std::wstring error;
};

// Sets each monitor's picture (one request for each monitor of CurrentMonitors, in that order),
// decoding one picture at a time at the size its monitor needs for `position`. The bitmap's folder
// is made when missing.
// - With `desktop`: monitor i's own bitmap, made for its size (PlanBitmap), is written whole at
//   MonitorBitmapPath(bitmapPath, i + 1) and handed to desktop->SetWallpaper for its device path;
//   then the position is set once (跨区 is set as 填充). A monitor whose picture cannot be decoded keeps
//   its file and its wallpaper; `previous` is not used, the system still shows it. The registry is
//   left to the system.
// - Without: one bitmap covering the virtual screen is written whole at `bitmapPath`, each monitor's
//   picture drawn in its rectangle as the desktop would show it there, the rest in the desktop colour;
//   a monitor whose picture cannot be decoded shows `previous` (or the desktop colour). The desktop
//   then spans it ("WallpaperStyle" "22") and the system loads it, as SetWallpaper does. When no
//   monitor's own picture can be decoded nothing is written.
MonitorSetResult SetMonitorWallpapers(const std::vector<MonitorPictureRequest>& requests,
                                      const std::wstring& bitmapPath, settings::WallpaperPosition position,
                                      IDesktopWallpaper* desktop);

// Deletes the bitmaps MonitorBitmapPath(bitmapPath, n), n >= 2, that exist: the setting went back
// to one picture for all monitors.
void DeleteMonitorBitmaps(const std::wstring& bitmapPath);

} // namespace wallpaper
