// The last wallpapers the program set, with back and forward as in a browser; no Windows headers here.
#pragma once
#include "wallpaper/laying/monitor_layout.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace wallpaper {

class WallpaperHistory {
  public:
    static constexpr size_t Limit = 100;
    using Exists = std::function<bool(const std::wstring&)>;

    // A wallpaper set other than by going back or forward: the entries ahead of the current one go,
    // `a` becomes the newest and current, the oldest beyond Limit go. The current one again, or an empty
    // one, adds nothing.
    void Add(Arrangement a);
    // The nearest older entry with at least one picture that still exists, which becomes current;
    // nothing, and no move, when there is none. The entries passed over stay.
    std::optional<Arrangement> Back(const Exists& exists);
    // The same towards the newest; nothing at the newest, where the caller takes a new picture.
    std::optional<Arrangement> Forward(const Exists& exists);
    bool CanGoBack(const Exists& exists) const { return Older(exists).has_value(); }
    bool AtNewest() const { return entries_.empty() || current_ + 1 == entries_.size(); }

    // The history for its file: one entry a line, oldest first, monitor and path after one another
    // separated by tabs (no file name holds a tab or a line break). Parse stands at the newest entry,
    // skips lines it cannot read and keeps the newest Limit entries.
    std::wstring Text() const;
    static WallpaperHistory Parse(const std::wstring& text);

    const std::vector<Arrangement>& Entries() const { return entries_; }
    size_t Current() const { return current_; } // meaningless when empty

  private:
    std::optional<size_t> Older(const Exists& exists) const;

    std::vector<Arrangement> entries_;
    size_t current_ = 0;
};

} // namespace wallpaper
