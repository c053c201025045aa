#include "monitor/log_entry.h"

#include "monitor/shell_events.h"

namespace monitor {
namespace {

constexpr wchar_t CrLf[] = L"\r\n";
constexpr int DriveLetters = 26;

void AddItem(std::wstring& text, const std::optional<ItemNames>& item, const wchar_t* number,
             const wchar_t* invalid) {
    if (!item) return;
    if (item->name.empty()) {
        text += invalid;
        text += CrLf;
        return;
    }
    text += L"名称";
    text += number;
    text += L": " + item->name + CrLf;
    text += L"路径";
    text += number;
    text += L": " + item->path + CrLf;
}

} // namespace

std::wstring EntryText(const std::wstring& when, const Notification& n) {
    std::wstring text = L"[" + when + L"] " + ShellEventName(n.event) + CrLf;
    if (n.event == SHCNE_UPDATEIMAGE_ID) {
        if (n.number) text += L"Index of image in system imagelist: " + std::to_wstring(*n.number) + CrLf;
    } else if (n.event == SHCNE_FREESPACE_ID) {
        // Bits above Z name no drive.
        for (int bit = 0; n.number && bit < DriveLetters; ++bit)
            if (*n.number & (1u << bit)) {
                text += static_cast<wchar_t>(L'A' + bit);
                text += L":\\";
                text += CrLf;
            }
    } else {
        AddItem(text, n.first, L"I", L"first item is invalid");
        AddItem(text, n.second, L"II", L"second item is invalid");
    }
    return text;
}

void FoldAsciiCase(std::wstring& text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
}

bool LoggedEntries::Add(std::wstring entry) {
    fold_(entry);
    return folded_.insert(std::move(entry)).second;
}

void LoggedEntries::Remove(std::wstring entry) {
    fold_(entry);
    folded_.erase(entry);
}

std::wstring DroppedLine(std::size_t dropped) {
    return L"……已省略较早的 " + std::to_wstring(dropped) + L" 条记录";
}

bool EntryLog::Add(const std::wstring& entry) {
    if (!logged_.Add(entry)) return false;
    AddLines(entry + EntrySeparator);
    blocks_.back().entry = true;
    if (blocks_.size() >= keep_ + chunk_) DropOldest();
    return true;
}

void EntryLog::Replace(const std::wstring& text) {
    logged_.Clear();
    blocks_.clear();
    lines_.clear();
    top_.clear();
    dropped_ = 0;
    if (!text.empty()) AddLines(text);
}

void EntryLog::AddLines(const std::wstring& text) {
    std::size_t before = lines_.size();
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find(CrLf, at);
        if (end == std::wstring::npos) end = text.size();
        lines_.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    blocks_.push_back({lines_.size() - before, false});
}

void EntryLog::DropOldest() {
    for (std::size_t n = 0; n < chunk_ && !blocks_.empty(); ++n) {
        Block block = blocks_.front();
        blocks_.pop_front();
        if (block.entry) {
            // The entry's text again, as it was added: its lines without the blank one after it.
            std::wstring text;
            for (std::size_t i = 0; i + 1 < block.lines; ++i)
                text += lines_[i] + CrLf;
            logged_.Remove(std::move(text));
            ++dropped_;
        }
        lines_.erase(lines_.begin(), lines_.begin() + static_cast<std::ptrdiff_t>(block.lines));
        linesDropped_ += block.lines;
    }
    top_ = {DroppedLine(dropped_), L""};
}

std::wstring EntryLog::Text(std::size_t first, std::size_t count) const {
    std::wstring text;
    text.reserve(count * 40);
    for (std::size_t i = first; i < first + count && i < LineCount(); ++i)
        text += Line(i) + CrLf;
    return text;
}

} // namespace monitor
