#include "wallpaper/pictures/picture_rating.h"

#include "wallpaper/pictures/picture_orientation.h"

#include <span>
#include <string>
#include <string_view>

namespace wallpaper {
namespace {

using namespace std::string_view_literals;

constexpr uint16_t XmpTag = 700, RatingTag = 0x4746, RatingPercentTag = 0x4749;
constexpr std::string_view XmpNamespace = "http://ns.adobe.com/xap/1.0/";

std::string_view AsText(std::span<const uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

// The XMP packet of a PNG: the text of its iTXt chunk "XML:com.adobe.xmp" when that is stored
// uncompressed (inflating it is decoding, which this reader leaves alone) and lies whole in `bytes`.
std::string_view PngXmp(std::string_view bytes) {
    if (!bytes.starts_with("\x89PNG\r\n\x1A\n"sv)) return {};
    constexpr std::string_view keyword = "XML:com.adobe.xmp\0"sv;
    auto read32 = [&](size_t at) {
        return uint32_t(uint8_t(bytes[at])) << 24 | uint32_t(uint8_t(bytes[at + 1])) << 16 |
               uint32_t(uint8_t(bytes[at + 2])) << 8 | uint8_t(bytes[at + 3]);
    };
    for (size_t at = 8; at + 8 <= bytes.size();) {
        size_t length = read32(at);
        if (length > bytes.size() - at - 8) break;
        std::string_view type = bytes.substr(at + 4, 4), body = bytes.substr(at + 8, length);
        if (type == "iTXt" && body.starts_with(keyword) && body.size() >= keyword.size() + 2 &&
            body[keyword.size()] == 0) {
            // Then the compression method, the language and the translated keyword, each ended by a zero.
            size_t language = body.find('\0', keyword.size() + 2);
            size_t translated = language == body.npos ? language : body.find('\0', language + 1);
            return translated == body.npos ? std::string_view{} : body.substr(translated + 1);
        }
        if (type == "IEND") break;
        at += 12 + length; // length, type, data and CRC
    }
    return {};
}

// The prefix the packet binds to the xmp namespace: "xmp" as a rule, "xap" in older packets.
std::string XmpPrefix(std::string_view xmp) {
    for (size_t at = xmp.find("xmlns:"); at != xmp.npos; at = xmp.find("xmlns:", at + 1)) {
        std::string_view rest = xmp.substr(at + 6);
        size_t equals = rest.find('=');
        if (equals == rest.npos) break;
        std::string_view name = Trim(rest.substr(0, equals)), value = Trim(rest.substr(equals + 1));
        if (!value.empty() && (value[0] == '"' || value[0] == '\'') &&
            value.substr(1).starts_with(XmpNamespace) && value.size() > XmpNamespace.size() + 1 &&
            value[XmpNamespace.size() + 1] == value[0])
            return std::string(name);
    }
    return "xmp";
}

// A rating written as a whole number or a decimal ("4.0"), -1 to 5.
std::optional<int> ParseRating(std::string_view s) {
    s = Trim(s);
    bool negative = s.starts_with('-');
    if (negative) s.remove_prefix(1);
    size_t dot = s.find('.');
    std::string_view whole = s.substr(0, dot), fraction = dot == s.npos ? ""sv : s.substr(dot + 1);
    if (whole.empty() || whole.size() > 3) return std::nullopt;
    int value = 0;
    for (char c : whole) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    for (char c : fraction)
        if (c < '0' || c > '9') return std::nullopt;
    if (negative) value = -value;
    return value >= -1 && value <= 5 ? std::optional<int>(value) : std::nullopt;
}

// xmp:Rating as Lightroom and Bridge write it, an attribute of rdf:Description (xmp:Rating="4"), or as
// Windows writes it, an element (<xmp:Rating>5</xmp:Rating>). Other namespaces' ratings
// (MicrosoftPhoto:Rating is a percentage) do not match the whole name.
std::optional<int> XmpRating(std::string_view xmp) {
    const std::string name = XmpPrefix(xmp) + ":Rating";
    for (size_t at = xmp.find(name); at != xmp.npos; at = xmp.find(name, at + 1)) {
        if (at == 0) continue;
        std::string_view rest = xmp.substr(at + name.size());
        if (xmp[at - 1] == '<' && (rest.starts_with('>') || (!rest.empty() && IsSpace(rest[0])))) {
            size_t open = rest.find('>');
            if (open == rest.npos || (open > 0 && rest[open - 1] == '/'))
                return std::nullopt; // cut off, or empty
            rest.remove_prefix(open + 1);
            size_t close = rest.find('<');
            if (close == rest.npos) return std::nullopt;
            return ParseRating(rest.substr(0, close));
        }
        if (IsSpace(xmp[at - 1])) {
            rest = Trim(rest);
            if (!rest.starts_with('=')) continue;
            rest = Trim(rest.substr(1));
            if (rest.empty() || (rest[0] != '"' && rest[0] != '\'')) continue;
            size_t close = rest.find(rest[0], 1);
            if (close == rest.npos) return std::nullopt;
            return ParseRating(rest.substr(1, close - 1));
        }
    }
    return std::nullopt;
}

// Windows keeps the stars in Rating and, for other programs, RatingPercent in steps of 25 (1 star is 1);
// the percentage is read in Windows' own bands.
std::optional<int> ExifRating(std::span<const uint8_t> tiff) {
    std::optional<uint32_t> stars = TiffTagValue(tiff.data(), tiff.size(), RatingTag);
    if (stars && *stars <= 5) return static_cast<int>(*stars);
    std::optional<uint32_t> percent = TiffTagValue(tiff.data(), tiff.size(), RatingPercentTag);
    if (!percent || *percent > 100) return std::nullopt;
    if (*percent == 0) return 0;
    return *percent < 13 ? 1 : *percent < 38 ? 2 : *percent < 63 ? 3 : *percent < 88 ? 4 : 5;
}

} // namespace

std::optional<int> ReadRating(const uint8_t* data, size_t size) {
    std::string_view xmp;
    std::span<const uint8_t> exif{data, size};
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xD8) {
        xmp = AsText(JpegSegment(data, size, 0xE1, "http://ns.adobe.com/xap/1.0/\0"sv));
        exif = JpegSegment(data, size, 0xE1, "Exif\0\0"sv);
    } else {
        xmp = PngXmp(AsText(exif));
        if (xmp.empty()) xmp = AsText(TiffTagBytes(data, size, XmpTag)); // a TIFF's; nothing for others
    }
    if (std::optional<int> rating = XmpRating(xmp)) return rating;
    return ExifRating(exif);
}

Mark MarkFromRating(std::optional<int> rating) {
    if (!rating) return Mark::None;
    if (*rating >= 4) return Mark::Favourite;
    return *rating == -1 ? Mark::Never : Mark::None;
}

} // namespace wallpaper
