// "每日图片": the picture of the day, looked for at start-up, when the setting is turned on, after the
// machine wakes or the session is unlocked, and at the first midnight after the last look (one timer,
// set for the next moment due). A look runs on a worker's thread; a failed one is tried again after
// 1, 5, 15 and 60 minutes, then hourly, and the tray's tip says when it failed. New pictures join the
// picture list, and the newest can become the wallpaper. Nothing is asked of the network while the
// setting is off.
#pragma once
#include "core/identity.h"
#include "core/worker.h"
#include "daily/daily_check.h"
#include "platform/win.h"
#include "settings/app_settings.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace wallpaper {

class PicturePage;

// Sent to the window when a look has ended (wParam: its generation).
inline constexpr UINT WM_DAILY_CHECKED = WM_APP + 24;

// What the daily pictures ask of the main window.
class DailyHost {
  public:
    // The window whose messages reach OnMessage: it owns the timer.
    virtual HWND Window() const = 0;
    // The tray's tip gains `line` (empty: none).
    virtual void ShowDailyTip(const std::wstring& line) = 0;

  protected:
    ~DailyHost() = default;
};

class DailyPictures {
  public:
    DailyPictures(DailyHost& host, PicturePage& pictures, const settings::AppSettings& settings,
                  const core::ProgramPlaces& places)
        : host_(host), pictures_(pictures), settings_(settings), places_(places) {}

    // Start-up, once the picture tab is built: a look, if the setting is on.
    void Start();
    // After the options dialog: turned on, a look now; turned off, the look stops and the timer goes.
    void SettingsChanged(bool wasOn);
    // "立即下载每日图片".
    void CheckNow();
    // The window's messages: the look's result, the timer, waking, unlocking, the list menu's item.
    // Only its own are handled (true); the system's notices go on to the others.
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // On the way out: the download in flight ends at once and leaves nothing behind.
    void Stop();

    bool Checking() const { return checking_ != 0; }
    // The folder the pictures go to: "每日图片" in the picture collection.
    std::wstring Folder() const;
    // Which pictures are the user's favourites, never deleted; unless a test sets it, the marks say.
    daily::NameTest Favourite;

  private:
    void Checked(uint32_t generation);
    // Sets the timer for the next look due, or none while the setting is off.
    void Arm();
    // A look, unless one runs or the setting is off.
    void Check();

    DailyHost& host_;
    PicturePage& pictures_;
    const settings::AppSettings& settings_;
    const core::ProgramPlaces& places_;
    uint32_t generation_ = 0, checking_ = 0;
    std::optional<int64_t> lastCheck_, lastSuccess_; // local seconds
    int failures_ = 0;
    std::mutex mutex_;
    std::optional<std::pair<uint32_t, daily::CheckOutcome>> outcome_;
    daily::HttpGetter http_;
    core::Worker worker_; // last: its thread ends before the rest goes
};

} // namespace wallpaper
