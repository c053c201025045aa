// "设置－Tavolin": the wallpaper position, the intervals, hiding at start, starting with Windows and the
// picture association.
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

class FormOption : public platform::Dialog {
  public:
    // `positionChanged` runs after "确定" has changed the wallpaper position and closed the dialog.
    FormOption(AppSettings& settings, std::wstring programFolder, std::wstring executableName,
               SystemKeys keys = {}, std::function<void()> positionChanged = {});

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
         Label5 = nullptr, Combo1 = nullptr;

  protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void LayOut();
    bool RunEntryIsOurs() const;
    void WriteRunEntry(bool on);
    void WriteClass();
    void WriteAssociation(const std::wstring& extension, bool on);
    void Refuse(HWND box, const wchar_t* message);

    AppSettings& settings_;
    std::wstring programFolder_, executableName_;
    SystemKeys keys_;
    std::function<void()> positionChanged_;
};

} // namespace settings
