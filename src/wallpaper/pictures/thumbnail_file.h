// The picture list's thumbnails made from picture files, and kept in their folder between runs
// (thumbnail_cache.h says how). Used from the picture thread alone.
#pragma once
#include "wallpaper/pictures/thumbnail_cache.h"

#include <optional>
#include <string>

namespace wallpaper {

// The key of the file at `path` as it is now; nothing when it cannot be read.
std::optional<ThumbnailKey> KeyOfFile(const std::wstring& path);

// The picture of `path` fitted into boxW × boxH (at most its own size, upright): from the photo's EXIF
// thumbnail when it has one at least boxW wide, found in the file's first 128 KB, else from the picture
// decoded for that size. `failed` when the picture cannot be decoded.
ThumbnailPixels MakeThumbnail(const std::wstring& path, int boxW, int boxH);

// The thumbnail files of one folder (made when the first is written), with their index file, at most
// ThumbnailCacheLimit bytes. A file that is damaged or made for another key is a miss, replaced by the
// next write.
class ThumbnailStore {
  public:
    explicit ThumbnailStore(std::wstring folder) : folder_(std::move(folder)) {}
    ~ThumbnailStore() { Flush(); }
    ThumbnailStore(const ThumbnailStore&) = delete;
    ThumbnailStore& operator=(const ThumbnailStore&) = delete;
    const std::wstring& Folder() const { return folder_; }
    std::optional<ThumbnailPixels> Read(const ThumbnailKey& key);
    void Write(const ThumbnailKey& key, const ThumbnailPixels& pixels);
    // Deletes the least recently used files beyond the limit and writes the index, when changed.
    void Flush();

  private:
    void LoadIndex();
    std::wstring folder_;
    ThumbnailCacheIndex index_;
    bool loaded_ = false, changed_ = false;
};

} // namespace wallpaper
