// The small JPEG that cameras and editors embed in a photo's EXIF, found in the photo's first bytes so
// that the picture list can show it without decoding the photo. No Windows headers here.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

#include "wallpaper/pictures/picture_orientation.h"

namespace wallpaper {

// Where the JPEG thumbnail of the JPEG in `data` lies inside `data`: the second directory (IFD1) of the
// TIFF structure in the APP1 "Exif" block, tags JPEGInterchangeFormat (its offset from the TIFF header)
// and JPEGInterchangeFormatLength. The thumbnail lies within the APP1 block, which holds at most 64 KiB,
// so the file's first bytes up to the end of that block suffice. Nothing when there is none, when the
// block is cut short, or when the thumbnail would reach outside it or does not start with FF D8.
std::optional<ByteRange> ExifThumbnail(const uint8_t* data, size_t size);

struct ExifThumb {
    ByteRange range;           // within the photo's bytes
    int width = 0, height = 0; // as the thumbnail's own frame header says
};

// The EXIF thumbnail when its frame header can be read and it is at least `minWidth` pixels wide.
// It is stored as the photo is, so the caller turns it by the photo's own orientation (ReadOrientation).
std::optional<ExifThumb> UsableExifThumbnail(const uint8_t* data, size_t size, int minWidth);

} // namespace wallpaper
