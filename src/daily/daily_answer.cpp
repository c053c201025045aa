#include "daily/daily_answer.h"

#include "daily/utf8_text.h"

#include <algorithm>
#include <chrono>
#include <cwctype>
#include <nlohmann/json.hpp>

namespace daily {
namespace {

using nlohmann::json;

std::wstring Field(const json& image, const char* key) {
    auto it = image.find(key);
    return it != image.end() && it->is_string() ? WideFromUtf8(it->get_ref<const std::string&>()) : L"";
}

bool Digit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

bool Printable(wchar_t c) {
    return c > L' ' && c < 0x7F && c != L'\\';
}

bool HostCharacter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || Digit(c) || c == L'-' || c == L'.' ||
           c == L'_';
}

// A host name or IPv4 address, or an IPv6 one in brackets, then maybe ":port"; no user name.
bool IsAuthority(const std::wstring& a) {
    size_t hostEnd;
    if (a.starts_with(L'[')) {
        hostEnd = a.find(L']');
        if (hostEnd == std::wstring::npos || hostEnd < 2 ||
            !std::all_of(a.begin() + 1, a.begin() + hostEnd,
                         [](wchar_t c) { return HostCharacter(c) || c == L':'; }))
            return false;
        ++hostEnd;
    } else {
        hostEnd = std::min(a.find(L':'), a.size());
        if (hostEnd == 0 || !std::all_of(a.begin(), a.begin() + hostEnd, HostCharacter)) return false;
    }
    if (hostEnd == a.size()) return true;
    std::wstring port = a.substr(hostEnd + 1);
    if (a[hostEnd] != L':' || port.empty() || port.size() > 5 ||
        !std::all_of(port.begin(), port.end(), Digit))
        return false;
    int number = std::stoi(port);
    return number >= 1 && number <= 65535;
}

// "https://host:port" with the scheme in lower case; nothing unless `address` is an http or https one.
std::optional<std::wstring> Origin(const std::wstring& address) {
    if (!std::all_of(address.begin(), address.end(), Printable)) return std::nullopt;
    size_t colon = address.find(L"://");
    if (colon == std::wstring::npos) return std::nullopt;
    std::wstring scheme = address.substr(0, colon);
    for (wchar_t& c : scheme)
        c = static_cast<wchar_t>(std::towlower(c));
    if (scheme != L"http" && scheme != L"https") return std::nullopt;
    size_t start = colon + 3, end = std::min(address.find_first_of(L"/?#", start), address.size());
    std::wstring authority = address.substr(start, end - start);
    if (!IsAuthority(authority)) return std::nullopt;
    return scheme + L"://" + authority;
}

} // namespace

std::optional<std::vector<DailyImage>> ParseDailyAnswer(std::string_view utf8) {
    if (utf8.size() > AnswerLimit) return std::nullopt;
    try {
        const json answer = json::parse(utf8.begin(), utf8.end(), nullptr, false);
        if (!answer.is_object()) return std::nullopt; // also what a parse error gives
        auto images = answer.find("images");
        if (images == answer.end() || !images->is_array()) return std::nullopt;
        std::vector<DailyImage> out;
        for (const json& image : *images) {
            if (!image.is_object()) continue;
            DailyImage d{Field(image, "startdate"), Field(image, "url"),       Field(image, "urlbase"),
                         Field(image, "title"),     Field(image, "copyright"), Field(image, "hsh")};
            if (IsDate(d.date) && !d.url.empty()) out.push_back(std::move(d));
        }
        std::stable_sort(out.begin(), out.end(),
                         [](const DailyImage& a, const DailyImage& b) { return a.date < b.date; });
        return out;
    } catch (const json::exception&) {
        return std::nullopt;
    }
}

bool IsDate(const std::wstring& d) {
    if (d.size() != 8 || !std::all_of(d.begin(), d.end(), Digit)) return false;
    int year = std::stoi(d.substr(0, 4));
    auto month = static_cast<unsigned>(std::stoi(d.substr(4, 2)));
    auto day = static_cast<unsigned>(std::stoi(d.substr(6, 2)));
    return year >= 1900 && std::chrono::year_month_day(std::chrono::year(year), std::chrono::month(month),
                                                       std::chrono::day(day))
                               .ok();
}

bool IsHttpAddress(const std::wstring& address) {
    return Origin(address).has_value();
}

std::optional<std::wstring> ResolveAddress(const std::wstring& base, const std::wstring& path) {
    std::optional<std::wstring> origin = Origin(base);
    if (!origin || !path.starts_with(L'/') || path.starts_with(L"//") ||
        !std::all_of(path.begin(), path.end(), Printable))
        return std::nullopt;
    return *origin + path;
}

std::wstring UhdPath(const DailyImage& image) {
    return image.urlbase.empty() ? L"" : image.urlbase + L"_UHD.jpg";
}

} // namespace daily
