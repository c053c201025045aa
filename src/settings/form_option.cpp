#include "settings/form_option.h"

#include "core/identity.h"
#include "platform/accessible_name.h"
#include "res/resource.h"
#include "settings/cities.h"
#include "settings/coordinates.h"
#include "settings/option_number.h"
#include "settings/registry.h"
#include "settings/setting_text.h"
#include "settings/settings_store.h"

#include <algorithm>
#include <commctrl.h>
#include <tuple>
#include <windowsx.h>

namespace settings {
namespace {

enum class Kind { Text, Check, Edit, Button, Combo, Group, Hotkey };

struct Place {
    int id;
    Kind kind;
    int left, top, width, height; // twips
};

// The wallpaper position's row stands above the rest, which keep their places below it; the monitors'
// row and the automatic change's group follow them, above "确定".
constexpr int Row = 360;
constexpr Place Places[] = {
    {IDC_OPT_Label5, Kind::Text, 90, 240, 1620, 180},
    {IDC_OPT_Combo1, Kind::Combo, 1680, 195, 1140, 270},
    {IDC_OPT_Label1, Kind::Text, 90, Row + 240, 1620, 180},
    {IDC_OPT_Text1, Kind::Edit, 1680, Row + 195, 630, 270},
    {IDC_OPT_Label2, Kind::Text, 2370, Row + 240, 2070, 180},
    {IDC_OPT_Label4, Kind::Text, 105, Row + 600, 1620, 180},
    {IDC_OPT_Text2, Kind::Edit, 1695, Row + 555, 630, 270},
    {IDC_OPT_Label3, Kind::Text, 2385, Row + 600, 2070, 180},
    {IDC_OPT_Check1, Kind::Check, 105, Row + 945, 4125, 225},
    {IDC_OPT_Check2, Kind::Check, 105, Row + 1245, 3060, 225},
    {IDC_OPT_Check3, Kind::Check, 105, Row + 1545, 4500, 180},
    {IDC_OPT_Label6, Kind::Text, 90, 2340, 1560, 180},
    {IDC_OPT_Combo2, Kind::Combo, 1680, 2295, 1980, 270},
    {IDC_OPT_Frame1, Kind::Group, 90, 2745, 4650, 2835},
    {IDC_OPT_Check4, Kind::Check, 225, 3060, 1800, 225},
    {IDC_OPT_Check5, Kind::Check, 2385, 3060, 2100, 225},
    {IDC_OPT_Label7, Kind::Text, 225, 3420, 3600, 180},
    {IDC_OPT_Check6, Kind::Check, 480, 3735, 3600, 225},
    {IDC_OPT_Check7, Kind::Check, 480, 4035, 3600, 225},
    {IDC_OPT_Check8, Kind::Check, 480, 4335, 3600, 225},
    {IDC_OPT_Label8, Kind::Text, 225, 4800, 1620, 180},
    {IDC_OPT_Hotkey1, Kind::Hotkey, 1905, 4755, 2700, 270},
    {IDC_OPT_Label9, Kind::Text, 225, 5190, 1620, 180},
    {IDC_OPT_Hotkey2, Kind::Hotkey, 1905, 5145, 2700, 270},
    // The second column: the choice from favourites, the time of day, the picture of the day.
    {IDC_OPT_Check9, Kind::Check, 5025, 240, 4500, 225},
    {IDC_OPT_Frame2, Kind::Group, 4950, 645, 4650, 2835},
    {IDC_OPT_Label10, Kind::Text, 5085, 990, 1500, 180},
    {IDC_OPT_Combo3, Kind::Combo, 6600, 945, 2400, 270},
    {IDC_OPT_Label11, Kind::Text, 5085, 1395, 1500, 180},
    {IDC_OPT_Combo4, Kind::Combo, 6600, 1350, 2400, 270},
    {IDC_OPT_Label12, Kind::Text, 5085, 1800, 600, 180},
    {IDC_OPT_Text3, Kind::Edit, 5700, 1755, 1200, 270},
    {IDC_OPT_Label13, Kind::Text, 7050, 1800, 600, 180},
    {IDC_OPT_Text4, Kind::Edit, 7665, 1755, 1335, 270},
    {IDC_OPT_Label14, Kind::Text, 5085, 2265, 4400, 180},
    {IDC_OPT_Check10, Kind::Check, 5085, 2715, 4400, 225},
    {IDC_OPT_Frame3, Kind::Group, 4950, 3630, 4650, 1950},
    {IDC_OPT_Check11, Kind::Check, 5085, 3960, 4400, 225},
    {IDC_OPT_Check12, Kind::Check, 5340, 4335, 4100, 225},
    {IDC_OPT_Label15, Kind::Text, 5085, 4845, 900, 180},
    {IDC_OPT_Text5, Kind::Edit, 6015, 4800, 630, 270},
    {IDC_OPT_Label16, Kind::Text, 6720, 4845, 400, 180},
    {IDC_OPT_Command1, Kind::Button, 3870, 5745, 2040, 345},
};
constexpr int ClientWidth = 9780, ClientHeight = 6255; // twips

FormOption* openDialog = nullptr;

bool Ticked(HWND box) {
    return Button_GetCheck(box) == BST_CHECKED;
}
void Tick(HWND box, bool on) {
    Button_SetCheck(box, on ? BST_CHECKED : BST_UNCHECKED);
}

// A chord of modifiers alone names no key, and no hotkey can be made of it.
uint16_t HotkeyIn(HWND box) {
    const auto hotkey = static_cast<uint16_t>(SendMessageW(box, HKM_GETHOTKEY, 0, 0));
    return LOBYTE(hotkey) ? hotkey : 0;
}

std::wstring KeyName(UINT virtualKey, bool extended) {
    wchar_t name[64] = L"";
    LONG scan = static_cast<LONG>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    GetKeyNameTextW((scan << 16) | (extended ? 1 << 24 : 0), name, 64);
    return name;
}

bool HasValue(HKEY root, const std::wstring& key, const std::wstring& name) {
    return RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_ANY, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

bool SameClassName(const std::wstring& a, const std::wstring& b) {
    return !a.empty() && CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// A class entry goes where the whole machine sees it, else into the user's own classes. The user's
// own entry, where there is one, takes precedence for this user, so it is set as well.
void SetClassEntry(const SystemKeys& keys, const std::wstring& key, const std::wstring& text) {
    const std::wstring user = UserClassesKey + key;
    if (!SetRegistryString(keys.classes, key, L"", text) || HasValue(HKEY_CURRENT_USER, user, L""))
        SetRegistryString(HKEY_CURRENT_USER, user, L"", text);
}

} // namespace

std::wstring HotkeyText(uint16_t hotkey) {
    if (!LOBYTE(hotkey)) return L"";
    const BYTE flags = HIBYTE(hotkey);
    std::wstring text;
    // The modifiers as Windows names them on Chinese and English keyboards alike; Wine's key names
    // would say "Control".
    for (auto [flag, name] :
         {std::pair{HOTKEYF_CONTROL, L"Ctrl"}, {HOTKEYF_SHIFT, L"Shift"}, {HOTKEYF_ALT, L"Alt"}})
        if (flags & flag) text += name + std::wstring(L" + ");
    return text + KeyName(LOBYTE(hotkey), flags & HOTKEYF_EXT);
}

std::wstring HotkeyTakenMessage(uint16_t hotkey) {
    return L"快捷键 " + HotkeyText(hotkey) + L" 已被其他程序占用，请换一个。";
}

FormOption::FormOption(AppSettings& settings, std::wstring programFolder, std::wstring executableName,
                       SystemKeys keys, std::function<void()> positionChanged,
                       std::function<std::wstring(uint16_t, uint16_t)> applyHotkeys,
                       std::function<std::wstring(double, double)> sunTimes)
    : settings_(settings), programFolder_(std::move(programFolder)),
      executableName_(std::move(executableName)), keys_(keys), positionChanged_(std::move(positionChanged)),
      applyHotkeys_(std::move(applyHotkeys)), sunTimes_(std::move(sunTimes)) {}

void FormOption::ShowModal(HWND owner) {
    if (openDialog) {
        SetForegroundWindow(openDialog->hwnd());
        return;
    }
    openDialog = this;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_HOTKEY_CLASS};
    InitCommonControlsEx(&icc);
    RunModal(owner, IDD_FORMOPTION);
    openDialog = nullptr;
}

HWND FormOption::ShowModeless(HWND owner) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_HOTKEY_CLASS};
    InitCommonControlsEx(&icc);
    HWND dialog = CreateModeless(owner, IDD_FORMOPTION);
    ShowWindow(dialog, SW_SHOW);
    return dialog;
}

std::wstring FormOption::CommandText() const {
    return programFolder_ + L"\\" + executableName_ + L".exe";
}

// ---- opening ------------------------------------------------------------------------------------

void FormOption::Form_Load() {
    ComboBox_SetCurSel(Combo1, static_cast<int>(settings_.Position));
    SetWindowTextW(Text1, std::to_wstring(settings_.WallpaperInterval).c_str());
    SetWindowTextW(Text2, std::to_wstring(settings_.SlideshowInterval).c_str());
    Tick(Check1, RunEntryIsOurs());
    Tick(Check2, settings_.HideAtStart == 1);
    Tick(Check3,
         ParseStoredInt32(GetSetting(core::ApplicationTitle, SectionAssociation, KeyCheck3, L"0"), 0) == 1);
    ComboBox_SetCurSel(Combo2, static_cast<int>(settings_.Monitors));
    EnableMonitors();
    Tick(Check4, settings_.Shuffle);
    Tick(Check5, settings_.Subfolders);
    Tick(Check6, settings_.PauseFullScreen);
    Tick(Check7, settings_.PauseBattery);
    Tick(Check8, settings_.PauseLocked);
    SendMessageW(Hotkey1, HKM_SETHOTKEY, settings_.NextHotkey, 0);
    SendMessageW(Hotkey2, HKM_SETHOTKEY, settings_.PreviousHotkey, 0);
    Tick(Check9, settings_.FavouritesOnly);
    ComboBox_SetCurSel(Combo3, static_cast<int>(settings_.Time));
    const int city = ComboBox_FindStringExact(Combo4, -1, settings_.City.c_str());
    ComboBox_SetCurSel(Combo4, city >= 0 ? city : 0);
    SetWindowTextW(Text3, FormatCoordinate(settings_.Latitude).c_str());
    SetWindowTextW(Text4, FormatCoordinate(settings_.Longitude).c_str());
    Tick(Check10, settings_.SwitchSystemMode);
    Tick(Check11, settings_.Daily);
    Tick(Check12, settings_.DailySetWallpaper);
    SetWindowTextW(Text5, std::to_wstring(settings_.DailyKeep).c_str());
    EnableTimeRows();
    ShowSunTimes();
}

void FormOption::EnableTimeRows() {
    const bool sun = ComboBox_GetCurSel(Combo3) == static_cast<int>(TimeMode::Sun);
    for (HWND row : {Label11, Combo4, Label12, Label13, Label14, Check10})
        EnableWindow(row, sun);
    // The coordinates are typed for "自定义"; a city brings its own.
    const bool custom = sun && platform::GetText(Combo4) == CustomCity;
    for (HWND box : {Text3, Text4})
        EnableWindow(box, custom);
    EnableWindow(Check12, Ticked(Check11));
}

void FormOption::CityChosen() {
    if (const City* city = FindCity(platform::GetText(Combo4))) {
        SetWindowTextW(Text3, FormatCoordinate(city->latitude).c_str());
        SetWindowTextW(Text4, FormatCoordinate(city->longitude).c_str());
    }
    EnableTimeRows();
    ShowSunTimes();
}

void FormOption::ShowSunTimes() {
    std::optional<double> latitude = ParseLatitude(platform::GetText(Text3)),
                          longitude = ParseLongitude(platform::GetText(Text4));
    SetWindowTextW(Label14, latitude && longitude && sunTimes_ ? sunTimes_(*latitude, *longitude).c_str() : L"");
}

void FormOption::EnableMonitors() {
    const bool on = ComboBox_GetCurSel(Combo1) != static_cast<int>(WallpaperPosition::Span);
    EnableWindow(Label6, on);
    EnableWindow(Combo2, on);
}

// The designed places in twips for this DPI, each grown (about its middle) where its text needs more
// room in the font at hand, and the client area centred on the screen.
void FormOption::LayOut() {
    UINT dpi = platform::DpiOf(hwnd());
    auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
    HDC dc = GetDC(hwnd());
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    const int clientW = platform::Twips(ClientWidth, dpi), clientH = platform::Twips(ClientHeight, dpi);
    const int box = GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi),
              edge = GetSystemMetricsForDpi(SM_CYEDGE, dpi);
    for (const Place& p : Places) {
        HWND control = GetDlgItem(hwnd(), p.id);
        int x = platform::Twips(p.left, dpi), y = platform::Twips(p.top, dpi);
        int w = platform::Twips(p.width, dpi), h = platform::Twips(p.height, dpi);
        std::wstring text = platform::GetText(control);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        int needW = 0, needH = tm.tmHeight;
        switch (p.kind) {
        case Kind::Text:
            needW = size.cx;
            break;
        case Kind::Check:
            needW = box + box / 2 + size.cx;
            needH = std::max<int>(tm.tmHeight, box);
            break;
        case Kind::Edit:
        case Kind::Hotkey:
            needH = tm.tmHeight + 2 * edge + 2;
            break;
        case Kind::Group:
            // The caption sits in the frame's top edge; the frame itself keeps its designed size.
            needW = size.cx + 2 * box;
            break;
        case Kind::Button:
            needW = size.cx + 2 * box;
            needH = tm.tmHeight + 2 * edge + 4;
            break;
        case Kind::Combo:
            // The height given is the dropped list's; the field takes what the font needs.
            SetWindowPos(control, nullptr, x, y, w, h + tm.tmHeight * 8, SWP_NOZORDER | SWP_NOACTIVATE);
            RECT field{};
            GetWindowRect(control, &field);
            y -= (field.bottom - field.top - h + 1) / 2;
            h += tm.tmHeight * 8;
            break;
        }
        if (needW > w) w = std::max(w, std::min(needW, clientW - x));
        if (needH > h) {
            y -= (needH - h + 1) / 2;
            h = needH;
        }
        SetWindowPos(control, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SelectObject(dc, old);
    ReleaseDC(hwnd(), dc);

    RECT r{0, 0, clientW, clientH};
    AdjustWindowRectExForDpi(&r, static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_EXSTYLE)), dpi);
    MONITORINFO mi{sizeof mi};
    GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTOPRIMARY), &mi);
    const RECT& work = mi.rcWork;
    int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(hwnd(), nullptr, work.left + (work.right - work.left - w) / 2,
                 work.top + (work.bottom - work.top - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- confirming ---------------------------------------------------------------------------------

void FormOption::Command1_Click() {
    IntervalCheck check = CheckIntervals(platform::GetText(Text1), platform::GetText(Text2));
    if (check.bad == IntervalBox::Text1) return Refuse(Text1, WallpaperIntervalMessage);
    if (check.bad == IntervalBox::Text2) return Refuse(Text2, SlideshowIntervalMessage);
    const uint16_t next = HotkeyIn(Hotkey1), previous = HotkeyIn(Hotkey2);
    const bool nextMoved = next != settings_.NextHotkey, previousMoved = previous != settings_.PreviousHotkey;
    if ((nextMoved || previousMoved) && applyHotkeys_) {
        const std::wstring refused = applyHotkeys_(next, previous);
        if (!refused.empty()) {
            // The message names the key it refuses; that key's box is the one to change.
            const bool second = previousMoved && (!nextMoved || refused == HotkeyTakenMessage(previous));
            return Refuse(second ? Hotkey2 : Hotkey1, refused);
        }
    }
    const std::optional<double> latitude = ParseLatitude(platform::GetText(Text3)),
                                longitude = ParseLongitude(platform::GetText(Text4));
    if (!latitude) return Refuse(Text3, LatitudeMessage);
    if (!longitude) return Refuse(Text4, LongitudeMessage);
    const std::optional<int32_t> keep = WholeNumber(platform::GetText(Text5));
    if (!keep || *keep < MinDailyKeep || *keep > MaxDailyKeep) return Refuse(Text5, DailyKeepMessage);
    const bool associate = Ticked(Check3);

    WriteRunEntry(Ticked(Check1));
    settings_.WallpaperInterval = check.wallpaper;
    SaveSetting(programFolder_, SectionSettings, KeyWallpaperInterval, std::to_wstring(check.wallpaper));
    settings_.SlideshowInterval = check.slideshow;
    SaveSetting(programFolder_, SectionSettings, KeySlideshowInterval, std::to_wstring(check.slideshow));
    settings_.HideAtStart = Ticked(Check2) ? 1 : 0;
    SaveSetting(programFolder_, SectionSettings, KeyHideAtStart, settings_.HideAtStart ? L"1" : L"0");
    WriteClass();
    WriteAssociation(L".jpg", associate);
    WriteAssociation(L".bmp", associate);
    SaveSetting(core::ApplicationTitle, SectionAssociation, KeyCheck3, associate ? L"1" : L"0");
    const int chosen = ComboBox_GetCurSel(Combo1);
    const WallpaperPosition position =
        chosen >= 0 ? static_cast<WallpaperPosition>(chosen) : WallpaperPosition::Center;
    const bool moved = position != settings_.Position;
    settings_.Position = position;
    SaveSetting(programFolder_, SectionSettings, KeyWallpaperPosition, PositionName(position));
    // While the wallpaper spans the monitors the row is off, and what it said before stays.
    if (IsWindowEnabled(Combo2)) {
        settings_.Monitors = ComboBox_GetCurSel(Combo2) == 1 ? MonitorMode::Each : MonitorMode::Same;
        SaveSetting(programFolder_, SectionSettings, KeyMonitors, MonitorModeName(settings_.Monitors));
    }
    for (auto [box, key, flag] : {std::tuple{Check4, KeyShuffle, &settings_.Shuffle},
                                  {Check5, KeySubfolders, &settings_.Subfolders},
                                  {Check6, KeyPauseFullScreen, &settings_.PauseFullScreen},
                                  {Check7, KeyPauseBattery, &settings_.PauseBattery},
                                  {Check8, KeyPauseLocked, &settings_.PauseLocked}}) {
        *flag = Ticked(box);
        SaveSetting(programFolder_, SectionSettings, key, *flag ? L"1" : L"0");
    }
    for (auto [box, key, flag] : {std::tuple{Check9, KeyFavouritesOnly, &settings_.FavouritesOnly},
                                  {Check10, KeySwitchSystemMode, &settings_.SwitchSystemMode},
                                  {Check11, KeyDaily, &settings_.Daily},
                                  {Check12, KeyDailySetWallpaper, &settings_.DailySetWallpaper}}) {
        *flag = Ticked(box);
        SaveSetting(programFolder_, SectionSettings, key, *flag ? L"1" : L"0");
    }
    const int mode = ComboBox_GetCurSel(Combo3);
    settings_.Time = mode >= 0 ? static_cast<TimeMode>(mode) : TimeMode::None;
    SaveSetting(programFolder_, SectionSettings, KeyTimeMode, TimeModeNames[static_cast<int>(settings_.Time)]);
    settings_.City = platform::GetText(Combo4);
    settings_.Latitude = *latitude;
    settings_.Longitude = *longitude;
    SaveSetting(programFolder_, SectionSettings, KeyCity, settings_.City);
    SaveSetting(programFolder_, SectionSettings, KeyLatitude, FormatCoordinate(*latitude));
    SaveSetting(programFolder_, SectionSettings, KeyLongitude, FormatCoordinate(*longitude));
    settings_.DailyKeep = *keep;
    SaveSetting(programFolder_, SectionSettings, KeyDailyKeep, std::to_wstring(*keep));
    settings_.NextHotkey = next;
    SaveSetting(programFolder_, SectionSettings, KeyNextHotkey, std::to_wstring(next));
    settings_.PreviousHotkey = previous;
    SaveSetting(programFolder_, SectionSettings, KeyPreviousHotkey, std::to_wstring(previous));
    End(IDOK);
    if (moved && positionChanged_) positionChanged_();
}

void FormOption::Refuse(HWND box, const std::wstring& message) {
    platform::Message(hwnd(), message, MB_OK | MB_ICONERROR);
    SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
}

// ---- the registry entries -----------------------------------------------------------------------

bool FormOption::RunEntryIsOurs() const {
    // Earlier versions wrote the path without quotes.
    const std::wstring plain = CommandText(), quoted = L"\"" + plain + L"\"";
    for (HKEY root : {keys_.machine, HKEY_CURRENT_USER}) {
        std::wstring entry = GetRegistryString(root, RunKey, core::ApplicationTitle);
        if (entry == plain || entry == quoted) return true;
    }
    return false;
}

void FormOption::WriteRunEntry(bool on) {
    if (!on) {
        DeleteRegistryValue(keys_.machine, RunKey, core::ApplicationTitle);
        DeleteRegistryValue(HKEY_CURRENT_USER, RunKey, core::ApplicationTitle);
        return;
    }
    // A path with blanks must be quoted, or Windows may start another program.
    const std::wstring quoted = L"\"" + CommandText() + L"\"";
    if (SetRegistryString(keys_.machine, RunKey, core::ApplicationTitle, quoted))
        DeleteRegistryValue(HKEY_CURRENT_USER, RunKey, core::ApplicationTitle); // one entry, one start
    else
        SetRegistryString(HKEY_CURRENT_USER, RunKey, core::ApplicationTitle, quoted);
}

void FormOption::WriteClass() {
    if (executableName_.empty()) return; // never the classes root's own value
    const std::wstring title = core::ApplicationTitle, program = CommandText();
    SetClassEntry(keys_, executableName_, title + L"文件");
    SetClassEntry(keys_, executableName_ + L"\\DefaultIcon", program + L",0");
    SetClassEntry(keys_, executableName_ + L"\\shell\\play", L"用 " + title + L" 打开");
    SetClassEntry(keys_, executableName_ + L"\\shell\\play\\command", L"\"" + program + L"\" \"%1\"");
}

void FormOption::WriteAssociation(const std::wstring& extension, bool on) {
    if (executableName_.empty()) return;
    if (on) return SetClassEntry(keys_, extension, executableName_);
    // Only our own association is withdrawn; another program's stays.
    for (auto [root, key] :
         {std::pair{keys_.classes, extension}, std::pair{HKEY_CURRENT_USER, UserClassesKey + extension}})
        if (SameClassName(GetRegistryString(root, key, L""), executableName_))
            DeleteRegistryValue(root, key, L"");
}

// ---- messages -----------------------------------------------------------------------------------

INT_PTR FormOption::HandleMessage(UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        Label1 = GetDlgItem(hwnd(), IDC_OPT_Label1);
        Text1 = GetDlgItem(hwnd(), IDC_OPT_Text1);
        Label2 = GetDlgItem(hwnd(), IDC_OPT_Label2);
        Label4 = GetDlgItem(hwnd(), IDC_OPT_Label4);
        Text2 = GetDlgItem(hwnd(), IDC_OPT_Text2);
        Label3 = GetDlgItem(hwnd(), IDC_OPT_Label3);
        Check1 = GetDlgItem(hwnd(), IDC_OPT_Check1);
        Check2 = GetDlgItem(hwnd(), IDC_OPT_Check2);
        Check3 = GetDlgItem(hwnd(), IDC_OPT_Check3);
        Command1 = GetDlgItem(hwnd(), IDC_OPT_Command1);
        Label5 = GetDlgItem(hwnd(), IDC_OPT_Label5);
        Combo1 = GetDlgItem(hwnd(), IDC_OPT_Combo1);
        Label6 = GetDlgItem(hwnd(), IDC_OPT_Label6);
        Combo2 = GetDlgItem(hwnd(), IDC_OPT_Combo2);
        Frame1 = GetDlgItem(hwnd(), IDC_OPT_Frame1);
        Check4 = GetDlgItem(hwnd(), IDC_OPT_Check4);
        Check5 = GetDlgItem(hwnd(), IDC_OPT_Check5);
        Label7 = GetDlgItem(hwnd(), IDC_OPT_Label7);
        Check6 = GetDlgItem(hwnd(), IDC_OPT_Check6);
        Check7 = GetDlgItem(hwnd(), IDC_OPT_Check7);
        Check8 = GetDlgItem(hwnd(), IDC_OPT_Check8);
        Label8 = GetDlgItem(hwnd(), IDC_OPT_Label8);
        Hotkey1 = GetDlgItem(hwnd(), IDC_OPT_Hotkey1);
        Label9 = GetDlgItem(hwnd(), IDC_OPT_Label9);
        Hotkey2 = GetDlgItem(hwnd(), IDC_OPT_Hotkey2);
        Check9 = GetDlgItem(hwnd(), IDC_OPT_Check9);
        Frame2 = GetDlgItem(hwnd(), IDC_OPT_Frame2);
        Label10 = GetDlgItem(hwnd(), IDC_OPT_Label10);
        Combo3 = GetDlgItem(hwnd(), IDC_OPT_Combo3);
        Label11 = GetDlgItem(hwnd(), IDC_OPT_Label11);
        Combo4 = GetDlgItem(hwnd(), IDC_OPT_Combo4);
        Label12 = GetDlgItem(hwnd(), IDC_OPT_Label12);
        Text3 = GetDlgItem(hwnd(), IDC_OPT_Text3);
        Label13 = GetDlgItem(hwnd(), IDC_OPT_Label13);
        Text4 = GetDlgItem(hwnd(), IDC_OPT_Text4);
        Label14 = GetDlgItem(hwnd(), IDC_OPT_Label14);
        Check10 = GetDlgItem(hwnd(), IDC_OPT_Check10);
        Frame3 = GetDlgItem(hwnd(), IDC_OPT_Frame3);
        Check11 = GetDlgItem(hwnd(), IDC_OPT_Check11);
        Check12 = GetDlgItem(hwnd(), IDC_OPT_Check12);
        Label15 = GetDlgItem(hwnd(), IDC_OPT_Label15);
        Text5 = GetDlgItem(hwnd(), IDC_OPT_Text5);
        Label16 = GetDlgItem(hwnd(), IDC_OPT_Label16);
        for (const wchar_t* name : WallpaperPositionNames)
            ComboBox_AddString(Combo1, name);
        for (const wchar_t* name : {MonitorsSame, MonitorsEach})
            ComboBox_AddString(Combo2, name);
        for (const wchar_t* name : TimeModeNames)
            ComboBox_AddString(Combo3, name);
        for (const City& city : Cities())
            ComboBox_AddString(Combo4, city.name);
        ComboBox_AddString(Combo4, CustomCity);
        // A plain key or Shift with one would be taken from every program: such chords get Ctrl + Alt.
        for (HWND box : {Hotkey1, Hotkey2})
            SendMessageW(box, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, HOTKEYF_CONTROL | HOTKEYF_ALT);
        // Named by the labels before them, on Windows and elsewhere alike.
        for (HWND box : {Combo1, Text1, Text2, Combo2, Hotkey1, Hotkey2, Combo3, Combo4, Text3, Text4})
            platform::SetAccessibleName(box, platform::LabelBefore(box));
        platform::SetAccessibleName(Text5, L"保留最近的张数");
        platform::SetAccessibleName(Label14, L"今天的日出日落时间");
        SendMessageW(Text1, EM_SETLIMITTEXT, 5, 0);
        SendMessageW(Text5, EM_SETLIMITTEXT, 5, 0);
        for (HWND box : {Text3, Text4})
            SendMessageW(box, EM_SETLIMITTEXT, 12, 0);
        SendMessageW(Text2, EM_SETLIMITTEXT, 5, 0);
        LayOut();
        Form_Load();
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK: // Enter
        case IDC_OPT_Command1:
            if (HIWORD(wp) == BN_CLICKED) Command1_Click();
            return TRUE;
        case IDCANCEL: // the close box and Esc leave everything as it was
            End(IDCANCEL);
            return TRUE;
        case IDC_OPT_Combo1:
            if (HIWORD(wp) == CBN_SELCHANGE) EnableMonitors();
            return TRUE;
        case IDC_OPT_Combo3:
        case IDC_OPT_Check11:
            EnableTimeRows();
            return TRUE;
        case IDC_OPT_Combo4:
            if (HIWORD(wp) == CBN_SELCHANGE) CityChosen();
            return TRUE;
        case IDC_OPT_Text3:
        case IDC_OPT_Text4:
            if (HIWORD(wp) == EN_CHANGE) ShowSunTimes();
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

} // namespace settings
