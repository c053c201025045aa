#include "wallpaper/pictures/thumbnail_cache.h"

#include <gtest/gtest.h>

using namespace wallpaper;

namespace {

// Built from code points, so that the same key is tested where wchar_t holds UTF-16 and UTF-32.
std::wstring Text(std::u32string s) {
    std::wstring w;
    for (char32_t c : s) {
        if (sizeof(wchar_t) == 2 && c > 0xFFFF) {
            w += wchar_t(0xD800 + ((c - 0x10000) >> 10));
            w += wchar_t(0xDC00 + (c & 0x3FF));
        } else {
            w += wchar_t(c);
        }
    }
    return w;
}

const ThumbnailKey Key{Text(U"c:\\图片\\𠀀a.jpg"), 1234, 0x01D9000000000000};

ThumbnailPixels Pixels(int w, int h) {
    ThumbnailPixels p{w, h, {}};
    for (int i = 0; i < w * h * 4; ++i)
        p.bgra.push_back(uint8_t(i * 7));
    return p;
}

std::optional<ThumbnailPixels> Decode(const std::vector<uint8_t>& file, const ThumbnailKey& key = Key) {
    return DecodeThumbnail(file.data(), file.size(), key);
}

} // namespace

TEST(ThumbnailCache, FileNameFollowsTheKeyAndIgnoresCase) {
    // Worked out apart from the program (FNV-1a over UTF-16LE "C:\图片\𠀀A.JPG", then the two numbers):
    // the same in every build, so a thumbnail made once is found again.
    EXPECT_EQ(ThumbnailFileName(Key), L"a7bca020eb32c28f.thumb");
    auto name = [](std::u32string path, uint64_t size, uint64_t time) {
        return ThumbnailFileName({Text(path), size, time});
    };
    EXPECT_EQ(name(U"C:\\图片\\𠀀A.JPG", Key.size, Key.writeTime), ThumbnailFileName(Key));
    for (const std::wstring& other :
         {name(U"c:\\图片\\𠀀a.jpg", 1235, Key.writeTime), name(U"c:\\图片\\𠀀a.jpg", 1234, 1),
          name(U"c:\\图片\\𠀁a.jpg", Key.size, Key.writeTime)})
        EXPECT_NE(other, ThumbnailFileName(Key));
    // Letters of other scripts that Windows takes as the same name.
    const std::u32string pairs[][2] = {
        {U"ａｂｃ", U"ＡＢＣ"}, {U"éñÿ", U"ÉÑŸ"}, {U"łćž", U"ŁĆŽ"}, {U"σς", U"ΣΣ"}, {U"жё", U"ЖЁ"}};
    for (const auto& p : pairs)
        EXPECT_EQ(FoldedPath(Text(p[0])), FoldedPath(Text(p[1])));
    EXPECT_NE(FoldedPath(Text(U"图")), FoldedPath(Text(U"圖")));

    EXPECT_TRUE(IsThumbnailFileName(ThumbnailFileName(Key)));
    for (const wchar_t* foreign : {L"index.txt", L"a7bca020eb32c28f.thumb.tmp", L"A7BCA020EB32C28F.thumb",
                                   L"a7bca020eb32c28.thumb", L"a7bca020eb32c28g.thumb", L""})
        EXPECT_FALSE(IsThumbnailFileName(foreign)) << foreign;
}

TEST(ThumbnailCache, FileGivesBackItsPixelsOnlyWholeAndForItsKey) {
    ThumbnailPixels failed;
    failed.failed = true;
    for (const ThumbnailPixels& p : {Pixels(3, 2), Pixels(512, 1), failed}) {
        std::vector<uint8_t> file = EncodeThumbnail(Key, p);
        EXPECT_EQ(Decode(file), p);
        EXPECT_EQ(Decode(file, {Text(U"C:\\图片\\𠀀A.JPG"), Key.size, Key.writeTime}), p);
        EXPECT_FALSE(Decode(file, {Key.path, Key.size + 1, Key.writeTime}));
        EXPECT_FALSE(Decode(file, {Key.path, Key.size, Key.writeTime - 1}));
        EXPECT_FALSE(Decode(file, {Key.path + L"x", Key.size, Key.writeTime}));
    }
    std::vector<uint8_t> file = EncodeThumbnail(Key, Pixels(3, 2));
    for (size_t i = 0; i < file.size(); ++i) {
        std::vector<uint8_t> damaged = file;
        damaged[i] ^= 0x10;
        EXPECT_FALSE(Decode(damaged)) << i;
        std::vector<uint8_t> cut(file.begin(), file.begin() + i);
        EXPECT_FALSE(Decode(cut)) << i;
    }
    file.push_back(0);
    EXPECT_FALSE(Decode(file));
    EXPECT_FALSE(Decode(std::vector<uint8_t>(file.size(), 'x')));

    // Pixels the file cannot hold are not written.
    ThumbnailPixels wrongCount = Pixels(3, 2);
    wrongCount.bgra.pop_back();
    for (const ThumbnailPixels& p : {Pixels(513, 1), Pixels(1, 513), Pixels(0, 5), wrongCount})
        EXPECT_TRUE(EncodeThumbnail(Key, p).empty()) << p.width << "x" << p.height;
}

TEST(ThumbnailCache, IndexEvictsTheLeastRecentlyUsedDownToTheLimit) {
    auto name = [](int i) { return ThumbnailFileName({L"c:\\" + std::to_wstring(i), 0, 0}); };
    ThumbnailCacheIndex index;
    for (int i = 0; i < 5; ++i)
        index.Touch(name(i), 100, 10 + i);
    index.Touch(name(1), 150, 20);      // shown again, and made larger
    index.Touch(L"index.txt", 1000, 1); // not ours: never counted, never deleted
    EXPECT_EQ(index.TotalBytes(), 550u);
    EXPECT_TRUE(index.Evict(550).empty());
    EXPECT_EQ(index.Evict(300), (std::vector<std::wstring>{name(0), name(2), name(3)}));
    EXPECT_EQ(index.TotalBytes(), 250u);
    EXPECT_EQ(index.Evict(0), (std::vector<std::wstring>{name(4), name(1)}));
    EXPECT_EQ(index.TotalBytes(), 0u);

    index.Touch(name(7), 70, 7);
    index.Touch(name(8), 80, 8);
    const std::wstring text = index.Text();
    // Lines cut short, numbers that are none or too large, and names that are not ours are skipped.
    std::wstring damaged = L"garbage\r\nother.thumb\t90\t9\r\n";
    for (const wchar_t* tail :
         {L"\t90", L"\tx\t9", L"\t90\t-9", L"\t99999999999\t9", L"\t9\t99999999999999999999"})
        damaged += name(9) + tail + L"\n";
    ThumbnailCacheIndex again = ThumbnailCacheIndex::Parse(damaged + text);
    EXPECT_EQ(again.Entries(), index.Entries());
    EXPECT_EQ(again.TotalBytes(), 150u);

    ThumbnailCacheIndex listed =
        ThumbnailCacheIndex::FromListing({{name(7), 70, 7}, {L"x.tmp", 5, 0}, {name(8), 80, 8}});
    EXPECT_EQ(listed.Entries(), index.Entries());
    EXPECT_EQ(listed.Text(), text);
}
