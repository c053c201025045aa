// The tray's tip, which two parts of the program add a line to.
#include "app/form_main.h"
#include "app/tray.h"

namespace app {

void FormMain::ShowPause(wallpaper::PauseReason reason) {
    pauseLine_ = wallpaper::PauseTip(reason);
    ShowTrayTip();
}

void FormMain::ShowDailyTip(const std::wstring& line) {
    dailyLine_ = line;
    ShowTrayTip();
}

void FormMain::ShowTrayTip() {
    std::wstring tip = core::ApplicationTitle;
    for (const std::wstring* line : {&pauseLine_, &dailyLine_})
        if (!line->empty()) tip += L"\n" + *line;
    SetTrayTip(tip);
}

} // namespace app
