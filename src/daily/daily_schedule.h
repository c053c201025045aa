// When the daily pictures are looked for. Times are seconds since 1970 in the machine's local time (UTC
// plus the local offset; the caller converts), so that a day ends at local midnight. No Windows headers here.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace daily {

// The first local midnight after `localNow`.
int64_t NextMidnight(int64_t localNow);
// When to look again after the look at `lastCheckLocal`: after a success (no failures) at the next
// midnight; after the 1st, 2nd, 3rd and 4th failure in a row 1, 5, 15 and 60 minutes later, then hourly.
int64_t NextCheck(int64_t lastCheckLocal, int failuresInARow);
// True when there was no success yet on the day of `localNow` (at start-up, say); also after the clock
// went back to another day.
bool CheckDue(int64_t localNow, std::optional<int64_t> lastSuccessLocal);

// "每日图片：上次下载失败（08:05）", the tray's tip after a failed download.
std::wstring FailureTip(int hour, int minute);

} // namespace daily
