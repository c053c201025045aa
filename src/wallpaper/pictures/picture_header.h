// What a picture file says about itself before it is decoded: its format and the pixel sizes the
// decoder will allocate for. No Windows headers here.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

namespace wallpaper {

// Pictures beyond these are refused before the decoder allocates anything: at most 16,384 pixels on
// a side and 2^27 pixels in all (512 MiB at 32 bits a pixel). That covers every camera and screen;
// the largest such picture peaks at about 0.8 GiB while it is decoded and written (the decoder's copy
// and ours).
inline constexpr uint32_t MaxPictureSide = 16384;
inline constexpr uint64_t MaxPicturePixels = uint64_t{1} << 27;

enum class PictureFormat { Jpeg, Gif, Bmp, Png, Tiff };

struct PictureHeader {
    PictureFormat format = PictureFormat::Jpeg;
    uint32_t width = 0, height = 0; // of the picture shown (a GIF's first frame)
};

// The format that the first bytes of `data` announce; nothing for other kinds of picture, which the
// system's decoders may still know.
std::optional<PictureFormat> PictureFormatOf(const uint8_t* data, size_t size);

// The format and size of the picture in `data`, read the way the decoder reads them: a JPEG's first
// frame header, a GIF's screen and every frame (the decoder keeps them all), a BMP's or PNG's header,
// a TIFF's first directory. Nothing when the bytes are no such picture, claim an empty size, or claim
// more than the limits above (a GIF: its frames together), and for a JPEG too small to hold the size
// it claims; `tooLarge` then tells whether the size was what was refused.
std::optional<PictureHeader> ReadPictureHeader(const uint8_t* data, size_t size, bool* tooLarge = nullptr);

// True for a size the limits above allow.
bool PictureSizeAllowed(uint64_t width, uint64_t height);

} // namespace wallpaper
