#include "daily/daily_check.h"

#include "daily/daily_names.h"
#include "platform/temporary_name.h"
#include "platform/whole_file.h"
#include "wallpaper/pictures/picture.h"

#include <algorithm>
#include <shlobj.h>

namespace daily {
namespace {

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    return folder.empty() || folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

bool InPlace(const std::wstring& path) {
    DWORD a = GetFileAttributesW(platform::LongPath(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// Downloads `address` into a new temporary file in `folder` and checks that it decodes; its path, or
// empty with `why` set and nothing left behind.
std::wstring Download(const std::wstring& folder, const std::wstring& address, HttpGetter& http,
                      std::wstring& why) {
    static uint32_t count = 0;
    std::wstring temp;
    platform::UniqueHandle file;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        temp = platform::TemporaryPath(Join(folder, FolderName), GetCurrentProcessId(), ++count);
        file.reset(CreateFileW(platform::LongPath(temp).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                               CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (!file) {
        why = L"无法写入 " + folder + L"：" + platform::ErrorText(GetLastError());
        return {};
    }
    why = http.Get(address, PictureLimit, PictureTimeout, [&](const char* data, size_t size) {
        DWORD written = 0;
        return WriteFile(file.get(), data, static_cast<DWORD>(size), &written, nullptr) && written == size;
    });
    file.reset();
    if (why.empty()) {
        wallpaper::DecodeTarget small{wallpaper::DecodeTarget::Use::Preview, 64, 64};
        if (!wallpaper::Picture::Load(temp, small, &why)) why = L"不是图片：" + address + L" " + why;
    } else {
        why = address + L"：" + why;
    }
    if (why.empty()) return temp;
    DeleteFileW(platform::LongPath(temp).c_str());
    return {};
}

// Moves the downloaded picture in under its name, or the name with " (2)" and so on where a file
// of that name is there already; the name it took, or empty.
std::wstring PutInPlace(const std::wstring& temp, const std::wstring& folder, const std::wstring& name) {
    const size_t dot = name.rfind(L'.');
    for (int n = 1; n <= 100; ++n) {
        std::wstring candidate =
            n == 1 ? name : name.substr(0, dot) + L" (" + std::to_wstring(n) + L")" + name.substr(dot);
        if (MoveFileExW(platform::LongPath(temp).c_str(), platform::LongPath(Join(folder, candidate)).c_str(),
                        MOVEFILE_WRITE_THROUGH))
            return candidate;
        DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) break;
    }
    DeleteFileW(platform::LongPath(temp).c_str());
    return {};
}

} // namespace

std::vector<ManifestEntry> ReadManifest(const std::wstring& folder) {
    platform::UniqueHandle file(CreateFileW(platform::LongPath(Join(folder, ManifestName)).c_str(),
                                            GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                            nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > LONGLONG(ManifestTextLimit)) return {};
    std::string text(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr)) return {};
    text.resize(read);
    return ParseManifest(text);
}

CheckOutcome RunCheck(const CheckAsk& ask, HttpGetter& http, const std::function<bool()>& stale) {
    CheckOutcome out;
    std::string answer;
    out.why = http.Get(ask.address, AnswerLimit, AnswerTimeout, [&](const char* data, size_t size) {
        answer.append(data, size);
        return true;
    });
    if (stale()) return out.cancelled = true, out;
    if (!out.why.empty()) return out.why = ask.address + L"：" + out.why, out;
    std::optional<std::vector<DailyImage>> images = ParseDailyAnswer(answer);
    if (!images) return out.why = L"答复不是每日图片的 JSON：" + ask.address, out;

    std::vector<ManifestEntry> entries = ReadManifest(ask.folder);
    bool allCame = true;
    for (const DailyImage& image : *images) {
        std::vector<std::wstring> addresses;
        for (const std::wstring& path : {UhdPath(image), image.url})
            if (auto address = ResolveAddress(ask.address, path)) addresses.push_back(*address);
        const std::wstring name = DailyFileName(image.date, image.title);
        if (addresses.empty() || name.empty() ||
            std::any_of(addresses.begin(), addresses.end(),
                        [&](const std::wstring& a) { return AlreadyHave(entries, image, a); }))
            continue;
        SHCreateDirectoryExW(nullptr, ask.folder.c_str(), nullptr);
        // The largest size first; the answer's own address when that is not there.
        std::wstring temp, used, why;
        for (const std::wstring& address : addresses) {
            temp = Download(ask.folder, address, http, why);
            if (stale()) return out.cancelled = true, out;
            if (!temp.empty()) {
                used = address;
                break;
            }
        }
        std::wstring placed = temp.empty() ? L"" : PutInPlace(temp, ask.folder, name);
        if (placed.empty()) {
            if (out.why.empty()) out.why = temp.empty() ? why : L"无法放入 " + ask.folder;
            allCame = false;
            continue;
        }
        entries.push_back(EntryFor(image, placed, used));
        out.added.push_back(Join(ask.folder, placed));
    }
    auto inPlace = [&](const std::wstring& name) { return InPlace(Join(ask.folder, name)); };
    if (!out.added.empty()) {
        DWORD error = platform::WriteWholeFile(Join(ask.folder, ManifestName), [&](HANDLE file) -> DWORD {
            std::string text = ManifestText(TrimManifest(entries, inPlace));
            DWORD written = 0;
            return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)
                       ? 0
                       : GetLastError();
        });
        if (error) {
            out.why = L"无法写入 " + std::wstring(ManifestName) + L"：" + platform::ErrorText(error);
            allCame = false;
        }
    }
    const NameTest none = [](const std::wstring&) { return false; };
    for (const std::wstring& name :
         FilesToDelete(entries, ask.keep, inPlace, ask.favourite ? ask.favourite : none))
        DeleteFileW(platform::LongPath(Join(ask.folder, name)).c_str());
    std::erase_if(out.added, [](const std::wstring& path) { return !InPlace(path); });
    out.ok = allCame;
    return out;
}

} // namespace daily
