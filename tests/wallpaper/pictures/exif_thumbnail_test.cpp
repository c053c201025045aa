#include "wallpaper/pictures/exif_thumbnail.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

using namespace wallpaper;

namespace {

#include "exif_thumbnail_samples.inc"

using Bytes = std::vector<uint8_t>;

// The big-endian sample with one four-byte value replaced.
struct Patched {
    Bytes b{WideThumb, WideThumb + sizeof WideThumb};
    size_t Search(const Bytes& what) const {
        return std::search(b.begin(), b.end(), what.begin(), what.end()) - b.begin();
    }
    size_t Tiff() const { return Search({'E', 'x', 'i', 'f', 0, 0}) + 6; }
    size_t LongValue(uint16_t tag) const {
        return Search({uint8_t(tag >> 8), uint8_t(tag), 0, 4, 0, 0, 0, 1}) + 8;
    }
    size_t NextDirectory() const {
        size_t ifd0 = Tiff() + 8;
        return ifd0 + 2 + 12 * (b[ifd0] << 8 | b[ifd0 + 1]);
    }
    Patched& Set(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = uint8_t(v >> (24 - 8 * i));
        return *this;
    }
    std::optional<ByteRange> Find() const { return ExifThumbnail(b.data(), b.size()); }
};

} // namespace

TEST(ExifThumbnail, PhotosMadeByExiftoolWholeOrCutShortAnywhere) {
    struct Case {
        const char* what;
        const uint8_t* data;
        size_t size;
        const size_t* at; // exiftool's offset and length, 0 for none
        int width, height;
    } cases[] = {
        {"160 x 120, big-endian", WideThumb, sizeof WideThumb, WideThumbAt, 160, 120},
        {"64 x 48, little-endian", NarrowThumb, sizeof NarrowThumb, NarrowThumbAt, 64, 48},
        {"EXIF without a thumbnail", NoThumb, sizeof NoThumb, NoThumbAt, 0, 0},
        {"no EXIF", NoExif, sizeof NoExif, NoExifAt, 0, 0},
    };
    for (const Case& c : cases) {
        std::optional<ExifThumb> any = UsableExifThumbnail(c.data, c.size, 1);
        if (c.at[1] == 0) {
            EXPECT_FALSE(ExifThumbnail(c.data, c.size)) << c.what;
            EXPECT_FALSE(any) << c.what;
        } else {
            ASSERT_TRUE(any) << c.what;
            EXPECT_EQ(any->range, (ByteRange{c.at[0], c.at[1]})) << c.what;
            EXPECT_EQ(std::pair(any->width, any->height), std::pair(c.width, c.height)) << c.what;
            EXPECT_EQ(UsableExifThumbnail(c.data, c.size, 80).has_value(), c.width >= 80) << c.what;
        }
        // The samples end with their APP1 block, which is read only when it is there whole. Each cut is
        // an allocation of its own, so that the sanitizer sees any read past it.
        for (size_t n = 0; n < c.size; ++n) {
            Bytes cut(c.data, c.data + n);
            EXPECT_FALSE(UsableExifThumbnail(cut.data(), n, 1)) << c.what << n;
        }
    }
}

TEST(ExifThumbnail, OnlyAThumbnailWithinTheBlockThatStartsAsAJpeg) {
    const Patched p;
    const size_t offset = p.LongValue(0x201), length = p.LongValue(0x202), at = WideThumbAt[0];
    ASSERT_EQ(p.Find(), (ByteRange{at, WideThumbAt[1]}));
    EXPECT_EQ(Patched(p).Set(length, WideThumbAt[1] - 1).Find(), (ByteRange{at, WideThumbAt[1] - 1}));
    struct Case {
        const char* what;
        size_t at;
        uint32_t value;
    } cases[] = {
        {"no second directory", p.NextDirectory(), 0},
        {"second directory past the end", p.NextDirectory(), 0xFFFFFF00},
        {"second directory inside the header", p.NextDirectory(), 4},
        {"the offset in another tag", offset - 8, 0x02030004},
        {"reaching one byte past the block", length, uint32_t(WideThumbAt[1] + 1)},
        {"length that wraps around", length, 0xFFFFFFFF},
        {"offset that wraps around", offset, 0xFFFFFFFE},
        {"one byte long", length, 1},
        {"not a JPEG", at, 0x89504E47},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(Patched(p).Set(c.at, c.value).Find()) << c.what;
}
