#include "wallpaper/picture_orientation.h"

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

// The offset of directory number `index` in a TIFF structure whose header is whole, when its count and
// entries are there. Only `index` offsets are followed, so no chain of offsets can lead in a circle.
std::optional<size_t> TiffDirectory(const uint8_t* data, size_t size, bool big, int index) {
    size_t ifd = Read32(data + 4, big);
    for (int i = 0;; ++i) {
        if (ifd < 8 || ifd > size - 2) return std::nullopt;
        size_t count = Read16(data + ifd, big);
        if (count > (size - ifd - 2) / 12) return std::nullopt; // entries past the end
        if (i == index) return ifd;
        size_t next = ifd + 2 + 12 * count;
        if (next > size - 4) return std::nullopt;
        ifd = Read32(data + next, big);
    }
}

} // namespace

// Segments are walked by their lengths up to the start of the scan; a length that does not fit ends the
// walk.
std::optional<ByteRange> JpegExifTiff(const uint8_t* data, size_t size) {
    if (size < 2 || data[0] != 0xFF || data[1] != 0xD8) return std::nullopt;
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
            return ByteRange{at + 4 + 6, bodySize - 6};
        }
        at += 2 + length;
    }
    return std::nullopt;
}

std::optional<uint32_t> TiffTagValue(const uint8_t* data, size_t size, uint16_t tag, int directory) {
    if (size < 8) return std::nullopt;
    bool big;
    if (data[0] == 'I' && data[1] == 'I')
        big = false;
    else if (data[0] == 'M' && data[1] == 'M')
        big = true;
    else
        return std::nullopt;
    if (Read16(data + 2, big) != 42) return std::nullopt;
    std::optional<size_t> ifd = TiffDirectory(data, size, big, directory);
    if (!ifd) return std::nullopt;
    size_t count = Read16(data + *ifd, big);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* entry = data + *ifd + 2 + 12 * i;
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
        if (std::optional<ByteRange> tiff = JpegExifTiff(data, size))
            value = TiffTagValue(data + tiff->offset, tiff->length, OrientationTag);
    } else if ((data[0] == 'I' && data[1] == 'I') || (data[0] == 'M' && data[1] == 'M')) {
        value = TiffTagValue(data, size, OrientationTag);
    }
    return value && *value >= 1 && *value <= 8 ? static_cast<int>(*value) : 1;
}

} // namespace wallpaper
