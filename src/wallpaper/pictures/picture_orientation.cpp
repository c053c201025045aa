#include "wallpaper/pictures/picture_orientation.h"

#include <algorithm>

namespace wallpaper {
namespace {

constexpr uint16_t OrientationTag = 274;

uint32_t Read16(const uint8_t* p, bool big) {
    return big ? uint32_t{p[0]} << 8 | p[1] : p[0] | uint32_t{p[1]} << 8;
}
uint32_t Read32(const uint8_t* p, bool big) {
    return big ? Read16(p, true) << 16 | Read16(p + 2, true) : Read16(p, false) | Read16(p + 2, false) << 16;
}

// The TIFF structure inside a JPEG's first APP1 block that starts with "Exif\0\0". Segments are
// walked by their lengths up to the start of the scan; a length that does not fit ends the walk.
std::optional<uint32_t> JpegOrientation(const uint8_t* data, size_t size) {
    size_t at = 2;
    while (at + 4 <= size && data[at] == 0xFF) {
        uint8_t marker = data[at + 1];
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) break;                // the scan or the end: no more metadata
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) { // markers without a length
            at += 2;
            continue;
        }
        size_t length = Read16(data + at + 2, true);
        if (length < 2 || length > size - at - 2) break;
        const uint8_t* body = data + at + 4;
        size_t bodySize = length - 2;
        static const uint8_t exif[6] = {'E', 'x', 'i', 'f', 0, 0};
        if (marker == 0xE1 && bodySize >= 6 && std::equal(exif, exif + 6, body)) {
            return TiffTagValue(body + 6, bodySize - 6, OrientationTag);
        }
        at += 2 + length;
    }
    return std::nullopt;
}

} // namespace

std::optional<uint32_t> TiffTagValue(const uint8_t* data, size_t size, uint16_t tag) {
    if (size < 8) return std::nullopt;
    bool big;
    if (data[0] == 'I' && data[1] == 'I')
        big = false;
    else if (data[0] == 'M' && data[1] == 'M')
        big = true;
    else
        return std::nullopt;
    if (Read16(data + 2, big) != 42) return std::nullopt;
    // Only the first directory is read and no offset is followed from it, so no chain of offsets can
    // lead in a circle.
    size_t ifd = Read32(data + 4, big);
    if (ifd < 8 || ifd > size - 2) return std::nullopt;
    size_t count = Read16(data + ifd, big);
    if (count > (size - ifd - 2) / 12) return std::nullopt; // entries past the end
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* entry = data + ifd + 2 + 12 * i;
        if (Read16(entry, big) != tag) continue;
        uint32_t type = Read16(entry + 2, big), n = Read32(entry + 4, big);
        if (n != 1) return std::nullopt;
        if (type == 3) return Read16(entry + 8, big); // SHORT, in the first two bytes of the value
        if (type == 4) return Read32(entry + 8, big); // LONG
        return std::nullopt;
    }
    return std::nullopt;
}

int ReadOrientation(const uint8_t* data, size_t size) {
    if (size < 8) return 1;
    std::optional<uint32_t> value;
    if (data[0] == 0xFF && data[1] == 0xD8) {
        value = JpegOrientation(data, size);
    } else if ((data[0] == 'I' && data[1] == 'I') || (data[0] == 'M' && data[1] == 'M')) {
        value = TiffTagValue(data, size, OrientationTag);
    }
    return value && *value >= 1 && *value <= 8 ? static_cast<int>(*value) : 1;
}

} // namespace wallpaper
