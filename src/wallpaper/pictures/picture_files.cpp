#include "wallpaper/pictures/picture_files.h"

#include "core/places.h"
#include "settings/registry.h"
#include "wallpaper/pictures/picture_list.h"

#include <cstdint>
#include <cwchar>
#include <optional>

namespace wallpaper {
namespace {

std::optional<uint64_t> FileLength(const std::wstring& file) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(platform::LongPath(file).c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

// The counter of the copies' names stays within what a 16-bit counter could count.
constexpr int MaxCopies = 32767;

} // namespace

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty() && folder.back() == L'\\') return folder + name;
    return folder + L"\\" + name;
}

Collected CollectPicture(const std::wstring& pictures, const std::wstring& folder, const std::wstring& name) {
    if (folder == pictures) return {};
    if (!core::CreateFolders(pictures))
        return {L"", L"无法创建图片文件夹：" + pictures + L"\n" + ErrorText(GetLastError())};
    std::wstring src = JoinPath(folder, name);
    std::optional<uint64_t> srcLength = FileLength(src);
    if (!srcLength) return {L"", L"无法读取图片：" + src + L"\n" + ErrorText(GetLastError())};
    for (int n = 0; n <= MaxCopies; ++n) {
        std::wstring dest = JoinPath(pictures, (n ? std::to_wstring(n) : L"") + name);
        if (!settings::FileCanBeOpened(dest)) {
            // Never over a file that is there but cannot be read.
            if (!CopyFileW(platform::LongPath(src).c_str(), platform::LongPath(dest).c_str(), TRUE))
                return {L"", L"无法把图片复制到图片文件夹：" + dest + L"\n" + ErrorText(GetLastError())};
            return {dest, L""};
        }
        if (FileLength(dest) == srcLength) return {};
    }
    return {L"", L"图片文件夹中同名的图片太多，没有复制：" + name};
}

std::wstring DeletePicture(const std::wstring& file) {
    if (DeleteFileW(platform::LongPath(file).c_str())) return {};
    return L"无法删除文件：" + file + L"\n" + ErrorText(GetLastError());
}

} // namespace wallpaper
