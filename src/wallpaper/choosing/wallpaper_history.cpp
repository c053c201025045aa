#include "wallpaper/choosing/wallpaper_history.h"

#include <algorithm>

namespace wallpaper {

namespace {

bool AnyExists(const Arrangement& a, const WallpaperHistory::Exists& exists) {
    return std::any_of(a.begin(), a.end(), [&](const MonitorPicture& p) { return exists(p.path); });
}

std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (size_t end; (end = text.find(separator, start)) != std::wstring::npos; start = end + 1)
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

// Monitor and path pairs, each path given; nothing for a line that is not one.
std::optional<Arrangement> ParseLine(std::wstring line) {
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    std::vector<std::wstring> fields = Split(line, L'\t');
    if (fields.size() % 2 != 0) return std::nullopt;
    Arrangement a;
    for (size_t i = 0; i < fields.size(); i += 2) {
        if (fields[i + 1].empty()) return std::nullopt;
        a.push_back({fields[i], fields[i + 1]});
    }
    return a;
}

} // namespace

void WallpaperHistory::Add(Arrangement a) {
    if (a.empty() || (!entries_.empty() && entries_[current_] == a)) return;
    entries_.erase(entries_.begin() + (entries_.empty() ? 0 : current_ + 1), entries_.end());
    entries_.push_back(std::move(a));
    if (entries_.size() > Limit) entries_.erase(entries_.begin(), entries_.end() - Limit);
    current_ = entries_.size() - 1;
}

std::optional<size_t> WallpaperHistory::Older(const Exists& exists) const {
    for (size_t i = std::min(current_, entries_.size()); i-- > 0;)
        if (AnyExists(entries_[i], exists)) return i;
    return std::nullopt;
}

std::optional<Arrangement> WallpaperHistory::Back(const Exists& exists) {
    std::optional<size_t> i = Older(exists);
    if (!i) return std::nullopt;
    current_ = *i;
    return entries_[current_];
}

std::optional<Arrangement> WallpaperHistory::Forward(const Exists& exists) {
    for (size_t i = current_ + 1; i < entries_.size(); ++i)
        if (AnyExists(entries_[i], exists)) {
            current_ = i;
            return entries_[i];
        }
    return std::nullopt;
}

std::wstring WallpaperHistory::Text() const {
    std::wstring text;
    for (const Arrangement& a : entries_) {
        for (size_t i = 0; i < a.size(); ++i)
            text += (i ? L"\t" : L"") + a[i].monitor + L'\t' + a[i].path;
        text += L'\n';
    }
    return text;
}

WallpaperHistory WallpaperHistory::Parse(const std::wstring& text) {
    WallpaperHistory h;
    for (const std::wstring& line : Split(text, L'\n'))
        if (std::optional<Arrangement> a = ParseLine(line)) h.entries_.push_back(std::move(*a));
    if (h.entries_.size() > Limit) h.entries_.erase(h.entries_.begin(), h.entries_.end() - Limit);
    h.current_ = h.entries_.empty() ? 0 : h.entries_.size() - 1;
    return h;
}

} // namespace wallpaper
