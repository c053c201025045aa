// The picture list's thumbnails kept on disk between runs, one file each in a folder of their own: their
// names, their file format and which of them go when the folder is full. No Windows headers here.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace wallpaper {

inline constexpr int ThumbnailWidth96 = 80, ThumbnailHeight96 = 60; // a row's thumbnail at 96 DPI
inline constexpr int MaxThumbnailSide = 512;
inline constexpr uint64_t ThumbnailCacheLimit = uint64_t{200} << 20; // bytes of thumbnail files
inline constexpr wchar_t ThumbnailFolderName[] = L"缩略图";          // in %LOCALAPPDATA%\Tavolin

// What a thumbnail is made from: a picture file as it is now. A changed file gets another key.
struct ThumbnailKey {
    std::wstring path;      // full path, compared without regard to case as Windows compares names
    uint64_t size = 0;      // the file's bytes
    uint64_t writeTime = 0; // its last write time, a FILETIME
};

struct ThumbnailPixels {
    int width = 0, height = 0;
    // Premultiplied 32-bit BGRA, rows top-down without padding, as AlphaBlend draws them.
    std::vector<uint8_t> bgra;
    // The picture could not be decoded (0 × 0, no pixels): remembered so that it is not tried again.
    bool failed = false;
    bool operator==(const ThumbnailPixels&) const = default;
};

// The path as the key compares it: UTF-16 code units (whatever wchar_t is), letters in upper case. Only
// the letters whose case Windows folds and people put in names are folded (ASCII, Latin-1, Latin
// Extended-A, Greek, Cyrillic, full-width Latin); a miss costs only a second thumbnail.
std::u16string FoldedPath(const std::wstring& path);

// The cache file's name: 16 hex digits of a 64-bit FNV-1a hash of the folded path, the size and the
// write time, then ".thumb". The same in every run and build.
std::wstring ThumbnailFileName(const ThumbnailKey& key);
// True for names that ThumbnailFileName makes: only such files are ever counted or deleted.
bool IsThumbnailFileName(const std::wstring& name);

// The cache file (little-endian): "TVTH", version 1, flags (1: failed), width, height (1 to 512 each,
// 0 × 0 when failed), the key (folded path, size, write time), the pixels, and an FNV-1a hash of all
// that. Empty when `pixels` is no thumbnail this file holds.
std::vector<uint8_t> EncodeThumbnail(const ThumbnailKey& key, const ThumbnailPixels& pixels);
// The thumbnail in a cache file; nothing for a file damaged, cut short, of another version or
// another key. Allocates only once the file's size is the one its header implies.
std::optional<ThumbnailPixels> DecodeThumbnail(const uint8_t* data, size_t size, const ThumbnailKey& key);

// Which cache files were used last, so that the least recently used go first when the folder is full.
class ThumbnailCacheIndex {
  public:
    struct Entry {
        uint64_t bytes = 0;
        uint64_t lastUse = 0; // a FILETIME, as the listing's write times
        bool operator==(const Entry&) const = default;
    };
    struct ListedFile {
        std::wstring name;
        uint64_t bytes = 0, lastWrite = 0;
    };

    // A file made or shown at `now`; other names than ThumbnailFileName's are ignored.
    void Touch(const std::wstring& name, uint64_t bytes, uint64_t now);
    void Remove(const std::wstring& name);
    // Takes out, and returns to be deleted, the least recently used files (the same time: by name) until
    // the rest hold at most `limitBytes`.
    std::vector<std::wstring> Evict(uint64_t limitBytes);
    uint64_t TotalBytes() const { return total_; }
    const std::map<std::wstring, Entry>& Entries() const { return entries_; }

    // The index file: "name<TAB>bytes<TAB>last use" a line. Parse skips lines it cannot read.
    std::wstring Text() const;
    static ThumbnailCacheIndex Parse(const std::wstring& text);
    // Without an index file: the folder's thumbnail files, each last used when it was written.
    static ThumbnailCacheIndex FromListing(const std::vector<ListedFile>& files);

  private:
    std::map<std::wstring, Entry> entries_;
    uint64_t total_ = 0;
};

} // namespace wallpaper
