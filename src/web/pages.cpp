#include "web/pages.h"

#include <algorithm>
#include <cwctype>
#include <string>

namespace web {

Pages DefaultPages(const std::wstring& programFolder) {
    return {DownloadPage,
            OtherSoftwarePage,
            MakerHomePage,
            ProductHomePage,
            MailLink(AuthorMail, SupportMail, FeedbackMail, MailSubject),
            programFolder + LocalPageName};
}

namespace {

// Code points of the text; wchar_t is UTF-16 on Windows and UTF-32 elsewhere.
template <class F> void ForEachCodePoint(const std::wstring& s, F f) {
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t c = static_cast<char32_t>(s[i]) & 0x1FFFFF;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size()) {
            char32_t low = static_cast<char32_t>(s[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
        f(c);
    }
}

std::string Utf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

bool Unreserved(char32_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == L'-' ||
           c == L'.' || c == L'_' || c == L'~';
}

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// Percent-escapes decoded as UTF-8; anything that does not decode stays as it was.
std::wstring PercentDecode(const std::wstring& s) {
    std::string bytes;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == L'%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
            bytes += static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
            i += 2;
        } else {
            ForEachCodePoint(std::wstring(1, s[i]), [&](char32_t c) { bytes += Utf8(c); });
        }
    }
    std::wstring out;
    for (size_t i = 0; i < bytes.size();) {
        auto b = static_cast<unsigned char>(bytes[i]);
        int n = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        char32_t c = n == 0 ? b : n == 1 ? (b & 0x1F) : n == 2 ? (b & 0x0F) : (b & 0x07);
        bool ok = n >= 0 && i + static_cast<size_t>(n) < bytes.size();
        for (int k = 1; ok && k <= n; ++k) {
            auto t = static_cast<unsigned char>(bytes[i + k]);
            ok = (t & 0xC0) == 0x80;
            c = (c << 6) | (t & 0x3F);
        }
        if (!ok) c = 0xFFFD, n = 0;
        if (c >= 0x10000 && sizeof(wchar_t) == 2) {
            out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
        i += static_cast<size_t>(n) + 1;
    }
    return out;
}

std::wstring Folded(std::wstring s) {
    for (wchar_t& c : s)
        c = c == L'/' ? L'\\' : static_cast<wchar_t>(std::towlower(c));
    return s;
}

} // namespace

std::wstring PercentEncode(const std::wstring& text, const std::wstring& keep) {
    static constexpr wchar_t Hex[] = L"0123456789ABCDEF";
    std::wstring out;
    ForEachCodePoint(text, [&](char32_t c) {
        if (Unreserved(c) || (c < 0x80 && keep.find(static_cast<wchar_t>(c)) != std::wstring::npos)) {
            out += static_cast<wchar_t>(c);
            return;
        }
        for (unsigned char b : Utf8(c)) {
            out += L'%';
            out += Hex[b >> 4];
            out += Hex[b & 0xF];
        }
    });
    return out;
}

std::wstring MailLink(const std::wstring& to, const std::wstring& cc, const std::wstring& bcc,
                      const std::wstring& subject) {
    // '@' is left readable in the addresses; everything that could end a value is escaped.
    return L"mailto:" + PercentEncode(to, L"@") + L"?cc=" + PercentEncode(cc, L"@") + L"&bcc=" +
           PercentEncode(bcc, L"@") + L"&subject=" + PercentEncode(subject);
}

std::wstring VersionText(unsigned major, unsigned minor, unsigned revision) {
    return L"版本 " + std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." +
           std::to_wstring(revision);
}

bool SameLocalFile(const std::wstring& url, const std::wstring& path) {
    if (path.empty()) return false;
    std::wstring u = url;
    if (Folded(u.substr(0, 5)) == L"file:") {
        std::wstring rest = u.substr(5);
        size_t slashes = std::min(rest.find_first_not_of(L"/\\"), rest.size());
        u = PercentDecode(rest.substr(slashes));
        // "file:///C:/x" and "file://C:/x" are drive paths, "file://server/share/x" a UNC path.
        bool drive = u.size() >= 2 && u[1] == L':';
        if (!drive && slashes == 2) u = L"\\\\" + u;
    }
    return Folded(u) == Folded(path);
}

} // namespace web
