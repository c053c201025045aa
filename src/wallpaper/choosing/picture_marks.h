// The marks the user set on pictures in the program (favourite, never again, or explicitly neither),
// kept in a text file of their own; no Windows headers here.
#pragma once
#include "wallpaper/pictures/picture_rating.h"

#include <cstddef>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace wallpaper {

// The file in which the marks are kept, as UTF-8; the caller reads and writes it.
inline constexpr const wchar_t* PictureMarksFileName = L"图片标记.txt";

// The user's marks by picture path. Paths compare the way Windows compares file names, without regard to
// letter case (ASCII, Latin-1, Latin Extended-A, basic Greek and Cyrillic letters; accented Greek and
// other scripts are left as they are). A lookup hashes the path as given, with no copy, so asking for the
// marks of thousands of pictures stays cheap. Move-only: the index refers to the entries' own paths.
class PictureMarks {
  public:
    static constexpr size_t Limit = 100'000;

    explicit PictureMarks(size_t limit = Limit) : limit_(limit) {}
    PictureMarks(PictureMarks&&) = default;
    PictureMarks& operator=(PictureMarks&&) = default;

    // The mark the user set on `path`, Mark::None included when they took a mark away; nothing when
    // they never set one.
    std::optional<Mark> UserMark(std::wstring_view path) const;
    // The user's mark when there is one, else the one the file's rating gives.
    Mark MarkOf(std::wstring_view path, Mark fromFile) const { return UserMark(path).value_or(fromFile); }
    // Sets the user's mark on `path`, which becomes the newest (with the path spelt as now given); the
    // oldest beyond the limit go. A path the file cannot hold (not full: "C:\…" or "\\server\…"; or
    // holding a tab or a line break) is left out, as Parse would leave it out.
    void Set(std::wstring_view path, Mark mark);
    size_t Size() const { return entries_.size(); }

    // The marks for their file, oldest first, one a line: the mark's word ("收藏", "不再显示" or "无"
    // for one taken away), a tab, the full path. Parse skips a byte-order mark and every line it cannot
    // read, lets a later line for the same picture win, and keeps the newest `limit`.
    std::wstring Text() const;
    static PictureMarks Parse(std::wstring_view text, size_t limit = Limit);

  private:
    struct Entry {
        std::wstring path;
        Mark mark;
    };
    struct FoldHash {
        size_t operator()(std::wstring_view path) const;
    };
    struct FoldEqual {
        bool operator()(std::wstring_view a, std::wstring_view b) const;
    };

    size_t limit_;
    std::list<Entry> entries_; // oldest first
    // Keyed by views of the entries' paths, which stay in place while their entry lives.
    std::unordered_map<std::wstring_view, std::list<Entry>::iterator, FoldHash, FoldEqual> index_;
};

} // namespace wallpaper
