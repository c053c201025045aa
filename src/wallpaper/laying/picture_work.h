// Decoding pictures for the preview and writing the wallpaper, on a thread of their own, so that the
// window never waits for a picture. One job runs at a time, in the order asked: a decode asked for
// after a set waits for it, and a set waits for the decode before it. The newest decode wins: one
// asked for drops the decode still waiting, and a running one that is overtaken throws its picture
// away, unless the newer one asks for the same picture at another size (the window was resized):
// then the picture in hand serves it. Of the sets waiting, only the newest runs; a running set always
// ends. No decoded picture is kept: the preview gets its bitmap, and a set decodes the file again at
// the size the wallpaper needs, unless it waits right behind the decode of the same file, which then
// hands it the picture (the automatic change, "下一张墙纸").
// The picture list's thumbnails are made here too, one at a time in the worker's background lane, so
// that a decode or a set never waits behind more than the one thumbnail being made.
#pragma once
#include "core/worker.h"
#include "platform/win.h"
#include "wallpaper/laying/monitor_wallpaper.h"
#include "wallpaper/pictures/picture.h"
#include "wallpaper/laying/monitor_layout.h"
#include "wallpaper/laying/wallpaper_setter.h"
#include "wallpaper/pictures/thumbnail_file.h"

#include <deque>
#include <mutex>
#include <optional>
#include <string>

namespace wallpaper {

// Sent to the window when a decode has ended (wParam: its generation) and when a set has ended.
inline constexpr UINT WM_PICTURE_DECODED = WM_APP + 20;
inline constexpr UINT WM_WALLPAPER_SET = WM_APP + 21;
// Sent when thumbnails wait to be taken (TakeThumbnails).
inline constexpr UINT WM_THUMBNAILS_MADE = WM_APP + 23;

// The picture of `path`, or the built-in one for an empty path, decoded for `target`.
std::optional<Picture> LoadPicture(const std::wstring& path, const DecodeTarget& target, std::wstring* why);

class PictureWork {
  public:
    explicit PictureWork(HWND window) : window_(window) {}
    PictureWork(const PictureWork&) = delete;
    PictureWork& operator=(const PictureWork&) = delete;

    // Decodes `path` (empty: the built-in picture) for a preview pane of paneW × paneH; the generation
    // its result will carry.
    uint32_t Decode(std::wstring path, int paneW, int paneH);
    struct Decoded {
        platform::UniqueGdi preview; // the picture fitted into the pane; nothing when it could not be decoded
        PixelSize full;              // the picture's own size, upright
        std::wstring why;            // why it could not be decoded, for the user (may be empty)
    };
    // The result of decode `generation`, once, if it is the newest decode's.
    std::optional<Decoded> TakeDecoded(uint32_t generation);
    // Drops the decode waiting; a running one throws its picture away.
    void CancelDecode();

    struct SetRequest {
        std::wstring path;                    // the picture to set; empty for the built-in one
        std::optional<std::wstring> fallback; // set instead when `path` cannot be decoded
        std::wstring bitmapPath;
        settings::WallpaperPosition position = settings::WallpaperPosition::Center;
        ScreenSize screen;
        bool report = false;  // the user asked: a failure is shown to them
        bool remember = true; // a new wallpaper for the history (not one it went back or forward to)
    };
    // A set of `path` is about to be asked for: a decode of it for the preview stays whole to serve it.
    void SetComing(const std::wstring& path);
    // Makes the picture the wallpaper after what is asked already; the set's number.
    uint32_t Set(SetRequest request);
    struct SetResult {
        uint32_t set = 0;
        std::wstring error; // empty when the wallpaper was set
        bool report = false;
        std::wstring path; // the picture set (empty: the built-in one)
        bool remember = false;
        // A set on each monitor: the monitors that got their picture, by their keys (MonitorKey).
        std::optional<Arrangement> monitors;
    };
    // A picture for each monitor: `monitors` (one request for each monitor, in order) set in one go,
    // after what is asked already, as a set is.
    struct MonitorsRequest {
        std::vector<MonitorPictureRequest> monitors;
        std::wstring bitmapPath;
        settings::WallpaperPosition position = settings::WallpaperPosition::Center;
        bool report = false, remember = true;
    };
    uint32_t SetMonitors(MonitorsRequest request);
    // The sets that have ended since the last call, oldest first.
    std::deque<SetResult> TakeSetResults();

    // Drops every job still waiting; the running one ends as it would.
    void CancelWaiting();

    // Thumbnails of `asks` (in the order wanted) fitted into boxW × boxH, for the list filled as `list`;
    // the thumbnails still waiting are dropped. Those kept in `cacheFolder` (when not empty) are read
    // from it first, before any is made; the others are made and kept there.
    struct ThumbnailAsk {
        int row = 0;
        std::wstring path;
    };
    void Thumbnails(uint32_t list, std::vector<ThumbnailAsk> asks, const std::wstring& cacheFolder, int boxW,
                    int boxH);
    void CancelThumbnails();
    struct Thumbnail {
        uint32_t list = 0;
        int row = 0;
        std::wstring path;
        ThumbnailPixels pixels;
    };
    // The thumbnails made since the last call.
    std::vector<Thumbnail> TakeThumbnails();

  private:
    static constexpr int DecodeLane = 0, SetLane = 1, ThumbnailLane = core::BackgroundLane;
    struct ThumbnailBatch;
    void RunThumbnail(ThumbnailBatch& batch, size_t i, bool make);
    struct DecodeAsk {
        uint32_t generation = 0;
        std::wstring path;
        int paneW = 0, paneH = 0;
        bool cancelled = false;
    };
    void RunDecode(const DecodeAsk& ask);
    void RunSet(uint32_t set, const SetRequest& request);
    void RunSetMonitors(uint32_t set, const MonitorsRequest& request);
    void Finished(SetResult result);

    HWND window_;
    uint32_t sets_ = 0;
    std::mutex mutex_;
    DecodeAsk newest_;                                           // the decode asked for last
    std::optional<std::wstring> setWaiting_;                     // the picture of the set asked for last
    std::optional<std::pair<std::wstring, Picture>> handedOver_; // a decode's picture for that set
    uint32_t served_ = 0;                                        // the newest decode whose result was posted
    std::optional<std::pair<uint32_t, Decoded>> decoded_;        // posted, not yet taken
    std::deque<SetResult> setResults_;
    uint32_t thumbnails_ = 0;               // the newest thumbnails' generation
    std::vector<Thumbnail> madeThumbnails_; // made, not yet taken
    std::optional<ThumbnailStore> store_;   // the worker's alone
    core::Worker worker_;                   // last: its thread ends before the rest goes
};

} // namespace wallpaper
