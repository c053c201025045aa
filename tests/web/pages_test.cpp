#include "web/pages.h"

#include <gtest/gtest.h>

using namespace web;

TEST(MailLink, ValuesArePercentEncodedAsUtf8) {
    EXPECT_EQ(MailLink(AuthorMail, SupportMail, FeedbackMail, MailSubject),
              L"mailto:author@tavolin.net?cc=support@tavolin.net&bcc=feedback@tavolin.net"
              L"&subject=%E7%BB%99%3ATavolin%20%E7%9A%84%E4%BD%9C%E8%80%85%E6%8F%90%E5%BB%BA%E8%AE%AE");
    // Characters that would end or change a value are escaped, in the addresses too.
    EXPECT_EQ(MailLink(L"a&b@x.cn", L"c?d@x.cn", L"e#f@x.cn", L"1+1=2 & 100%"),
              L"mailto:a%26b@x.cn?cc=c%3Fd@x.cn&bcc=e%23f@x.cn&subject=1%2B1%3D2%20%26%20100%25");
    EXPECT_EQ(MailLink(L"", L"", L"", L""), L"mailto:?cc=&bcc=&subject=");
}

TEST(PercentEncode, CoversEveryUnicodePlaneAndBrokenText) {
    EXPECT_EQ(PercentEncode(L"AZaz09-._~"), L"AZaz09-._~");
    EXPECT_EQ(PercentEncode(L"é"), L"%C3%A9");
    EXPECT_EQ(PercentEncode(L"€"), L"%E2%82%AC");
    EXPECT_EQ(PercentEncode(L"\U0001F600"), L"%F0%9F%98%80");
    // A lone surrogate cannot be written in UTF-8; it stands as U+FFFD.
    std::wstring lone(1, static_cast<wchar_t>(0xD83D));
    EXPECT_EQ(PercentEncode(lone + L"x"), L"%EF%BF%BDx");
    EXPECT_EQ(PercentEncode(L"a/b:c", L"/"), L"a/b%3Ac");
}

TEST(DefaultPages, AllSitUnderTheProductPageAndTheHelpBesideTheProgram) {
    Pages p = DefaultPages(L"C:\\Program Files\\Tavolin");
    for (const std::wstring& page : {p.download, p.otherSoftware, p.makerHome, p.productHome})
        EXPECT_EQ(page.rfind(L"https://www.tavolin.net/", 0), 0u) << page;
    EXPECT_EQ(p.localPage, L"C:\\Program Files\\Tavolin\\Quorvel.htm");
    EXPECT_EQ(p.mail.rfind(L"mailto:author@tavolin.net?", 0), 0u);
}

TEST(VersionText, PlainDecimalNumbers) {
    EXPECT_EQ(VersionText(1, 5, 189), L"版本 1.5.189");
    EXPECT_EQ(VersionText(1, 05, 0), L"版本 1.5.0");
    EXPECT_EQ(VersionText(65535, 0, 65535), L"版本 65535.0.65535");
}

TEST(SameLocalFile, PathsAndTheFileUrlsABrowserReports) {
    const std::wstring page = L"C:\\Program Files\\Tavolin\\Quorvel.htm";
    EXPECT_TRUE(SameLocalFile(page, page));
    EXPECT_TRUE(SameLocalFile(L"c:/program files/tavolin/QUORVEL.HTM", page));
    EXPECT_TRUE(SameLocalFile(L"file:///C:/Program%20Files/Tavolin/Quorvel.htm", page));
    EXPECT_TRUE(SameLocalFile(L"FILE://C:\\Program Files\\Tavolin\\Quorvel.htm", page));
    EXPECT_TRUE(SameLocalFile(L"file:///D:/%E5%A3%81%E7%BA%B8/Quorvel.htm", L"D:\\壁纸\\Quorvel.htm"));
    EXPECT_TRUE(SameLocalFile(L"file:///D:/壁纸/Quorvel.htm", L"D:\\壁纸\\Quorvel.htm"));
    EXPECT_TRUE(SameLocalFile(L"file://server/share/Quorvel.htm", L"\\\\server\\share\\Quorvel.htm"));

    EXPECT_FALSE(SameLocalFile(L"https://www.tavolin.net/wallpaper/", page));
    EXPECT_FALSE(SameLocalFile(L"file:///C:/Program%20Files/Tavolin/Other.htm", page));
    EXPECT_FALSE(SameLocalFile(L"file:///C:/Program%2", page));
    EXPECT_FALSE(SameLocalFile(L"file:", page));
    EXPECT_FALSE(SameLocalFile(L"", L""));
    // A broken escape is compared as it stands rather than read as something else.
    EXPECT_TRUE(SameLocalFile(L"file:///C:/a%ZZ.htm", L"C:\\a%ZZ.htm"));
}
