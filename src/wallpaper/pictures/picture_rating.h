// The stars that Windows' Explorer or Photos, Lightroom or Bridge wrote into a picture file, read from
// the file's first bytes without decoding the picture; no Windows headers here.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

namespace wallpaper {

// The rating in `data`, the first bytes of a picture file (its header, e.g. the first 256 KB): -1 for a
// rejected picture, 0 for none, 1 to 5 stars. It comes from the XMP packet's xmp:Rating (a JPEG's APP1
// "http://ns.adobe.com/xap/1.0/" block, a PNG's uncompressed iTXt "XML:com.adobe.xmp", a TIFF's tag
// 700), written as attribute or element, a fraction dropped ("4.0" is 4); failing that, from the EXIF
// Rating (0x4746), else RatingPercent (0x4749) of the first directory (a JPEG's APP1 "Exif" block, a
// TIFF's own). XMP comes first: every program that rates writes it, and an EXIF rating beside it is a
// copy that older programs may have left behind. Nothing when neither is there whole and in range.
std::optional<int> ReadRating(const uint8_t* data, size_t size);

// A picture's mark: a favourite, one never to be chosen again, or neither.
enum class Mark { None, Favourite, Never };

// 4 or 5 stars make a favourite, a rejected picture (-1) is never chosen; anything else, nothing.
Mark MarkFromRating(std::optional<int> rating);

} // namespace wallpaper
