// Which pictures belong to the day and which to the night: those inside the picture folder's
// subfolders 白天 and 夜晚. No Windows headers here.
#pragma once
#include "wallpaper/choosing/sun_times.h"

#include <optional>
#include <string>

namespace wallpaper {

inline constexpr wchar_t DayFolder[] = L"白天";
inline constexpr wchar_t NightFolder[] = L"夜晚";

// The phase of a picture by its name relative to the picture folder ("白天\\a.jpg",
// "夜晚\\sub\\b.jpg"): its first folder, compared exactly; nothing for one in neither ("a.jpg").
std::optional<Phase> FolderPhase(const std::wstring& relativeName);

} // namespace wallpaper
