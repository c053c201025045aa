#include "wallpaper/picture_tree.h"

#include "wallpaper/picture_names.h"

#include <cstring>
#include <set>
#include <utility>

namespace wallpaper {

namespace {

// A folder's identity: its volume and its file's id there, which a link to it shares. The id record
// comes from the file itself, without asking the volume for its serial number as
// GetFileInformationByHandle does (slow under Wine).
std::pair<uint64_t, std::pair<uint64_t, uint64_t>> FolderIdentity(HANDLE folder) {
    FILE_ID_INFO id{};
    if (GetFileInformationByHandleEx(folder, FileIdInfo, &id, sizeof id)) {
        uint64_t half[2] = {};
        static_assert(sizeof half == sizeof id.FileId);
        std::memcpy(half, &id.FileId, sizeof half);
        return {id.VolumeSerialNumber, {half[0], half[1]}};
    }
    BY_HANDLE_FILE_INFORMATION info{};
    GetFileInformationByHandle(folder, &info);
    return {info.dwVolumeSerialNumber, {uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow, 0}};
}

} // namespace

std::vector<std::wstring> ListPictureTree(const std::wstring& folder, const std::function<bool()>& stale) {
    std::vector<std::wstring> names;
    std::set<std::pair<uint64_t, std::pair<uint64_t, uint64_t>>> entered; // each folder entered
    // Relative folders still to list: "" for the top, else "旅行\" and so on.
    std::vector<std::wstring> waiting{L""};
    const std::wstring top = folder.empty() || folder.back() == L'\\' ? folder : folder + L'\\';
    // The folder's own handle gives both its identity and its entries, so a guarded walk costs no
    // more than a plain one.
    alignas(FILE_ID_BOTH_DIR_INFO) static thread_local BYTE buffer[64 * 1024];
    while (!waiting.empty() && !(stale && stale())) {
        const std::wstring relative = std::move(waiting.back());
        waiting.pop_back();
        platform::UniqueHandle dir(CreateFileW(platform::LongPath(top + relative).c_str(),
                                               FILE_LIST_DIRECTORY,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!dir || !entered.insert(FolderIdentity(dir.get())).second)
            continue; // cannot be read (passed over), or entered already
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
                            waiting.push_back(relative + name + L'\\');
                    } else if (IsPictureName(name)) {
                        names.push_back(relative + name);
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
