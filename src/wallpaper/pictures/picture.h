// A decoded picture: the first frame of any picture the system decodes, transparent pixels laid on the
// desktop's colour, 24-bit BGR. Its pixels are kept as stored; the copy that reduces them for the
// preview or the wallpaper turns them upright as the EXIF orientation asks, unless the decoder turned
// them already.
#pragma once
#include "platform/win.h"
#include "wallpaper/pictures/wallpaper_layout.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>
#include <wincodec.h>
#include <wrl/client.h>

namespace wallpaper {

class Picture {
  public:
    // Decodes a file once, with the decoder its bytes call for (whatever its name): JPEG, GIF, BMP, PNG
    // and TIFF by their own, other kinds by the system's decoder that knows them. Nothing when no
    // decoder knows the bytes, the decoder fails, the picture is an icon, cursor, texture or camera raw
    // picture, or it has more pixels than the limits of picture_header.h, which are checked before
    // the picture's pixels are allocated; `why` then says so, for the user, naming the file. Where the
    // codec can scale while it decodes, the picture comes at the smallest size that still covers what
    // `target` shows (Width() below FullWidth()).
    static std::optional<Picture> Load(const std::wstring& path, const DecodeTarget& target = {},
                                       std::wstring* why = nullptr);
    // Decodes a picture held in memory (the built-in one).
    static std::optional<Picture> LoadFromMemory(const void* data, size_t size);
    static std::optional<Picture> LoadFromMemory(const void* data, size_t size, const DecodeTarget& target,
                                                 std::wstring* why = nullptr);

    // The size of the pixels held, upright.
    UINT Width() const { return width_; }
    UINT Height() const { return height_; }
    // The picture's own size, upright, which it was decoded from.
    UINT FullWidth() const { return fullWidth_; }
    UINT FullHeight() const { return fullHeight_; }
    // The pixels as stored, and how they are to be turned (see picture_orientation.h).
    IWICBitmap* Bitmap() const { return bitmap_.Get(); }
    int Orientation() const { return orientation_; }
    // The pixel at (x, y) of the upright picture as 0xRRGGBB.
    long Pixel(UINT x, UINT y) const;

  private:
    // The first frame, turned by `orientation` (see picture_orientation.h); nothing, with the reason
    // in `why`, when it cannot be had.
    static std::optional<Picture> Decode(IWICImagingFactory* factory, IWICBitmapDecoder* decoder,
                                         const DecodeTarget& target, int orientation, std::wstring& why);
    Microsoft::WRL::ComPtr<IWICBitmap> bitmap_;
    UINT width_ = 0, height_ = 0, fullWidth_ = 0, fullHeight_ = 0;
    int orientation_ = 1;
};

Microsoft::WRL::ComPtr<IWICImagingFactory> ImagingFactory();

// The picture's size as it is shown (after its EXIF orientation), read from its file's header alone:
// no pixel is decoded. Nothing when the file cannot be read or is no picture.
std::optional<PixelSize> UprightSize(const std::wstring& path);

// What the installed decoders list as their extensions ("GetFileExtensions"), one text a decoder;
// icon, texture and camera raw decoders are left out.
std::vector<std::wstring> InstalledDecoderExtensions();

// The picture reduced to w × h (at most its own size) as a top-down 32-bit DIB section.
platform::UniqueGdi PreviewBitmap(const Picture& picture, int w, int h);

// Writes the picture at its own pixel size as a 24-bit BMP. The bitmap is written to a new file
// beside `path` and then moved over it, so `path` holds either the old file or the whole new one;
// what interrupted writes left beside it is removed after a successful one. Empty when done,
// otherwise what went wrong, for the user.
std::wstring SaveAsBitmap(const Picture& picture, const std::wstring& path);
// The same with the part of the picture and the size that `plan` gives (PlanBitmap for this picture).
std::wstring SaveAsBitmap(const Picture& picture, const std::wstring& path, const BitmapPlan& plan);
// The same for width × height 24-bit BGR pixels, rows `stride` bytes apart from the top (a canvas).
std::wstring SaveAsBitmap(const uint8_t* bgr, int width, int height, size_t stride, const std::wstring& path);

// Hands `use` the part of the picture that `plan` names at the plan's size, upright, as 24-bit BGR
// rows `stride` bytes apart: the held pixels themselves where they need no change, else a reduced
// copy. 0, or the Win32 error that kept the pixels from being had.
DWORD UsePlannedPixels(const Picture& picture, const BitmapPlan& plan,
                       const std::function<void(const uint8_t* bgr, size_t stride)>& use);

} // namespace wallpaper
