// A decoded picture: the first frame of a JPEG, GIF or BMP at its own pixel size, 24-bit BGR.
#pragma once
#include "platform/win.h"
#include "wallpaper/wallpaper_layout.h"

#include <optional>
#include <string>
#include <wincodec.h>
#include <wrl/client.h>

namespace wallpaper {

class Picture {
  public:
    // Decodes a file once; nothing when it is no JPEG, GIF, BMP or PNG (by its bytes, whatever its
    // name), is damaged, or claims more pixels than the limits of picture_header.h, which are checked
    // before the decoder allocates anything. Where the codec can scale while it decodes, the picture
    // comes at the smallest size that still covers what `target` shows (Width() below FullWidth()).
    static std::optional<Picture> Load(const std::wstring& path, const DecodeTarget& target = {});
    // Decodes a picture held in memory (the built-in one); the bytes are copied.
    static std::optional<Picture> LoadFromMemory(const void* data, size_t size);
    static std::optional<Picture> LoadFromMemory(const void* data, size_t size, const DecodeTarget& target);

    UINT Width() const { return width_; }
    UINT Height() const { return height_; }
    // The picture's own size, which it was decoded from.
    UINT FullWidth() const { return fullWidth_; }
    UINT FullHeight() const { return fullHeight_; }
    IWICBitmap* Bitmap() const { return bitmap_.Get(); }

  private:
    static std::optional<Picture> Decode(IWICImagingFactory* factory, IWICBitmapDecoder* decoder,
                                         const DecodeTarget& target);
    Microsoft::WRL::ComPtr<IWICBitmap> bitmap_;
    UINT width_ = 0, height_ = 0, fullWidth_ = 0, fullHeight_ = 0;
};

Microsoft::WRL::ComPtr<IWICImagingFactory> ImagingFactory();

// The picture reduced to w × h (at most its own size) as a top-down 32-bit DIB section.
platform::UniqueGdi PreviewBitmap(const Picture& picture, int w, int h);

// Writes the picture at its own pixel size as a 24-bit BMP. The bitmap is written to a new file
// beside `path` and then moved over it, so `path` holds either the old file or the whole new one;
// what interrupted writes left beside it is removed after a successful one. Empty when done,
// otherwise what went wrong, for the user.
std::wstring SaveAsBitmap(const Picture& picture, const std::wstring& path);
// The same with the part of the picture and the size that `plan` gives (PlanBitmap for this picture).
std::wstring SaveAsBitmap(const Picture& picture, const std::wstring& path, const BitmapPlan& plan);

} // namespace wallpaper
