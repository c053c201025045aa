#include "daily/daily_names.h"

#include "daily/daily_answer.h"
#include "daily/utf8_text.h"

#include <algorithm>
#include <string_view>

namespace daily {
namespace {

constexpr std::wstring_view NotInNames = L"\\/:*?\"<>|";

bool Control(char32_t c) {
    return c < 0x20 || c == 0x7F;
}

bool DotOrSpace(char32_t c) {
    return c == U'.' || c == U' ';
}

void TrimDotsAndSpaces(std::u32string& s) {
    while (!s.empty() && DotOrSpace(s.back()))
        s.pop_back();
    s.erase(0, std::min(s.find_first_not_of(U". "), s.size()));
}

std::wstring SafeTitle(const std::wstring& title) {
    std::u32string kept;
    for (char32_t c : CodePoints(title))
        if (!Control(c) && (c > 0x7F || NotInNames.find(static_cast<wchar_t>(c)) == std::wstring_view::npos))
            kept += c;
    TrimDotsAndSpaces(kept);
    std::u32string out;
    for (char32_t c : kept) {
        if (c == U' ' && out.ends_with(U' ')) continue;
        if (c == U'.' && (out.ends_with(U'.') || out.ends_with(U'…')))
            out.back() = U'…';
        else
            out += c;
    }
    if (out.size() > TitleLimit) out.resize(TitleLimit);
    TrimDotsAndSpaces(out);
    return FromCodePoints(out);
}

bool DeviceName(const std::wstring& name) {
    // "CON", "con.txt" and "Con .txt" all name the device.
    std::wstring base = name.substr(0, name.find(L'.'));
    while (base.ends_with(L' '))
        base.pop_back();
    for (wchar_t& c : base)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"})
        if (base == device) return true;
    return base.size() == 4 && (base.starts_with(L"COM") || base.starts_with(L"LPT")) &&
           std::wstring_view(L"0123456789¹²³").find(base[3]) != std::wstring_view::npos;
}

} // namespace

std::wstring DailyFileName(const std::wstring& yyyymmdd, const std::wstring& title) {
    if (!IsDate(yyyymmdd)) return L"";
    std::wstring day =
        yyyymmdd.substr(0, 4) + L'-' + yyyymmdd.substr(4, 2) + L'-' + yyyymmdd.substr(6, 2) + L' ';
    std::wstring safe = SafeTitle(title);
    std::wstring name = day + (safe.empty() ? FolderName : safe) + L".jpg";
    return IsPlainFileName(name) ? name : day + FolderName + L".jpg";
}

bool IsPlainFileName(const std::wstring& name) {
    for (wchar_t c : name)
        if (Control(static_cast<char32_t>(c)) || NotInNames.find(c) != std::wstring_view::npos) return false;
    return !name.empty() && name.find(L"..") == std::wstring::npos && !name.ends_with(L'.') &&
           !name.ends_with(L' ') && !DeviceName(name);
}

bool IsDailyFileName(const std::wstring& name) {
    if (!IsPlainFileName(name) || name.size() < 15 || name[4] != L'-' || name[7] != L'-' || name[10] != L' ')
        return false;
    std::wstring ext = name.substr(name.size() - 4);
    for (wchar_t& c : ext)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return ext == L".jpg" && IsDate(name.substr(0, 4) + name.substr(5, 2) + name.substr(8, 2));
}

} // namespace daily
