#include "wallpaper/pictures/picture_orientation.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace wallpaper;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Bytes U16(uint32_t v, bool big) {
    return big ? Bytes{uint8_t(v >> 8), uint8_t(v)} : Bytes{uint8_t(v), uint8_t(v >> 8)};
}
Bytes U32(uint32_t v, bool big) {
    return big ? U16(v >> 16, true) + U16(v & 0xFFFF, true) : U16(v & 0xFFFF, false) + U16(v >> 16, false);
}

// A TIFF structure whose first directory holds an entry for the width (SHORT 640) and then one for
// `tag` with `type`, `count` and `value`. The directory is at 8, wherever the header claims it.
Bytes Tiff(bool big, uint32_t value, uint16_t type = 3, uint32_t count = 1, uint16_t tag = 274,
           uint32_t at = 8) {
    Bytes b = Bytes{uint8_t(big ? 'M' : 'I'), uint8_t(big ? 'M' : 'I')} + U16(42, big) + U32(at, big);
    Bytes v = type == 3 ? U16(value, big) + U16(0, big) : U32(value, big);
    return b + U16(2, big) + U16(256, big) + U16(3, big) + U32(1, big) + U16(640, big) + U16(0, big) +
           U16(tag, big) + U16(type, big) + U32(count, big) + v + U32(0, big);
}
Bytes Segment(uint8_t marker, const Bytes& body, size_t extraLength = 0) {
    size_t n = body.size() + 2 + extraLength;
    return Bytes{0xFF, marker, uint8_t(n >> 8), uint8_t(n)} + body;
}
const Bytes Soi = {0xFF, 0xD8}, Sos = {0xFF, 0xDA, 0, 8, 1, 1, 0, 0, 63, 0, 0x55, 0x55, 0xFF, 0xD9};
const Bytes App0 = Segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
const Bytes ExifName = {'E', 'x', 'i', 'f', 0, 0};
Bytes Jpeg(const Bytes& exifTiff) {
    return Soi + App0 + Segment(0xE1, ExifName + exifTiff) + Sos;
}

int Read(const Bytes& b) {
    return ReadOrientation(b.data(), b.size());
}

} // namespace

TEST(Orientation, EveryValueInBothByteOrdersFromJpegAndTiff) {
    for (bool big : {false, true})
        for (uint32_t v = 1; v <= 8; ++v) {
            EXPECT_EQ(Read(Jpeg(Tiff(big, v))), static_cast<int>(v)) << big << v;
            EXPECT_EQ(Read(Tiff(big, v)), static_cast<int>(v)) << big << v;
            // Stored as a LONG, and after an XMP block in another APP1 segment.
            EXPECT_EQ(Read(Jpeg(Tiff(big, v, 4))), static_cast<int>(v));
            Bytes xmp = Segment(0xE1, {'h', 't', 't', 'p', ':', '/', '/', 0});
            EXPECT_EQ(Read(Soi + xmp + Segment(0xE1, ExifName + Tiff(big, v)) + Sos), static_cast<int>(v));
        }
    // The TIFF reader gives what the header reads too.
    Bytes t = Tiff(true, 6);
    EXPECT_EQ(TiffTagValue(t.data(), t.size(), 256), 640u);
    EXPECT_FALSE(TiffTagValue(t.data(), t.size(), 257));
}

TEST(Orientation, AnythingMissingDamagedOrLyingLeavesThePictureAsStored) {
    const Bytes good = Jpeg(Tiff(false, 6));
    Bytes exifAfterScan = Soi + App0 + Sos;
    exifAfterScan.insert(exifAfterScan.end() - 2, good.begin() + 2 + App0.size(), good.end() - Sos.size());
    Bytes zeroLength = Soi + Bytes{0xFF, 0xE0, 0, 0} + Segment(0xE1, ExifName + Tiff(false, 6)) + Sos;
    struct Case {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"no EXIF", Soi + App0 + Sos},
        {"no picture", Bytes(64, 'x')},
        {"PNG", Bytes{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13}},
        {"value 0", Jpeg(Tiff(false, 0))},
        {"value 9", Jpeg(Tiff(true, 9))},
        {"value 65535", Jpeg(Tiff(false, 0xFFFF))},
        {"text, not a number", Jpeg(Tiff(false, 6, 2))},
        {"two values", Jpeg(Tiff(false, 6, 3, 2))},
        {"another tag", Jpeg(Tiff(false, 6, 3, 1, 275))},
        {"not 42", Jpeg(Tiff(false, 6))},
        {"block longer than the file", Soi + Segment(0xE1, ExifName + Tiff(false, 6), 1000)},
        {"segment of length 0", zeroLength},
        {"directory past the end", Jpeg(Tiff(false, 6, 3, 1, 274, 0x7FFFFFF0))},
        {"directory at the header", Jpeg(Tiff(false, 6, 3, 1, 274, 0))},
        {"directory inside the header", Jpeg(Tiff(true, 6, 3, 1, 274, 7))},
        {"EXIF after the scan", exifAfterScan},
        {"EXIF name without its two zeros",
         Soi + Segment(0xE1, Bytes{'E', 'x', 'i', 'f'} + Tiff(false, 6)) + Sos},
        {"more entries than bytes", Tiff(false, 6)},
    };
    cases[9].bytes[2 + App0.size() + 4 + 6 + 2] = 43;
    cases[17].bytes[8] = 0xFF; // the directory's count
    for (const Case& c : cases)
        EXPECT_EQ(Read(c.bytes), 1) << c.what;
    // Cut off anywhere, the block is read whole or not at all (the native build checks every read).
    for (size_t n = 0; n < good.size(); ++n) {
        int v = ReadOrientation(good.data(), n);
        EXPECT_TRUE(v == 1 || (v == 6 && n >= good.size() - Sos.size())) << n;
    }
}
