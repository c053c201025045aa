#include "wallpaper/pictures/picture_rating.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>

using namespace wallpaper;
using namespace std::literals;

namespace {

#include "tests/wallpaper/pictures/rating_samples.inc"

std::optional<int> Read(std::string_view bytes) {
    return ReadRating(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// A JPEG whose only block is an XMP packet holding `description`.
std::string JpegXmp(std::string_view description) {
    std::string body = "http://ns.adobe.com/xap/1.0/"s + '\0' +
                       "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF><rdf:Description " +
                       std::string(description) + "</rdf:RDF></x:xmpmeta>";
    size_t n = body.size() + 2;
    return "\xFF\xD8\xFF\xE1"s + char(n >> 8) + char(n & 0xFF) + body;
}

// A little-endian TIFF whose first directory holds SHORT entries for Rating and RatingPercent; -1 leaves
// one out.
std::string ExifTiff(int stars, int percent) {
    std::string t = "II*\0\x08\0\0\0"s + char((stars >= 0) + (percent >= 0)) + '\0';
    for (auto [tag, value] : {std::pair{0x4746, stars}, std::pair{0x4749, percent}})
        if (value >= 0) t += {char(tag & 0xFF), char(tag >> 8), 3, 0, 1, 0, 0, 0, char(value), 0, 0, 0};
    return t + "\0\0\0\0"s;
}

} // namespace

TEST(PictureRating, AsRatingProgramsWriteIt) {
    struct Case {
        const char* what;
        std::string_view bytes;
        std::optional<int> rating, whenCut; // whenCut: what a head cut short may give besides nothing
        Mark mark;
    } cases[] = {
        {"Explorer: XMP element and EXIF", explorer_jpg, 5, 5, Mark::Favourite},
        {"Lightroom: XMP attribute", lightroom_jpg, 4, 4, Mark::Favourite},
        {"rejected", rejected_jpg, -1, -1, Mark::Never},
        {"XMP over EXIF", xmp_over_exif_jpg, 2, 5, Mark::None},
        {"EXIF RatingPercent only", exif_percent_jpg, 4, 4, Mark::Favourite},
        {"PNG iTXt", rated_png, 3, 3, Mark::None},
        {"TIFF tag 700", rated_tif, 4, 4, Mark::Favourite},
        {"no rating", plain_jpg, std::nullopt, std::nullopt, Mark::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Read(c.bytes), c.rating) << c.what;
        EXPECT_EQ(MarkFromRating(Read(c.bytes)), c.mark) << c.what;
        // Cut off anywhere, a block is read whole or not at all (the native build checks every read).
        for (size_t n = 0; n < c.bytes.size(); ++n) {
            std::optional<int> cut = Read(c.bytes.substr(0, n));
            EXPECT_TRUE(!cut || cut == c.whenCut) << c.what << " cut at " << n;
        }
    }
}

TEST(PictureRating, XmpForms) {
    const std::string_view ns = "xmlns:xmp='http://ns.adobe.com/xap/1.0/'"sv;
    struct Case {
        std::string description;
        std::optional<int> rating;
    } cases[] = {
        {"xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" xmp:Rating=\"5\"/>", 5},
        {std::string(ns) + " xmp:Rating = '4.0' />", 4},
        {std::string(ns) + "><xmp:Rating> 1 </xmp:Rating></rdf:Description>", 1},
        {std::string(ns) + "><xmp:Rating>-1.00</xmp:Rating></rdf:Description>", -1},
        {"xmlns:xap='http://ns.adobe.com/xap/1.0/' xap:Rating='3'/>", 3}, // older Adobe packets
        {"xmlns:MicrosoftPhoto='http://ns.microsoft.com/photo/1.0'><MicrosoftPhoto:Rating>99"
         "</MicrosoftPhoto:Rating></rdf:Description>",
         std::nullopt},
        {std::string(ns) + " xmp:RatingX='4'/>", std::nullopt},
        {std::string(ns) + " xmp:Rating='6'/>", std::nullopt},
        {std::string(ns) + " xmp:Rating='four'/>", std::nullopt},
        {std::string(ns) + "><xmp:Rating/></rdf:Description>", std::nullopt},
        {std::string(ns) + " xmp:Rating='4", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Read(JpegXmp(c.description)), c.rating) << c.description;
}

TEST(PictureRating, ExifStarsElseWindowsPercentBands) {
    EXPECT_EQ(Read(ExifTiff(0, -1)), 0);
    EXPECT_EQ(Read(ExifTiff(5, -1)), 5);
    EXPECT_EQ(Read(ExifTiff(3, 99)), 3);
    EXPECT_EQ(Read(ExifTiff(9, 50)), 3); // stars out of range leave it to the percentage
    EXPECT_FALSE(Read(ExifTiff(6, -1)));
    EXPECT_FALSE(Read(ExifTiff(-1, 101)));
    const int bands[][2] = {{0, 0},  {1, 1},  {12, 1}, {13, 2}, {25, 2}, {50, 3},
                            {75, 4}, {87, 4}, {88, 5}, {99, 5}, {100, 5}};
    for (auto [percent, stars] : bands)
        EXPECT_EQ(Read(ExifTiff(-1, percent)), stars) << percent;
}
