#include "wallpaper/choosing/picture_tree.h"

#include "wallpaper/pictures/picture_list.h"
#include "wallpaper/pictures/picture_names.h"

#include <set>
#include <utility>

namespace wallpaper {

std::vector<std::wstring> ListPictureTree(const std::wstring& folder, const std::function<bool()>& stale) {
    std::vector<std::wstring> names;
    // The folders entered, by their file ids: a folder's comes with its parent's listing, so no folder
    // is asked for it (which is slow under Wine). Only the top folder is; the others lie on its volume,
    // as a folder on another volume would be reached through a link, which is not entered.
    std::set<uint64_t> entered;
    struct Waiting {
        std::wstring relative; // "" for the top, else "旅行\" and so on
        uint64_t id;
    };
    std::vector<Waiting> waiting;
    const std::wstring top = folder.empty() || folder.back() == L'\\' ? folder : folder + L'\\';
    alignas(FILE_ID_BOTH_DIR_INFO) static thread_local BYTE buffer[64 * 1024];
    while (!(stale && stale())) {
        const bool first = entered.empty() && waiting.empty();
        if (!first && waiting.empty()) break;
        Waiting next = first ? Waiting{L"", 0} : std::move(waiting.back());
        if (!first) waiting.pop_back();
        platform::UniqueHandle dir(CreateFileW(platform::LongPath(top + next.relative).c_str(),
                                               FILE_LIST_DIRECTORY,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!dir) {
            if (first) break;
            continue; // cannot be read: passed over
        }
        if (first) {
            BY_HANDLE_FILE_INFORMATION info{};
            GetFileInformationByHandle(dir.get(), &info);
            next.id = uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow;
        }
        if (!entered.insert(next.id).second) continue; // entered already
        for (auto kind = FileIdBothDirectoryRestartInfo;
             GetFileInformationByHandleEx(dir.get(), kind, buffer, sizeof buffer);
             kind = FileIdBothDirectoryInfo) {
            for (const BYTE* at = buffer;;) {
                const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
                const std::wstring name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
                const DWORD a = entry->FileAttributes;
                if (!(a & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) {
                    // Links to folders (junctions, symbolic links) are not entered.
                    if (a & FILE_ATTRIBUTE_DIRECTORY) {
                        if (name != L"." && name != L".." && !(a & FILE_ATTRIBUTE_REPARSE_POINT))
                            waiting.push_back(
                                {next.relative + name + L'\\', uint64_t(entry->FileId.QuadPart)});
                    } else if (IsPictureName(name)) {
                        names.push_back(next.relative + name);
                    }
                }
                if (!entry->NextEntryOffset) break;
                at += entry->NextEntryOffset;
            }
        }
    }
    SortPictureNames(names);
    return names;
}

std::vector<std::wstring> ListPicturesWith(const std::wstring& folder, const std::vector<std::wstring>& subfolders) {
    std::vector<std::wstring> names = ListPictures(folder);
    const std::wstring top = folder.empty() || folder.back() == L'\\' ? folder : folder + L'\\';
    for (const std::wstring& sub : subfolders)
        for (std::wstring& name : ListPictureTree(top + sub))
            names.push_back(sub + L'\\' + std::move(name));
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
