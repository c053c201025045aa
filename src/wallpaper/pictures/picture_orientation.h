// How a photo asks to be turned before it is shown: the EXIF "Orientation" of a JPEG or TIFF file,
// read from the bytes. No Windows headers here.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace wallpaper {

// The orientation of the picture in `data`, 1 to 8 as EXIF numbers them (1 upright, 2 mirrored left to
// right, 3 upside down, 4 mirrored top to bottom, 5 mirrored along the main diagonal, 6 turned a
// quarter to the left so that it needs a quarter turn clockwise, 7 mirrored along the other diagonal,
// 8 needing a quarter turn anticlockwise). A JPEG's comes from its APP1 "Exif" block, a TIFF's from
// its first directory. Every other picture, a block that is missing, cut short or points outside
// itself, and a value outside 1 to 8 give 1: the picture as stored.
int ReadOrientation(const uint8_t* data, size_t size);

// The value of `tag` in a directory of the TIFF structure in `data` ("II" or "MM", then 42), when it is
// one SHORT or LONG number; nothing when the structure or the entry is not there whole. `directory` 0 is
// the first directory, 1 the one its next-directory offset names (a JPEG's EXIF thumbnail), and so on.
std::optional<uint32_t> TiffTagValue(const uint8_t* data, size_t size, uint16_t tag, int directory = 0);

// A part of a file's bytes.
struct ByteRange {
    size_t offset = 0, length = 0;
    bool operator==(const ByteRange&) const = default;
};

// The bytes of `tag` in the first directory of the TIFF structure in `data`, when it is BYTE or
// UNDEFINED data lying whole inside `data` (an XMP packet, tag 700); empty otherwise.
std::span<const uint8_t> TiffTagBytes(const uint8_t* data, size_t size, uint16_t tag);

// The body of the JPEG in `data`'s first segment with `marker` whose body starts with `name`, after that
// name. Segments are walked by their lengths up to the start of the scan; a length that does not fit
// ends the walk. Empty when there is no such segment whole in `data`, or `data` is no JPEG.
std::span<const uint8_t> JpegSegment(const uint8_t* data, size_t size, uint8_t marker, std::string_view name);

// True for the orientations that swap the picture's width and height (5 to 8).
inline bool SwapsSides(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

} // namespace wallpaper
