#include "daily/daily_answer.h"
#include "daily/daily_manifest.h"
#include "daily/daily_names.h"
#include "daily/daily_schedule.h"
#include "daily/utf8_text.h"

#include <chrono>
#include <gtest/gtest.h>
#include <set>

using namespace daily;

namespace {

std::string Image(const std::string& date, const std::string& name) {
    return R"({"startdate":")" + date + R"(","fullstartdate":")" + date + R"(1600","url":"/th?id=OHR.)" +
           name + R"(_1920x1080.jpg&rf=LaDigue_1920x1080.jpg&pid=hp","urlbase":"/th?id=OHR.)" + name +
           R"j(","copyright":"雪中的长城，中国北京 (© Photographer/Getty Images)","title":"雪中的长城",)j"
           R"("quiz":"/search?q=x","wp":true,"hsh":"6e2c7d)" +
           name + R"(","drk":1,"top":1,"bot":1,"hs":[]})";
}

ManifestEntry Entry(const std::wstring& date, const std::wstring& name, const std::wstring& hsh = L"") {
    return {name, date, L"", L"", hsh, L"https://cn.bing.com/" + date};
}

NameTest In(std::set<std::wstring> names) {
    return [names = std::move(names)](const std::wstring& n) { return names.contains(n); };
}

int64_t Local(int y, unsigned m, unsigned d, int hour = 0, int minute = 0, int second = 0) {
    using namespace std::chrono;
    return sys_days(year(y) / month(m) / day(d)).time_since_epoch().count() * 86400LL + hour * 3600 +
           minute * 60 + second;
}

} // namespace

TEST(DailyAnswer, ReadsTheServicesAnswerOldestFirst) {
    const std::optional<std::vector<DailyImage>> images = ParseDailyAnswer(
        R"({"images":[)" + Image("20261210", "GreatWall_ZH-CN123") + "," + Image("20261208", "A") + "," +
        Image("20261209", "B") + R"(],"tooltips":{"loading":"正在加载..."}})");
    ASSERT_TRUE(images && images->size() == 3);
    EXPECT_EQ((*images)[0].date + (*images)[1].date, L"2026120820261209");
    EXPECT_EQ(images->back(),
              (DailyImage{
                  L"20261210", L"/th?id=OHR.GreatWall_ZH-CN123_1920x1080.jpg&rf=LaDigue_1920x1080.jpg&pid=hp",
                  L"/th?id=OHR.GreatWall_ZH-CN123", L"雪中的长城",
                  L"雪中的长城，中国北京 (© Photographer/Getty Images)", L"6e2c7dGreatWall_ZH-CN123"}));
    EXPECT_EQ(UhdPath(images->back()), L"/th?id=OHR.GreatWall_ZH-CN123_UHD.jpg");

    // Pictures without a real date or an address are left out; other fields of the wrong type are empty.
    const std::optional<std::vector<DailyImage>> odd = ParseDailyAnswer(
        R"({"images":[{"url":"/a"},{"startdate":20261210,"url":"/a"},{"startdate":"20260230","url":"/a"},)"
        R"({"startdate":"2026121","url":"/a"},{"startdate":"20261210"},{"startdate":"20261210","url":["/a"]},)"
        R"({"startdate":"20261210","url":""},"20261210",null,)"
        R"({"startdate":"20240229","url":"/b","urlbase":7,"title":null,"hsh":{"x":1},"new":[1]}]})");
    ASSERT_TRUE(odd && odd->size() == 1);
    EXPECT_EQ(odd->front(), (DailyImage{L"20240229", L"/b", L"", L"", L"", L""}));
    EXPECT_EQ(UhdPath(odd->front()), L"");

    std::string large = R"({"images":[)" + Image("20261210", "A") + "]}";
    large += std::string(AnswerLimit - large.size(), ' ');
    EXPECT_TRUE(ParseDailyAnswer(large));
    for (const std::string& refused :
         {std::string(), std::string("<html>502</html>"), std::string("[]"), std::string(R"({"images":{}})"),
          R"({"images":[)" + Image("20261210", "A"), std::string("\xFF\xFE{"), large + " ",
          std::string(200000, '[') + std::string(200000, ']')})
        EXPECT_FALSE(ParseDailyAnswer(refused)) << refused.substr(0, 40);
}

TEST(DailyAnswer, DatesAndText) {
    for (const wchar_t* date : {L"20240229", L"20000229", L"19000101", L"99991231"})
        EXPECT_TRUE(IsDate(date)) << date;
    for (const wchar_t* date : {L"20230229", L"21000229", L"18991231", L"20261301", L"20261200", L"20260431",
                                L"202612100", L"2026-1-1", L"２０２６１２１０"})
        EXPECT_FALSE(IsDate(date)) << date;

    EXPECT_EQ(WideFromUtf8("a\xC3\xA9\xE9\x9B\xAA\xF0\x9F\x8C\x84"), L"a\u00E9雪\U0001F304");
    // Each bad byte is one U+FFFD: a stray byte, overlong "/", an encoded surrogate, one cut short.
    EXPECT_EQ(WideFromUtf8("\xFF\xC0\xAF\xED\xA0\x80\xE9\x9B"), std::wstring(8, L'\uFFFD'));
    const std::wstring text = L"雪 (© Getty) \U0001F304";
    EXPECT_EQ(WideFromUtf8(Utf8FromWide(text)), text);
    EXPECT_EQ(CodePoints(text).size(), 13u);
}

TEST(DailyAnswer, AddressesAtTheBasesHost) {
    const std::wstring bing = DefaultAddress;
    const struct {
        std::wstring base, path;
        std::optional<std::wstring> address;
    } cases[] = {
        {bing, L"/th?id=OHR.X_UHD.jpg", L"https://cn.bing.com/th?id=OHR.X_UHD.jpg"},
        {L"http://127.0.0.1:8123/a.json", L"/p/b.jpg", L"http://127.0.0.1:8123/p/b.jpg"},
        {L"HTTPS://Example.com", L"/", L"https://Example.com/"},
        {L"http://[::1]:80?x", L"/a", L"http://[::1]:80/a"},
        {bing, L"//evil.example/a.jpg", std::nullopt},
        {bing, L"http://evil.example/a", std::nullopt},
        {bing, L"th?id=x", std::nullopt},
        {bing, L"/a\\..\\b", std::nullopt},
        {bing, L"/a b.jpg", std::nullopt},
        {bing, L"/a\r\nHost: x", std::nullopt},
        {L"ftp://cn.bing.com/", L"/a", std::nullopt},
        {L"https://user@cn.bing.com/", L"/a", std::nullopt},
        {L"https://cn.bing.com:0/", L"/a", std::nullopt},
        {L"https:///a.json", L"/a", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ResolveAddress(c.base, c.path), c.address) << c.base << L" + " << c.path;
        EXPECT_EQ(IsHttpAddress(c.base), c.address.has_value() || c.base == bing) << c.base;
    }
}

TEST(DailyNames, TitlesBecomeSafeNamesInsideTheFolder) {
    const std::wstring long长(300, L'长'), fallback = L"2026-12-10 每日图片.jpg";
    const struct {
        std::wstring title, name;
    } cases[] = {
        {L"雪中的长城", L"2026-12-10 雪中的长城.jpg"},
        {L"../../Windows/evil", L"2026-12-10 Windowsevil.jpg"},
        {L"C:\\x", L"2026-12-10 Cx.jpg"},
        {L"CON", L"2026-12-10 CON.jpg"},
        {std::wstring(L"a\0b\tc\x7F<>|?*\"", 12), L"2026-12-10 abc.jpg"},
        {long长, L"2026-12-10 " + long长.substr(0, 80) + L".jpg"},
        {L"..", fallback},
        {L"   ", fallback},
        {L" .Wait...  what.. ", L"2026-12-10 Wait… what.jpg"},
        // The cut counts code points and never halves a pair; a space left at the end goes.
        {std::wstring(79, L'长') + L"\U0001F304\U0001F304",
         L"2026-12-10 " + std::wstring(79, L'长') + L"\U0001F304.jpg"},
        {std::wstring(79, L'长') + L" x", L"2026-12-10 " + std::wstring(79, L'长') + L".jpg"},
    };
    for (const auto& c : cases) {
        const std::wstring name = DailyFileName(L"20261210", c.title);
        EXPECT_EQ(name, c.name) << c.title;
        EXPECT_TRUE(IsDailyFileName(name)) << name;
    }
    EXPECT_EQ(DailyFileName(L"../x", L"x"), L"");

    for (const wchar_t* name : {L"", L".", L"..", L"a..b", L"a/b", L"a\\b", L"C:x", L"a.", L"a ", L"con.txt",
                                L"Com1 .jpg", L"LPT9", L"COM¹"})
        EXPECT_FALSE(IsPlainFileName(name)) << name;
    EXPECT_TRUE(IsPlainFileName(L"COM10.jpg") && IsDailyFileName(L"2024-02-29 x (2).JPG"));
    for (const wchar_t* name : {L"我的照片.jpg", L"2026-13-10 x.jpg", L"2026-12-10 x.png", L"20261210 x.jpg"})
        EXPECT_FALSE(IsDailyFileName(name)) << name;
}

TEST(DailyManifest, KeptAsTextAndReadBack) {
    const std::vector<ManifestEntry> entries = {{L"2026-12-10 雪中的长城.jpg", L"20261210", L"雪中的长城",
                                                 L"\"引号\" \\ (©) \U0001F304\n", L"6e2c7d",
                                                 L"https://cn.bing.com/th?id=OHR.GreatWall_ZH-CN123_UHD.jpg"},
                                                Entry(L"20261209", L"2026-12-09 每日图片.jpg")};
    EXPECT_EQ(ParseManifest(ManifestText(entries)), entries);
    for (const std::string& text : {std::string("{"), std::string("[]"), std::string(R"({"pictures":{}})"),
                                    std::string(ManifestTextLimit + 1, ' ') + ManifestText(entries)})
        EXPECT_TRUE(ParseManifest(text).empty()) << text.substr(0, 20);
    // Entries without a plain name are left out, whatever the rest says.
    EXPECT_EQ(
        ParseManifest(R"({"pictures":[1,{"date":"20261210"},{"name":7},{"name":"..\\..\\Windows\\win.ini"},)"
                      R"({"name":"C:x.jpg"},{"name":"x.jpg","date":20261210,"hsh":null,"other":[]}]})"),
        (std::vector<ManifestEntry>{{L"x.jpg", L"", L"", L"", L"", L""}}));
}

TEST(DailyManifest, AlreadyHaveByHshElseByDateAndAddress) {
    const std::vector<ManifestEntry> entries = {Entry(L"20261210", L"a.jpg", L"AB12"),
                                                Entry(L"20261209", L"b.jpg")};
    const std::wstring at10 = L"https://cn.bing.com/20261210", at09 = L"https://cn.bing.com/20261209";
    const struct {
        std::wstring date, hsh, address;
        bool have;
    } cases[] = {{L"20261210", L"ab12", L"https://x/", true},
                 {L"20261210", L"ffff", at10, false},
                 {L"20261210", L"", at10, true},
                 {L"20261209", L"ffff", at09, true},
                 {L"20261209", L"", L"https://x/", false}};
    for (const auto& c : cases)
        EXPECT_EQ(AlreadyHave(entries, {c.date, L"/a", L"", L"", L"", c.hsh}, c.address), c.have)
            << c.date << c.hsh;
}

TEST(DailyManifest, DeletesOnlyOldListedFilesInPlaceThatAreNoFavourites) {
    std::vector<ManifestEntry> entries;
    for (int day = 1; day <= 6; ++day)
        entries.push_back(
            Entry(L"2026120" + std::to_wstring(day), L"2026-12-0" + std::to_wstring(day) + L" x.jpg"));
    entries.push_back(Entry(L"20261201", L"我的照片.jpg")); // listed by hand: not the program's name
    // 4 was renamed away; 3 is a favourite among the newest, 2 one beyond them.
    const NameTest inPlace = In({L"2026-12-06 x.jpg", L"2026-12-05 x.jpg", L"2026-12-03 x.jpg",
                                 L"2026-12-02 x.jpg", L"2026-12-01 x.jpg", L"我的照片.jpg"});
    const NameTest favourite = In({L"2026-12-03 x.jpg", L"2026-12-02 x.jpg"});
    const std::vector<std::wstring> oldest = {L"2026-12-01 x.jpg"};
    EXPECT_EQ(FilesToDelete(entries, 3, inPlace, favourite), oldest);
    EXPECT_EQ(FilesToDelete(entries, 2, inPlace, favourite), oldest);
    EXPECT_EQ(FilesToDelete(entries, 0, inPlace, favourite), // at least one stays
              (std::vector<std::wstring>{L"2026-12-05 x.jpg", L"2026-12-01 x.jpg"}));
    EXPECT_TRUE(FilesToDelete(entries, 5, inPlace, favourite).empty());

    // The manifest remembers deleted files up to its limit, then forgets the oldest that are gone.
    entries.clear();
    for (size_t i = 0; i < ManifestLimit + 5; ++i)
        entries.push_back(Entry(std::to_wstring(30000000 - i), L"n" + std::to_wstring(i)));
    const std::vector<ManifestEntry> trimmed = TrimManifest(entries, In({L"n1004", L"n1000"}));
    ASSERT_EQ(trimmed.size(), ManifestLimit);
    EXPECT_EQ(trimmed[ManifestLimit - 3].name + trimmed[ManifestLimit - 2].name + trimmed.back().name,
              L"n997n1000n1004");
}

TEST(DailySchedule, MidnightsRetriesAndDue) {
    const int64_t midnight = Local(2026, 12, 11), last = Local(2026, 12, 10, 23, 30);
    for (int64_t now : {Local(2026, 12, 10), Local(2026, 12, 10, 23, 59, 59)})
        EXPECT_EQ(NextMidnight(now), midnight) << now;
    EXPECT_EQ(NextMidnight(Local(1969, 12, 31, 8)), 0);
    const int64_t after[] = {0, 60, 5 * 60, 15 * 60, 60 * 60, 60 * 60};
    for (int failures = 1; failures <= 5; ++failures)
        EXPECT_EQ(NextCheck(last, failures), last + after[failures]) << failures;
    EXPECT_EQ(NextCheck(last, 0), midnight);

    const int64_t now = Local(2026, 12, 10, 8);
    EXPECT_TRUE(CheckDue(now, std::nullopt));
    EXPECT_FALSE(CheckDue(now, Local(2026, 12, 10)));
    EXPECT_TRUE(CheckDue(now, Local(2026, 12, 9, 23, 59, 59)));
    EXPECT_TRUE(CheckDue(now, Local(2026, 12, 11, 0, 0, 1))); // the clock went back a day
    EXPECT_EQ(FailureTip(8, 5), L"每日图片：上次下载失败（08:05）");
}
