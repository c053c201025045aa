// The text of one change-log entry and the record of the entries already logged; no Windows headers here.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>

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
    // The log's text was replaced: nothing counts as logged any more.
    void Clear() { folded_.clear(); }
    std::size_t size() const { return folded_.size(); }

  private:
    Fold fold_;
    std::unordered_set<std::wstring> folded_;
};

} // namespace monitor
