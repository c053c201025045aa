// The text of one change-log entry and the record of the entries already logged; no Windows headers here.
#pragma once
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace monitor {

// What the log shows of one shell item: its display name (empty when the shell could not
// name it) and its file-system path (empty for items outside the file system).
struct ItemNames {
    std::wstring name;
    std::wstring path;
};

// One change notification as read from its message.
struct Notification {
    std::uint32_t event = 0;
    // The number that an image update or free space event carries in its first item;
    // absent when that item is missing.
    std::optional<std::uint32_t> number;
    // The items of every other event; absent when the message carries none.
    std::optional<ItemNames> first;
    std::optional<ItemNames> second;
};

// The entry for `n` with the head line stamped `when` (local date and time as text). Every line
// ends in CR LF; the blank line that follows an entry in the log is not part of it.
std::wstring EntryText(const std::wstring& when, const Notification& n);

// The line end that separates one entry from the next in the log.
inline constexpr wchar_t EntrySeparator[] = L"\r\n";

// Lower-cases A–Z only; the program passes the system's full case mapping.
void FoldAsciiCase(std::wstring& text);

// The texts of the entries in the log, compared without regard to letter case, kept so that the
// duplicate test costs the same however long the log has grown.
class LoggedEntries {
  public:
    using Fold = void (*)(std::wstring&);
    explicit LoggedEntries(Fold fold = &FoldAsciiCase) : fold_(fold) {}

    // Records the entry; false when an entry with the same text was recorded before.
    bool Add(std::wstring entry);
    // The entry left the log.
    void Remove(std::wstring entry);
    // The log's text was replaced: nothing counts as logged any more.
    void Clear() { folded_.clear(); }
    std::size_t size() const { return folded_.size(); }

  private:
    Fold fold_;
    std::unordered_set<std::wstring> folded_;
};

// How many of the most recent entries the log keeps, and how many of the oldest go at a time
// once that many more have come, so that the control is trimmed seldom.
inline constexpr std::size_t LogKeep = 10000, LogChunk = 1000;

// The line at the top of a log whose oldest entries went: "……已省略较早的 N 条记录".
std::wstring DroppedLine(std::size_t dropped);

// The log as it is shown, line by line: the line that counts the dropped entries, when any, and a
// blank line; then each entry's lines and the blank line after it. At least the most recent `keep`
// entries stay; when `keep` + `chunk` are held, the oldest `chunk` go.
class EntryLog {
  public:
    explicit EntryLog(LoggedEntries::Fold fold = &FoldAsciiCase, std::size_t keep = LogKeep,
                      std::size_t chunk = LogChunk)
        : logged_(fold), keep_(keep), chunk_(chunk) {}

    // Adds the entry (lines ending in CR LF) unless the log holds the same text; false then.
    bool Add(const std::wstring& entry);
    // The whole log becomes `text`, which is no entry (a notice); empty text empties it.
    void Replace(const std::wstring& text);

    std::size_t Entries() const { return logged_.size(); }
    std::size_t Dropped() const { return dropped_; }
    // Lines that ever went from the top with their entries, and the lines above the entries now.
    std::size_t LinesDropped() const { return linesDropped_; }
    std::size_t TopLines() const { return top_.size(); }
    std::size_t LineCount() const { return top_.size() + lines_.size(); }
    const std::wstring& Line(std::size_t i) const {
        return i < top_.size() ? top_[i] : lines_[i - top_.size()];
    }
    // Lines [first, first + count), each followed by CR LF.
    std::wstring Text(std::size_t first, std::size_t count) const;
    std::wstring Text() const { return Text(0, LineCount()); }

  private:
    struct Block {
        std::size_t lines;
        bool entry; // false for a notice
    };
    void AddLines(const std::wstring& text);
    void DropOldest();

    LoggedEntries logged_;
    std::size_t keep_, chunk_, dropped_ = 0, linesDropped_ = 0;
    std::deque<Block> blocks_;
    std::deque<std::wstring> lines_;
    std::vector<std::wstring> top_; // the line that counts the dropped entries, and a blank one
};

} // namespace monitor
