#include "wallpaper/choosing/picture_marks.h"

#include <algorithm>
#include <iterator>

namespace wallpaper {
namespace {

constexpr std::wstring_view Words[] = {L"无", L"收藏", L"不再显示"}; // in Mark's order

// The upper-case letter of `c`, as Windows' file names compare, for the scripts with letter case that
// a path is likely to hold.
wchar_t Fold(wchar_t c) {
    auto u = static_cast<uint32_t>(c);
    if (u < 0x80) return u >= 'a' && u <= 'z' ? static_cast<wchar_t>(u - 32) : c;
    if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<wchar_t>(u - 0x20); // Latin-1
    if (u == 0xFF) return static_cast<wchar_t>(0x178);
    if (u >= 0x100 && u <= 0x17F) { // Latin Extended-A: pairs of upper and lower case
        bool lowerOdd = (u <= 0x137 && u != 0x131) || (u >= 0x14A && u <= 0x177);
        bool lowerEven = (u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E);
        if ((lowerOdd && u % 2 == 1) || (lowerEven && u % 2 == 0)) return static_cast<wchar_t>(u - 1);
        return c;
    }
    if (u >= 0x3B1 && u <= 0x3C9 && u != 0x3C2) return static_cast<wchar_t>(u - 0x20); // Greek
    if (u >= 0x430 && u <= 0x44F) return static_cast<wchar_t>(u - 0x20);               // Cyrillic
    if (u >= 0x450 && u <= 0x45F) return static_cast<wchar_t>(u - 0x50);
    return c;
}

bool IsFullPath(std::wstring_view p) {
    bool drive = p.size() >= 3 && ((p[0] >= L'A' && p[0] <= L'Z') || (p[0] >= L'a' && p[0] <= L'z')) &&
                 p[1] == L':' && (p[2] == L'\\' || p[2] == L'/');
    return drive || (p.size() > 2 && p.starts_with(L"\\\\"));
}

bool Storable(std::wstring_view path) {
    return IsFullPath(path) && path.find_first_of(L"\t\r\n") == path.npos;
}

} // namespace

size_t PictureMarks::FoldHash::operator()(std::wstring_view path) const {
    uint64_t h = 14695981039346656037u; // FNV-1a
    for (wchar_t c : path)
        h = (h ^ static_cast<uint32_t>(Fold(c))) * 1099511628211u;
    return static_cast<size_t>(h);
}

bool PictureMarks::FoldEqual::operator()(std::wstring_view a, std::wstring_view b) const {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](wchar_t x, wchar_t y) { return x == y || Fold(x) == Fold(y); });
}

std::optional<Mark> PictureMarks::UserMark(std::wstring_view path) const {
    auto found = index_.find(path);
    if (found == index_.end()) return std::nullopt;
    return found->second->mark;
}

void PictureMarks::Set(std::wstring_view path, Mark mark) {
    if (!Storable(path)) return;
    if (auto found = index_.find(path); found != index_.end()) {
        auto entry = found->second;
        index_.erase(found); // before its key, a view of the entry's path, goes
        entries_.erase(entry);
    }
    entries_.push_back({std::wstring(path), mark});
    index_.emplace(entries_.back().path, std::prev(entries_.end()));
    while (entries_.size() > limit_) {
        index_.erase(entries_.front().path);
        entries_.pop_front();
    }
}

std::wstring PictureMarks::Text() const {
    std::wstring text;
    for (const Entry& e : entries_) {
        text += Words[static_cast<int>(e.mark)];
        text += L'\t';
        text += e.path;
        text += L'\n';
    }
    return text;
}

PictureMarks PictureMarks::Parse(std::wstring_view text, size_t limit) {
    PictureMarks marks(limit);
    if (text.starts_with(L'\xFEFF')) text.remove_prefix(1);
    while (!text.empty()) {
        size_t end = std::min(text.find(L'\n'), text.size());
        std::wstring_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.ends_with(L'\r')) line.remove_suffix(1);
        size_t tab = line.find(L'\t');
        if (tab == line.npos) continue;
        auto word = std::find(std::begin(Words), std::end(Words), line.substr(0, tab));
        if (word != std::end(Words))
            marks.Set(line.substr(tab + 1), static_cast<Mark>(word - std::begin(Words)));
    }
    return marks;
}

} // namespace wallpaper
