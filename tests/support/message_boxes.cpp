#include "tests/support/message_boxes.h"

namespace test {

MessageBoxes::MessageBoxes(std::function<void(HWND)> other)
    : thread_(GetCurrentThreadId()), other_(std::move(other)) {
    watcher_ = std::thread([this] {
        while (!stop_) {
            Look();
            Sleep(20);
        }
    });
}

MessageBoxes::~MessageBoxes() {
    stop_ = true;
    watcher_.join();
}

void MessageBoxes::Look() {
    std::vector<HWND> boxes;
    EnumThreadWindows(
        thread_,
        [](HWND w, LPARAM lp) -> BOOL {
            wchar_t cls[16] = L"";
            GetClassNameW(w, cls, 16);
            if (!wcscmp(cls, L"#32770") && IsWindowVisible(w))
                reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&boxes));
    for (HWND box : boxes) {
        {
            std::lock_guard lock(mutex_);
            if (!handled_.insert(box).second) continue;
        }
        // The windows are asked outside the lock: they answer on the thread that may be waiting for it.
        if (HWND text = GetDlgItem(box, 0xFFFF)) {
            std::wstring said = platform::GetText(text);
            std::wstring caption = platform::GetText(box);
            HWND icon = GetDlgItem(box, 0x14);        // Windows' icon control
            if (!icon) icon = GetDlgItem(box, 0x440); // Wine's
            HICON shown = icon ? reinterpret_cast<HICON>(SendMessageW(icon, STM_GETICON, 0, 0)) : nullptr;
            {
                std::lock_guard lock(mutex_);
                texts_.push_back(said);
                captions_.push_back(caption);
                icons_.push_back(shown);
            }
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        } else if (other_) {
            other_(box);
        }
    }
    // A closed box's handle may come back for a new one.
    std::lock_guard lock(mutex_);
    std::erase_if(handled_, [](HWND w) { return !IsWindow(w); });
}

std::vector<std::wstring> MessageBoxes::Texts() {
    std::lock_guard lock(mutex_);
    return texts_;
}

std::vector<std::wstring> MessageBoxes::Captions() {
    std::lock_guard lock(mutex_);
    return captions_;
}

bool MessageBoxes::AllWithErrorIcon() {
    std::lock_guard lock(mutex_);
    HICON error = LoadIconW(nullptr, IDI_ERROR);
    for (HICON icon : icons_)
        if (icon != error) return false;
    return true;
}

void MessageBoxes::Clear() {
    std::lock_guard lock(mutex_);
    texts_.clear();
    captions_.clear();
    icons_.clear();
}

} // namespace test
