// "设置－Tavolin": the wallpaper position, the intervals, hiding at start, starting with Windows, the
// picture association, what several monitors show, and how the wallpaper changes by itself: its order,
// its pauses and its hotkeys, favourites only, the time of day and the picture of the day.
#pragma once
#include "platform/dialog.h"
#include "settings/app_settings.h"

#include <functional>
#include <string>

namespace settings {

// Where the entries for the whole machine go. Whoever may not write there (a user without
// administrator rights) gets the same entries in their own keys under HKEY_CURRENT_USER.
struct SystemKeys {
    HKEY machine = HKEY_LOCAL_MACHINE; // holds the Run key
    HKEY classes = HKEY_CLASSES_ROOT;
};

inline constexpr wchar_t RunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t UserClassesKey[] = L"Software\\Classes\\";

// A key chord as the hotkey control shows it, e.g. "Ctrl + Alt + N"; empty for none.
std::wstring HotkeyText(uint16_t hotkey);
// What the user is told when another program holds the chord.
std::wstring HotkeyTakenMessage(uint16_t hotkey);

class FormOption : public platform::Dialog {
  public:
    // `positionChanged` runs after "确定" has changed the wallpaper position and closed the dialog.
    // `applyHotkeys` runs at "确定" when either hotkey changed, before anything is stored: empty when the
    // keys are now ours, else the message that refuses them. `sunTimes` says today's sunrise and sunset
    // at a place ("今天日出 07:29，日落 16:51").
    FormOption(AppSettings& settings, std::wstring programFolder, std::wstring executableName,
               SystemKeys keys = {}, std::function<void()> positionChanged = {},
               std::function<std::wstring(uint16_t next, uint16_t previous)> applyHotkeys = {},
               std::function<std::wstring(double latitude, double longitude)> sunTimes = {});

    // Shows the dialog modally; at most one is open at a time (a second request brings it forward).
    void ShowModal(HWND owner);
    HWND ShowModeless(HWND owner);

    void Form_Load();
    // Checks the intervals, then applies and stores everything and closes the dialog.
    void Command1_Click();

    // The program's path: ProgramFolder\ExecutableName.exe.
    std::wstring CommandText() const;

    HWND Label1 = nullptr, Text1 = nullptr, Label2 = nullptr, Label4 = nullptr, Text2 = nullptr,
         Label3 = nullptr, Check1 = nullptr, Check2 = nullptr, Check3 = nullptr, Command1 = nullptr,
         Label5 = nullptr, Combo1 = nullptr, Label6 = nullptr, Combo2 = nullptr, Frame1 = nullptr,
         Check4 = nullptr, Check5 = nullptr, Label7 = nullptr, Check6 = nullptr, Check7 = nullptr,
         Check8 = nullptr, Label8 = nullptr, Hotkey1 = nullptr, Label9 = nullptr, Hotkey2 = nullptr,
         Check9 = nullptr, Frame2 = nullptr, Label10 = nullptr, Combo3 = nullptr, Label11 = nullptr,
         Combo4 = nullptr, Label12 = nullptr, Text3 = nullptr, Label13 = nullptr, Text4 = nullptr,
         Label14 = nullptr, Check10 = nullptr, Frame3 = nullptr, Check11 = nullptr, Check12 = nullptr,
         Label15 = nullptr, Text5 = nullptr, Label16 = nullptr;

  protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void LayOut();
    // A spanned wallpaper is one picture across all monitors, so the monitors' row has no say then.
    void EnableMonitors();
    // The place and times are for "按日出日落"; "下载后设为墙纸" for the daily picture.
    void EnableTimeRows();
    void CityChosen();
    // Today's sunrise and sunset at the coordinates in the boxes.
    void ShowSunTimes();
    bool RunEntryIsOurs() const;
    void WriteRunEntry(bool on);
    void WriteClass();
    void WriteAssociation(const std::wstring& extension, bool on);
    void Refuse(HWND box, const std::wstring& message);

    AppSettings& settings_;
    std::wstring programFolder_, executableName_;
    SystemKeys keys_;
    std::function<void()> positionChanged_;
    std::function<std::wstring(uint16_t, uint16_t)> applyHotkeys_;
    std::function<std::wstring(double, double)> sunTimes_;
};

} // namespace settings
