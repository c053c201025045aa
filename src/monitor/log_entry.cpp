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

} // namespace monitor
