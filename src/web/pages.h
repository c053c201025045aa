// Where the web window goes and the texts built from those places; no Windows headers here.
#pragma once
#include <string>

namespace web {

// Every web and mail address of the program's pages lives here. They all sit under the
// product page that the "关于" tab opens.
inline constexpr wchar_t DownloadPage[] = L"https://www.tavolin.net/wallpaper/";
inline constexpr wchar_t OtherSoftwarePage[] = L"https://www.tavolin.net/software/";
inline constexpr wchar_t MakerHomePage[] = L"https://www.tavolin.net/";
inline constexpr wchar_t ProductHomePage[] = L"https://www.tavolin.net/quorvel/";
inline constexpr wchar_t SiteName[] = L"www.tavolin.net";
inline constexpr wchar_t AuthorMail[] = L"author@tavolin.net";
inline constexpr wchar_t SupportMail[] = L"support@tavolin.net";
inline constexpr wchar_t FeedbackMail[] = L"feedback@tavolin.net";
inline constexpr wchar_t MailSubject[] = L"给:Tavolin 的作者提建议";
inline constexpr wchar_t LocalPageName[] = L"\\Quorvel.htm";

// The places the window opens; the defaults are the ones above, tests point them elsewhere.
struct Pages {
    std::wstring download, otherSoftware, makerHome, productHome;
    std::wstring mail;      // the author mail link
    std::wstring localPage; // the help page beside the program, a file path
};
// `programFolder` has no trailing backslash.
Pages DefaultPages(const std::wstring& programFolder);

// UTF-8 bytes of the text, each one percent-encoded unless it is an unreserved character (RFC 3986)
// or one of `keep`. Broken UTF-16 becomes U+FFFD.
std::wstring PercentEncode(const std::wstring& text, const std::wstring& keep = L"");

// "mailto:to?cc=…&bcc=…&subject=…" with each value percent-encoded.
std::wstring MailLink(const std::wstring& to, const std::wstring& cc, const std::wstring& bcc,
                      const std::wstring& subject);

// "版本 1.5.189": plain decimal numbers, no leading zeros.
std::wstring VersionText(unsigned major, unsigned minor, unsigned revision);

// True when `url` (a path, or a file: URL as the browser reports it, possibly percent-encoded)
// names the file `path`.
bool SameLocalFile(const std::wstring& url, const std::wstring& path);

} // namespace web
