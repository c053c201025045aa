#include "wallpaper/pictures/picture_orientation.h"

#include <cstring>

namespace wallpaper {
namespace {

constexpr uint16_t OrientationTag = 274;

uint32_t Read16(const uint8_t* p, bool big) {
    return big ? uint32_t{p[0]} << 8 | p[1] : p[0] | uint32_t{p[1]} << 8;
}
uint32_t Read32(const uint8_t* p, bool big) {
    return big ? Read16(p, true) << 16 | Read16(p + 2, true) : Read16(p, false) | Read16(p + 2, false) << 16;
}

// The 12 bytes of `tag`'s entry in directory number `directory`, and the byte order; null when not
// there whole. Only `directory` next-directory offsets are followed, so no chain of offsets can lead
// in a circle.
const uint8_t* TiffEntry(const uint8_t* data, size_t size, uint16_t tag, int directory, bool& big) {
    if (size < 8 || directory < 0) return nullptr;
    if (data[0] == 'I' && data[1] == 'I')
        big = false;
    else if (data[0] == 'M' && data[1] == 'M')
        big = true;
    else
        return nullptr;
    if (Read16(data + 2, big) != 42) return nullptr;
    size_t ifd = Read32(data + 4, big), count = 0;
    for (int i = 0;; ++i) {
        if (ifd < 8 || ifd > size - 2) return nullptr;
        count = Read16(data + ifd, big);
        if (count > (size - ifd - 2) / 12) return nullptr; // entries past the end
        if (i == directory) break;
        size_t next = ifd + 2 + 12 * count;
        if (next > size - 4) return nullptr;
        ifd = Read32(data + next, big);
    }
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* entry = data + ifd + 2 + 12 * i;
        if (Read16(entry, big) == tag) return entry;
    }
    return nullptr;
}

} // namespace

std::optional<uint32_t> TiffTagValue(const uint8_t* data, size_t size, uint16_t tag, int directory) {
    bool big;
    const uint8_t* entry = TiffEntry(data, size, tag, directory, big);
    if (!entry) return std::nullopt;
    uint32_t type = Read16(entry + 2, big), n = Read32(entry + 4, big);
    if (n != 1) return std::nullopt;
    if (type == 3) return Read16(entry + 8, big); // SHORT, in the first two bytes of the value
    if (type == 4) return Read32(entry + 8, big); // LONG
    return std::nullopt;
}

std::span<const uint8_t> TiffTagBytes(const uint8_t* data, size_t size, uint16_t tag) {
    bool big;
    const uint8_t* entry = TiffEntry(data, size, tag, 0, big);
    if (!entry) return {};
    uint32_t type = Read16(entry + 2, big);
    size_t n = Read32(entry + 4, big);
    if (type != 1 && type != 7) return {};
    if (n <= 4) return {entry + 8, n}; // small data sits in the entry itself
    size_t at = Read32(entry + 8, big);
    if (at > size || n > size - at) return {};
    return {data + at, n};
}

std::span<const uint8_t> JpegSegment(const uint8_t* data, size_t size, uint8_t marker,
                                     std::string_view name) {
    if (size < 2 || data[0] != 0xFF || data[1] != 0xD8) return {};
    size_t at = 2;
    while (at + 4 <= size && data[at] == 0xFF) {
        uint8_t m = data[at + 1];
        if (m == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (m == 0xDA || m == 0xD9) break;           // the scan or the end: no more metadata
        if (m == 0x01 || (m >= 0xD0 && m <= 0xD8)) { // markers without a length
            at += 2;
            continue;
        }
        size_t length = Read16(data + at + 2, true);
        if (length < 2 || length > size - at - 2) break;
        const uint8_t* body = data + at + 4;
        size_t bodySize = length - 2;
        if (m == marker && bodySize >= name.size() && std::memcmp(body, name.data(), name.size()) == 0)
            return {body + name.size(), bodySize - name.size()};
        at += 2 + length;
    }
    return {};
}

int ReadOrientation(const uint8_t* data, size_t size) {
    using namespace std::string_view_literals;
    if (size < 8) return 1;
    std::optional<uint32_t> value;
    if (data[0] == 0xFF && data[1] == 0xD8) {
        std::span<const uint8_t> exif = JpegSegment(data, size, 0xE1, "Exif\0\0"sv);
        value = TiffTagValue(exif.data(), exif.size(), OrientationTag);
    } else if ((data[0] == 'I' && data[1] == 'I') || (data[0] == 'M' && data[1] == 'M')) {
        value = TiffTagValue(data, size, OrientationTag);
    }
    return value && *value >= 1 && *value <= 8 ? static_cast<int>(*value) : 1;
}

} // namespace wallpaper
