#include "fileinfo/file_text.h"

#include <cstdio>
#include <cwctype>

namespace fileinfo {
namespace {

std::wstring Upper(std::wstring s) {
    for (wchar_t& c : s)
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return s;
}

std::wstring TrimBlanks(std::wstring_view s) {
    size_t a = s.find_first_not_of(L' ');
    if (a == std::wstring_view::npos) return L"";
    size_t b = s.find_last_not_of(L' ');
    return std::wstring(s.substr(a, b - a + 1));
}

} // namespace

std::wstring FormatFileDate(const DateTime& t) {
    wchar_t text[64];
    std::swprintf(text, 64, L"%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return text;
}

std::wstring FormatHundredths(int64_t hundredths) {
    bool negative = hundredths < 0;
    uint64_t v = negative ? 0 - static_cast<uint64_t>(hundredths) : static_cast<uint64_t>(hundredths);
    std::wstring digits = std::to_wstring(v / 100);
    std::wstring out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0) out += L',';
        out += digits[i];
    }
    unsigned cents = static_cast<unsigned>(v % 100);
    out += L'.';
    out += static_cast<wchar_t>(L'0' + cents / 10);
    out += static_cast<wchar_t>(L'0' + cents % 10);
    return negative ? L"-" + out : out;
}

// Exact decimal rounding, half away from zero, without overflow for any 64-bit count.
static int64_t RoundedHundredths(uint64_t bytes, unsigned unit) {
    return static_cast<int64_t>(bytes / unit * 100 + (bytes % unit * 100 + unit / 2) / unit);
}

std::wstring FormatFileSize(int64_t bytes) {
    if (bytes < 0) return FormatHundredths(-RoundedHundredths(0 - static_cast<uint64_t>(bytes), 1024));
    return FormatHundredths(RoundedHundredths(static_cast<uint64_t>(bytes), 1024));
}

std::wstring FormatFolderSize(uint64_t bytes) {
    return FormatHundredths(RoundedHundredths(bytes, 1000));
}

std::optional<int64_t> ParseSizeText(std::wstring_view text) {
    bool negative = !text.empty() && text.front() == L'-';
    if (negative) text.remove_prefix(1);
    int64_t whole = 0, cents = 0;
    int decimals = -1, digits = 0;
    for (wchar_t c : text) {
        if (c == L',' && decimals < 0) continue;
        if (c == L'.' && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (c < L'0' || c > L'9') return std::nullopt;
        if (decimals < 0) {
            if (whole > (INT64_MAX / 100 - 9) / 10) return std::nullopt;
            whole = whole * 10 + (c - L'0');
            ++digits;
        } else if (decimals < 2) {
            cents = cents * 10 + (c - L'0');
            ++decimals;
        }
    }
    if (!digits) return std::nullopt;
    if (decimals == 1) cents *= 10;
    int64_t value = whole * 100 + cents;
    return negative ? -value : value;
}

std::wstring TrimNull(std::wstring_view text) {
    size_t nul = text.find(L'\0');
    if (nul != std::wstring_view::npos) return std::wstring(text.substr(0, nul));
    return TrimBlanks(text);
}

std::wstring FileExtension(const std::wstring& fileName) {
    size_t dot = fileName.rfind(L'.');
    return dot == std::wstring::npos ? L"" : fileName.substr(dot + 1);
}

std::wstring FallbackTypeName(const std::wstring& extension) {
    return TrimBlanks(Upper(extension) + L" File");
}

std::wstring FolderTypeName(const std::wstring& shellName, const std::wstring& plainFolderName) {
    if (TrimBlanks(shellName).empty() || shellName == plainFolderName) return FolderTypeText;
    return shellName;
}

std::wstring Dir文件夹路径2文件夹名称(const std::wstring& path) {
    size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring LongFolderPath(const std::wstring& given, const FindFolderName& find) {
    std::wstring path = given;
    if (!path.empty() && path.back() == L'\\') {
        if (path.size() >= 2 && path[path.size() - 2] == L':') return Upper(path);
        path.pop_back();
    }
    if (path.starts_with(L"\\\\")) {
        size_t next = path.find(L'\\', 2);
        if (next != std::wstring::npos && path.find(L'\\', next + 1) == std::wstring::npos) return path;
    }
    size_t last = path.rfind(L'\\');
    if (last == std::wstring::npos) return Upper(path);
    std::wstring prefix = LongFolderPath(path.substr(0, last), find) + L"\\";
    std::optional<std::wstring> name = find(path);
    return name ? prefix + TrimNull(*name) : L"";
}

std::wstring ExtendedLengthPath(const std::wstring& path) {
    constexpr size_t Limit = 248; // the longest folder path the plain form takes, less room for a name
    if (path.size() < Limit || path.starts_with(L"\\\\?\\")) return path;
    if (path.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + path.substr(2);
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
    return path;
}

} // namespace fileinfo
