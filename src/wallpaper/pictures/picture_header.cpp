#include "wallpaper/pictures/picture_header.h"

#include "wallpaper/pictures/picture_orientation.h"

namespace wallpaper {
namespace {

class Bytes {
  public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Has(size_t at, size_t n) const { return at <= size_ && n <= size_ - at; }
    uint8_t U8(size_t at) const { return data_[at]; }
    uint32_t Le16(size_t at) const { return data_[at] | uint32_t{data_[at + 1]} << 8; }
    uint32_t Be16(size_t at) const { return uint32_t{data_[at]} << 8 | data_[at + 1]; }
    uint32_t Le32(size_t at) const { return Le16(at) | Le16(at + 2) << 16; }
    uint32_t Be32(size_t at) const { return Be16(at) << 16 | Be16(at + 2); }
    size_t size() const { return size_; }

  private:
    const uint8_t* data_;
    size_t size_;
};

// Set by Checked when a size is refused, for the one ReadPictureHeader running on this thread.
thread_local bool sizeRefused = false;

std::optional<PictureHeader> Checked(PictureFormat format, uint64_t width, uint64_t height) {
    if (!PictureSizeAllowed(width, height)) {
        sizeRefused = width > 0 && height > 0;
        return std::nullopt;
    }
    return PictureHeader{format, static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
}

// The markers are walked as the JPEG library walks them up to its first frame header: bytes
// between markers are passed over, fill bytes (FF FF) skipped, a frame header taken as the only one.
std::optional<PictureHeader> Jpeg(const Bytes& b) {
    size_t at = 2;
    for (;;) {
        while (b.Has(at, 1) && b.U8(at) != 0xFF)
            ++at;
        while (b.Has(at, 1) && b.U8(at) == 0xFF)
            ++at;
        if (!b.Has(at, 1)) return std::nullopt;
        uint8_t marker = b.U8(at++);
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue; // no length
        // Baseline, extended and progressive frames, Huffman or arithmetic: what the library decodes.
        if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2 || marker == 0xC9 || marker == 0xCA) {
            if (!b.Has(at, 8)) return std::nullopt;
            uint32_t components = b.U8(at + 7);
            // More components than CMYK only multiply what a progressive picture holds while it decodes.
            if (components < 1 || components > 4) return std::nullopt;
            uint64_t w = b.Be16(at + 5), h = b.Be16(at + 3);
            // Every 8 × 8 block of the picture takes at least one bit: a file with fewer bits than
            // that is a fragment, which the library would spread over the whole size claimed.
            if (b.size() < w * h / 512) return std::nullopt;
            return Checked(PictureFormat::Jpeg, w, h);
        }
        bool segment = marker == 0xC4 || marker == 0xCC || marker == 0xDB || marker == 0xDC ||
                       marker == 0xDD || (marker >= 0xE0 && marker <= 0xEF) || marker == 0xFE;
        // Anything else before a frame (image data, the end, other frame kinds) ends the decoding too.
        if (!segment || !b.Has(at, 2) || b.Be16(at) < 2) return std::nullopt;
        at += b.Be16(at);
    }
}

// Past a chain of data sub-blocks (length byte, data), ended by an empty one; false when cut short.
bool SkipSubBlocks(const Bytes& b, size_t& at) {
    while (b.Has(at, 1)) {
        uint8_t n = b.U8(at++);
        if (n == 0) return true;
        at += n;
    }
    return false;
}

size_t ColourTable(uint8_t flags) {
    return flags & 0x80 ? 3 * (size_t{2} << (flags & 7)) : 0;
}

// The decoder reads every frame before the first is shown, so every frame counts, up to the point
// where the decoder would stop with an error.
std::optional<PictureHeader> Gif(const Bytes& b) {
    if (!b.Has(0, 13)) return std::nullopt;
    if (b.Le16(6) > MaxPictureSide || b.Le16(8) > MaxPictureSide)
        return Checked(PictureFormat::Gif, b.Le16(6), b.Le16(8));
    size_t at = 13 + ColourTable(b.U8(10));
    uint64_t pixels = 0;
    std::optional<PictureHeader> first;
    while (b.Has(at, 1)) {
        uint8_t record = b.U8(at++);
        if (record == 0x2C) {
            if (!b.Has(at, 9)) break;
            uint32_t w = b.Le16(at + 4), h = b.Le16(at + 6);
            pixels += uint64_t{w} * h;
            if (w > MaxPictureSide || h > MaxPictureSide || pixels > MaxPicturePixels) {
                sizeRefused = true;
                return std::nullopt;
            }
            if (!first) {
                first = Checked(PictureFormat::Gif, w, h);
                if (!first) return std::nullopt;
            }
            at += 9 + ColourTable(b.U8(at + 8)) + 1; // the descriptor, a colour table, the code size
            if (!SkipSubBlocks(b, at)) break;
        } else if (record == 0x21) {
            ++at; // the extension's label
            if (!SkipSubBlocks(b, at)) break;
        } else {
            break; // the trailer, or a record the decoder does not know
        }
    }
    return first;
}

std::optional<PictureHeader> Bmp(const Bytes& b) {
    if (!b.Has(14, 4)) return std::nullopt;
    uint32_t header = b.Le32(14);
    if (header == 12) { // OS/2 1.x: 16-bit sizes
        if (!b.Has(18, 4)) return std::nullopt;
        return Checked(PictureFormat::Bmp, b.Le16(18), b.Le16(20));
    }
    if (header < 16 || header > 124 || !b.Has(18, 8)) return std::nullopt;
    auto width = static_cast<int32_t>(b.Le32(18)), height = static_cast<int32_t>(b.Le32(22));
    // A negative height is a picture stored top-down.
    int64_t rows = height < 0 ? -int64_t{height} : height;
    if (width <= 0) return std::nullopt;
    return Checked(PictureFormat::Bmp, static_cast<uint64_t>(width), static_cast<uint64_t>(rows));
}

std::optional<PictureHeader> Png(const Bytes& b) {
    if (!b.Has(0, 24) || b.Be32(12) != 0x49484452) return std::nullopt; // "IHDR" comes first
    return Checked(PictureFormat::Png, b.Be32(16), b.Be32(20));
}

// The first directory's width and length, as the decoder takes the first page.
std::optional<PictureHeader> Tiff(const uint8_t* data, size_t size) {
    auto w = TiffTagValue(data, size, 256), h = TiffTagValue(data, size, 257);
    if (!w || !h) return std::nullopt;
    return Checked(PictureFormat::Tiff, *w, *h);
}

} // namespace

bool PictureSizeAllowed(uint64_t width, uint64_t height) {
    return width > 0 && height > 0 && width <= MaxPictureSide && height <= MaxPictureSide &&
           width * height <= MaxPicturePixels;
}

std::optional<PictureFormat> PictureFormatOf(const uint8_t* data, size_t size) {
    Bytes b(data, size);
    if (!b.Has(0, 8)) return std::nullopt;
    if (b.U8(0) == 0xFF && b.U8(1) == 0xD8) return PictureFormat::Jpeg;
    if (b.U8(0) == 'G' && b.U8(1) == 'I' && b.U8(2) == 'F') return PictureFormat::Gif;
    if (b.U8(0) == 'B' && b.U8(1) == 'M') return PictureFormat::Bmp;
    if ((b.U8(0) == 'I' && b.U8(1) == 'I' && b.Le16(2) == 42) ||
        (b.U8(0) == 'M' && b.U8(1) == 'M' && b.Be16(2) == 42))
        return PictureFormat::Tiff;
    static const uint8_t png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    for (size_t i = 0; i < 8; ++i)
        if (b.U8(i) != png[i]) return std::nullopt;
    return PictureFormat::Png;
}

std::optional<PictureHeader> ReadPictureHeader(const uint8_t* data, size_t size, bool* tooLarge) {
    sizeRefused = false;
    std::optional<PictureHeader> header;
    if (std::optional<PictureFormat> format = PictureFormatOf(data, size)) {
        Bytes b(data, size);
        switch (*format) {
        case PictureFormat::Jpeg:
            header = Jpeg(b);
            break;
        case PictureFormat::Gif:
            header = Gif(b);
            break;
        case PictureFormat::Bmp:
            header = Bmp(b);
            break;
        case PictureFormat::Png:
            header = Png(b);
            break;
        case PictureFormat::Tiff:
            header = Tiff(data, size);
            break;
        }
    }
    if (tooLarge) *tooLarge = !header && sizeRefused;
    return header;
}

} // namespace wallpaper
