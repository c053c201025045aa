#include "wallpaper/page/daily_pictures.h"

#include "daily/daily_names.h"
#include "daily/daily_schedule.h"
#include "res/resource.h"
#include "ui/timers.h"
#include "wallpaper/page/picture_page.h"

#include <set>

namespace wallpaper {
namespace {

// Seconds since 1970 on the machine's local clock.
int64_t LocalNow() {
    FILETIME utc, local;
    GetSystemTimeAsFileTime(&utc);
    FileTimeToLocalFileTime(&utc, &local);
    return static_cast<int64_t>((uint64_t{local.dwHighDateTime} << 32 | local.dwLowDateTime) / 10000000) -
           11644473600LL;
}

} // namespace

std::wstring DailyPictures::Folder() const {
    return places_.PictureFolder + L"\\" + daily::FolderName;
}

void DailyPictures::Start() {
    if (settings_.Daily) Check();
}

void DailyPictures::SettingsChanged(bool wasOn) {
    if (settings_.Daily && !wasOn) return Check();
    if (settings_.Daily || !wasOn) return;
    Stop();
    failures_ = 0;
    host_.ShowDailyTip(L"");
}

void DailyPictures::CheckNow() {
    if (settings_.Daily) Check();
}

void DailyPictures::Stop() {
    http_.Cancel();
    worker_.Cancel(0, ++generation_);
    checking_ = 0;
    KillTimer(host_.Window(), ui::TimerDaily);
}

void DailyPictures::Check() {
    if (checking_ || !settings_.Daily) return;
    KillTimer(host_.Window(), ui::TimerDaily);
    // The favourites among the pictures it downloaded are never deleted: known here, asked there.
    std::set<std::wstring> favourites;
    for (const daily::ManifestEntry& entry : daily::ReadManifest(Folder()))
        if (pictures_.MarkOf(Folder() + L"\\" + entry.name) == Mark::Favourite) favourites.insert(entry.name);
    daily::CheckAsk ask{Folder(),
                        settings_.DailyAddress.empty() ? daily::DefaultAddress : settings_.DailyAddress,
                        settings_.DailyKeep,
                        Favourite ? Favourite : [favourites](const std::wstring& name) { return favourites.contains(name); }};
    checking_ = ++generation_;
    lastCheck_ = LocalNow();
    http_.Resume();
    worker_.Add(0, checking_, [this, generation = checking_, ask = std::move(ask)] {
        static thread_local struct Com {
            Com() { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
            ~Com() { CoUninitialize(); }
        } com; // the pictures are decoded with WIC
        auto stale = [&] { return worker_.Stale(0, generation); };
        daily::CheckOutcome outcome = daily::RunCheck(ask, http_, stale);
        if (stale()) return;
        std::lock_guard lock(mutex_);
        outcome_.emplace(generation, std::move(outcome));
        PostMessageW(host_.Window(), WM_DAILY_CHECKED, generation, 0);
    });
}

void DailyPictures::Checked(uint32_t generation) {
    std::optional<daily::CheckOutcome> outcome;
    {
        std::lock_guard lock(mutex_);
        if (!outcome_ || outcome_->first != generation) return;
        outcome = std::move(outcome_->second);
        outcome_.reset();
    }
    if (generation != checking_) return;
    checking_ = 0;
    if (!outcome->added.empty()) pictures_.DailyArrived(outcome->added, settings_.DailySetWallpaper);
    if (outcome->ok) {
        failures_ = 0;
        lastSuccess_ = lastCheck_;
        host_.ShowDailyTip(L"");
    } else {
        ++failures_;
        SYSTEMTIME now;
        GetLocalTime(&now);
        host_.ShowDailyTip(daily::FailureTip(now.wHour, now.wMinute));
    }
    Arm();
}

void DailyPictures::Arm() {
    if (!settings_.Daily || checking_ || !lastCheck_) return;
    const int64_t wait = daily::NextCheck(*lastCheck_, failures_) - LocalNow();
    SetTimer(host_.Window(), ui::TimerDaily, static_cast<UINT>(std::clamp<int64_t>(wait, 1, 86400) * 1000),
             nullptr);
}

bool DailyPictures::OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    result = 0;
    switch (msg) {
    case WM_DAILY_CHECKED:
        Checked(static_cast<uint32_t>(wp));
        return true;
    case WM_TIMER:
        if (wp != ui::TimerDaily) return false;
        KillTimer(host_.Window(), ui::TimerDaily);
        Check();
        return true;
    case WM_COMMAND:
        if (LOWORD(wp) != ID_FlieL每日图片) return false;
        CheckNow();
        return true;
    case WM_INITMENUPOPUP:
        EnableMenuItem(reinterpret_cast<HMENU>(wp), ID_FlieL每日图片,
                       MF_BYCOMMAND | (settings_.Daily && !checking_ ? MF_ENABLED : MF_GRAYED));
        return false;
    case WM_POWERBROADCAST:
    case WM_WTSSESSION_CHANGE:
        // The machine slept or was locked over a midnight or a retry: a look when one is due.
        if ((msg == WM_POWERBROADCAST ? wp == PBT_APMRESUMEAUTOMATIC : wp == WTS_SESSION_UNLOCK) &&
            (failures_ || daily::CheckDue(LocalNow(), lastSuccess_)))
            Check();
        return false;
    }
    return false;
}

} // namespace wallpaper
