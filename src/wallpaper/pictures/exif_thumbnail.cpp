#include "wallpaper/pictures/exif_thumbnail.h"

#include <algorithm>

#include "wallpaper/pictures/picture_header.h"

namespace wallpaper {
namespace {

constexpr uint16_t JpegInterchangeFormat = 0x0201, JpegInterchangeFormatLength = 0x0202;
constexpr int ThumbnailDirectory = 1;

} // namespace

std::optional<ByteRange> ExifThumbnail(const uint8_t* data, size_t size) {
    using namespace std::string_view_literals;
    std::span<const uint8_t> tiff = JpegSegment(data, size, 0xE1, "Exif\0\0"sv);
    const uint8_t* t = tiff.data();
    size_t n = tiff.size();
    std::optional<uint32_t> at = TiffTagValue(t, n, JpegInterchangeFormat, ThumbnailDirectory);
    std::optional<uint32_t> length = TiffTagValue(t, n, JpegInterchangeFormatLength, ThumbnailDirectory);
    if (!at || !length || *length < 2 || *at > n || *length > n - *at) return std::nullopt;
    if (t[*at] != 0xFF || t[*at + 1] != 0xD8) return std::nullopt;
    return ByteRange{static_cast<size_t>(t - data) + *at, *length};
}

std::optional<ExifThumb> UsableExifThumbnail(const uint8_t* data, size_t size, int minWidth) {
    std::optional<ByteRange> range = ExifThumbnail(data, size);
    if (!range) return std::nullopt;
    std::optional<PictureHeader> header = ReadPictureHeader(data + range->offset, range->length);
    if (!header || header->format != PictureFormat::Jpeg) return std::nullopt;
    if (header->width < static_cast<uint32_t>(std::max(minWidth, 0))) return std::nullopt;
    return ExifThumb{*range, static_cast<int>(header->width), static_cast<int>(header->height)};
}

} // namespace wallpaper
