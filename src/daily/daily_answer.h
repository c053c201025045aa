// The answer of the picture-of-the-day service and the addresses built from it. Only text and data here:
// the download is the caller's. No Windows headers here.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace daily {

// Where the pictures are asked for unless the user chose another address.
inline constexpr wchar_t DefaultAddress[] =
    L"https://cn.bing.com/HPImageArchive.aspx?format=js&idx=0&n=8&mkt=zh-CN";
// A longer answer is refused unread: the real one is a few kilobytes.
inline constexpr size_t AnswerLimit = 1024 * 1024;

struct DailyImage {
    std::wstring date; // "yyyymmdd", the day the picture is shown
    std::wstring url, urlbase, title, copyright, hsh;
    bool operator==(const DailyImage&) const = default;
};

// The pictures of an answer, oldest first. Nothing when the text is longer than AnswerLimit, is not
// JSON or has no "images" array. A picture without a real date in "startdate" or without a "url" is
// left out; any other field that is missing or not a text is empty.
std::optional<std::vector<DailyImage>> ParseDailyAnswer(std::string_view utf8);

// True for "yyyymmdd" naming a day of the calendar (years 1900 to 9999).
bool IsDate(const std::wstring& yyyymmdd);

// True for an http or https address with a host (and maybe a port), written in printable ASCII
// without backslashes.
bool IsHttpAddress(const std::wstring& address);
// `path` ("/th?id=…") at the scheme, host and port of `base`; nothing unless `base` is such an address
// and `path` starts with a single "/" and holds only printable ASCII without backslashes.
std::optional<std::wstring> ResolveAddress(const std::wstring& base, const std::wstring& path);

// The path of the picture's largest size: its urlbase + "_UHD.jpg"; empty without a urlbase.
std::wstring UhdPath(const DailyImage& image);

} // namespace daily
