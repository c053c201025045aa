#include "wallpaper/pictures/thumbnail_file.h"

#include "core/places.h"
#include "platform/whole_file.h"
#include "wallpaper/pictures/exif_thumbnail.h"
#include "wallpaper/pictures/fit.h"
#include "wallpaper/pictures/picture.h"
#include "wallpaper/pictures/picture_pixels.h"

namespace wallpaper {

namespace {

constexpr size_t ExifBytes = 128 << 10; // the EXIF block lies in the first 64 KiB after the JPEG's start
constexpr wchar_t IndexName[] = L"\\索引.txt";

// The file's first `most` bytes (all of a smaller file); empty when it cannot be read.
std::vector<uint8_t> ReadBytes(const std::wstring& path, size_t most) {
    platform::UniqueHandle file(CreateFileW(platform::LongPath(path).c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::vector<uint8_t> bytes(most);
    DWORD got = 0;
    if (!file || !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(most), &got, nullptr)) got = 0;
    bytes.resize(got);
    return bytes;
}

uint64_t Now() {
    FILETIME t{};
    GetSystemTimeAsFileTime(&t);
    return uint64_t{t.dwHighDateTime} << 32 | t.dwLowDateTime;
}

// The picture fitted into boxW × boxH and turned by `turn` (the picture's own turn is made already), as
// opaque premultiplied BGRA.
ThumbnailPixels Fitted(const Picture& picture, int boxW, int boxH, int turn) {
    auto place =
        FitPicture(static_cast<float>(boxW), static_cast<float>(boxH),
                   static_cast<float>(picture.FullWidth()), static_cast<float>(picture.FullHeight()));
    if (!place) return {};
    platform::UniqueGdi dib = PreviewBitmap(picture, ToPixels(*place).width, ToPixels(*place).height);
    DIBSECTION d{};
    if (!dib || !GetObjectW(dib.get(), sizeof d, &d) || !d.dsBm.bmBits) return {};
    const int w = d.dsBm.bmWidth, h = std::abs(d.dsBm.bmHeight);
    const auto* bgrx = static_cast<const uint8_t*>(d.dsBm.bmBits);
    std::vector<uint8_t> bgr(size_t(w) * h * 3), turned(bgr.size());
    for (size_t i = 0; i < size_t(w) * h; ++i)
        std::copy_n(bgrx + i * 4, 3, bgr.data() + i * 3);
    const int tw = SwapsSides(turn) ? h : w, th = SwapsSides(turn) ? w : h;
    PlaceRows(bgr.data(), size_t(w) * 3, w, h, 0, h, turn, turned.data(), size_t(tw) * 3);
    ThumbnailPixels t{tw, th, std::vector<uint8_t>(size_t(tw) * th * 4, 255)};
    for (size_t i = 0; i < size_t(tw) * th; ++i)
        std::copy_n(turned.data() + i * 3, 3, t.bgra.data() + i * 4);
    return t;
}

} // namespace

std::optional<ThumbnailKey> KeyOfFile(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA a{};
    if (!GetFileAttributesExW(platform::LongPath(path).c_str(), GetFileExInfoStandard, &a))
        return std::nullopt;
    return ThumbnailKey{path, uint64_t{a.nFileSizeHigh} << 32 | a.nFileSizeLow,
                        uint64_t{a.ftLastWriteTime.dwHighDateTime} << 32 | a.ftLastWriteTime.dwLowDateTime};
}

ThumbnailPixels MakeThumbnail(const std::wstring& path, int boxW, int boxH) {
    std::vector<uint8_t> head = ReadBytes(path, ExifBytes);
    if (auto exif = UsableExifThumbnail(head.data(), head.size(), boxW)) {
        // Stored as the photo is: fitted into the box as stored, then turned as the photo is.
        const int turn = ReadOrientation(head.data(), head.size());
        const int w = SwapsSides(turn) ? boxH : boxW, h = SwapsSides(turn) ? boxW : boxH;
        if (auto small = Picture::LoadFromMemory(head.data() + exif->range.offset, exif->range.length,
                                                 {DecodeTarget::Use::Thumbnail, w, h}))
            if (ThumbnailPixels t = Fitted(*small, w, h, turn); !t.bgra.empty()) return t;
    }
    if (auto picture = Picture::Load(path, {DecodeTarget::Use::Thumbnail, boxW, boxH}))
        if (ThumbnailPixels t = Fitted(*picture, boxW, boxH, 1); !t.bgra.empty()) return t;
    return {0, 0, {}, true};
}

std::optional<ThumbnailPixels> ThumbnailStore::Read(const ThumbnailKey& key) {
    LoadIndex();
    const std::wstring name = ThumbnailFileName(key);
    // A thumbnail file is a few tens of KB; the largest that Encode makes is 1 MiB and a little.
    std::vector<uint8_t> bytes =
        ReadBytes(folder_ + L"\\" + name, (MaxThumbnailSide * MaxThumbnailSide * 4) + 4096);
    std::optional<ThumbnailPixels> pixels = DecodeThumbnail(bytes.data(), bytes.size(), key);
    if (pixels) {
        index_.Touch(name, bytes.size(), Now());
        changed_ = true;
    }
    return pixels;
}

void ThumbnailStore::Write(const ThumbnailKey& key, const ThumbnailPixels& pixels) {
    std::vector<uint8_t> bytes = EncodeThumbnail(key, pixels);
    if (bytes.empty() || !core::CreateFolders(folder_)) return;
    LoadIndex();
    const std::wstring name = ThumbnailFileName(key);
    DWORD error = platform::WriteWholeFile(folder_ + L"\\" + name, [&](HANDLE file) -> DWORD {
        DWORD wrote = 0;
        return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) &&
                       wrote == bytes.size()
                   ? 0
                   : GetLastError();
    });
    if (error) return; // the thumbnail is made again next time
    index_.Touch(name, bytes.size(), Now());
    changed_ = true;
}

void ThumbnailStore::Flush() {
    if (!std::exchange(changed_, false)) return;
    for (const std::wstring& name : index_.Evict(ThumbnailCacheLimit))
        DeleteFileW(platform::LongPath(folder_ + L"\\" + name).c_str());
    platform::WriteWholeText(folder_ + IndexName, index_.Text());
}

void ThumbnailStore::LoadIndex() {
    if (std::exchange(loaded_, true)) return;
    if (auto text = platform::ReadWholeText(folder_ + IndexName)) {
        index_ = ThumbnailCacheIndex::Parse(*text);
        return;
    }
    // No index (the first run, or it was lost): the files there are counted as last used when written.
    std::vector<ThumbnailCacheIndex::ListedFile> files;
    WIN32_FIND_DATAW f{};
    platform::UniqueFind find(FindFirstFileW(platform::LongPath(folder_ + L"\\*").c_str(), &f));
    if (find) do {
            if (!(f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                files.push_back(
                    {f.cFileName, uint64_t{f.nFileSizeHigh} << 32 | f.nFileSizeLow,
                     uint64_t{f.ftLastWriteTime.dwHighDateTime} << 32 | f.ftLastWriteTime.dwLowDateTime});
        } while (FindNextFileW(find.get(), &f));
    index_ = ThumbnailCacheIndex::FromListing(files);
}

} // namespace wallpaper
