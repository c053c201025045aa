#include "wallpaper/picture_tree.h"

#include "wallpaper/picture_names.h"

#include <set>
#include <utility>

namespace wallpaper {

namespace {

// A folder's identity on its volume, which a link to it shares.
std::optional<std::pair<DWORD, uint64_t>> FolderIdentity(const std::wstring& folder) {
    platform::UniqueHandle h(CreateFileW(platform::LongPath(folder).c_str(), FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!h || !GetFileInformationByHandle(h.get(), &info)) return std::nullopt;
    return std::pair{info.dwVolumeSerialNumber, uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow};
}

} // namespace

std::vector<std::wstring> ListPictureTree(const std::wstring& folder, const std::function<bool()>& stale) {
    std::vector<std::wstring> names;
    std::set<std::pair<DWORD, uint64_t>> entered;
    // Relative folders still to list: "" for the top, else "旅行\" and so on.
    std::vector<std::wstring> waiting{L""};
    const std::wstring top = folder.empty() || folder.back() == L'\\' ? folder : folder + L'\\';
    while (!waiting.empty() && !(stale && stale())) {
        const std::wstring relative = std::move(waiting.back());
        waiting.pop_back();
        if (auto id = FolderIdentity(top + relative); !id || !entered.insert(*id).second) continue;
        WIN32_FIND_DATAW fd;
        platform::UniqueFind find(FindFirstFileExW(platform::LongPath(top + relative + L"*").c_str(),
                                                   FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr,
                                                   FIND_FIRST_EX_LARGE_FETCH));
        if (!find) continue; // cannot be read: passed over
        do {
            const std::wstring name = fd.cFileName;
            if (fd.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (name != L"." && name != L".." && !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                    waiting.push_back(relative + name + L'\\');
            } else if (IsPictureName(name)) {
                names.push_back(relative + name);
            }
        } while (FindNextFileW(find.get(), &fd));
    }
    SortPictureNames(names);
    return names;
}

uint32_t PictureLister::List(std::wstring folder) {
    const uint32_t generation = ++generation_;
    worker_.Add(0, generation, [this, generation, folder = std::move(folder)] {
        auto stale = [&] { return worker_.Stale(0, generation); };
        std::vector<std::wstring> names = ListPictureTree(folder, stale);
        if (stale()) return;
        std::lock_guard lock(mutex_);
        listed_.emplace(generation, std::move(names));
        PostMessageW(window_, WM_PICTURES_LISTED, generation, 0);
    });
    return generation;
}

std::optional<std::vector<std::wstring>> PictureLister::Take(uint32_t generation) {
    std::lock_guard lock(mutex_);
    if (!listed_ || listed_->first != generation || generation != generation_) return std::nullopt;
    std::vector<std::wstring> names = std::move(listed_->second);
    listed_.reset();
    return names;
}

void PictureLister::Cancel() {
    worker_.Cancel(0, ++generation_);
}

} // namespace wallpaper
