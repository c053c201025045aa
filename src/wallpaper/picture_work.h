// Decoding pictures for the preview and writing the wallpaper, on a thread of their own, so that the
// window never waits for a picture. One job runs at a time, in the order asked: a decode asked for
// after a set waits for it, and a set waits for the decode before it. The newest decode wins: one
// asked for drops the decode still waiting, and a running one that is overtaken throws its picture
// away. Of the sets waiting, only the newest runs; a running set always ends. Memory stays at the
// shown picture and the one being decoded.
#pragma once
#include "core/worker.h"
#include "platform/win.h"
#include "wallpaper/picture.h"
#include "wallpaper/wallpaper_setter.h"

#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace wallpaper {

// Sent to the window when a decode has ended (wParam: its generation) and when a set has ended.
inline constexpr UINT WM_PICTURE_DECODED = WM_APP + 20;
inline constexpr UINT WM_WALLPAPER_SET = WM_APP + 21;

using SharedPicture = std::shared_ptr<const Picture>;

class PictureWork {
  public:
    explicit PictureWork(HWND window) : window_(window) {}
    PictureWork(const PictureWork&) = delete;
    PictureWork& operator=(const PictureWork&) = delete;

    // Decodes `path` for a preview pane of paneW × paneH; the generation its result will carry.
    uint32_t Decode(std::wstring path, int paneW, int paneH);
    struct Decoded {
        SharedPicture picture;       // nothing when the file could not be decoded
        platform::UniqueGdi preview; // the picture fitted into the pane, as PreviewBitmap makes it
        std::wstring why;            // why it could not be decoded, for the user (may be empty)
    };
    // The result of decode `generation`, once, if it is the newest decode's.
    std::optional<Decoded> TakeDecoded(uint32_t generation);

    // A set of the picture the preview is loading, or else of the one it shows: a file that cannot
    // be decoded leaves the preview as it was, and the set takes what the preview shows.
    struct SetRequest {
        SharedPicture shown;
        std::wstring shownPath; // empty for the built-in picture
        std::wstring loadingPath;
        uint32_t loading = 0; // the decode that brings it
        std::wstring bitmapPath;
        settings::WallpaperPosition position = settings::WallpaperPosition::Center;
        ScreenSize screen;
        bool report = false; // the user asked: a failure is shown to them
    };
    // Makes the picture the wallpaper after what is asked already; the set's number.
    uint32_t Set(SetRequest request);
    struct SetResult {
        uint32_t set = 0;
        std::wstring error; // empty when the wallpaper was set
        bool report = false;
    };
    // The sets that have ended since the last call, oldest first.
    std::deque<SetResult> TakeSetResults();

    // Drops every job still waiting; the running one ends as it would.
    void CancelWaiting();

  private:
    static constexpr int DecodeLane = 0, SetLane = 1;
    void RunDecode(uint32_t generation, const std::wstring& path, int paneW, int paneH);
    void RunSet(uint32_t set, const SetRequest& request);

    HWND window_;
    uint32_t decodes_ = 0, sets_ = 0;
    std::mutex mutex_;
    std::optional<std::pair<uint32_t, Decoded>> decoded_; // posted, not yet taken
    // The last picture decoded, for a set that waits for it; let go when the next decode starts.
    std::optional<std::pair<uint32_t, SharedPicture>> lastDecoded_;
    std::deque<SetResult> setResults_;
    core::Worker worker_; // last: its thread ends before the rest goes
};

} // namespace wallpaper
