#include "wallpaper/choosing/folder_phase.h"

#include <string_view>

namespace wallpaper {

std::optional<Phase> FolderPhase(const std::wstring& relativeName) {
    size_t slash = relativeName.find(L'\\');
    if (slash == std::wstring::npos) return std::nullopt; // a picture of the folder itself
    std::wstring_view folder = std::wstring_view(relativeName).substr(0, slash);
    if (folder == DayFolder) return Phase::Day;
    if (folder == NightFolder) return Phase::Night;
    return std::nullopt;
}

} // namespace wallpaper
