// Drives Quorvel.exe from outside, as a user would: a program folder of its own, the process, its
// windows, menus, message boxes and the notification area.
#pragma once
#include "platform/win.h"

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// A fresh program folder in the temporary folder with Quorvel.exe and its help page copied in.
// Removed, with the settings stored for it, when the test ends.
class ProgramFolder {
  public:
    ProgramFolder();
    // A folder that already holds the program; only the settings stored for it are removed.
    explicit ProgramFolder(std::wstring existing);
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;
    const std::wstring& path() const { return path_; }
    std::wstring exe() const { return path_ + L"\\Quorvel.exe"; }
    std::wstring pictureFolder() const { return path_ + L"\\Tavolin壁纸"; }
    // Stores a setting of section "设置" for this folder's program.
    void Store(const std::wstring& key, const std::wstring& text) const;
    std::wstring Stored(const std::wstring& key) const;

  private:
    std::wstring path_;
    bool made_ = true;
};

// Where the program writes the wallpaper bitmap: the Windows folder when this user may make files
// there, else "%LOCALAPPDATA%\Tavolin".
std::wstring WallpaperBitmap();

// One started copy of the program.
class Program {
  public:
    // Starts the program with `arguments` appended to its quoted path.
    Program(const ProgramFolder& folder, const std::wstring& arguments = L"");
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    DWORD pid() const { return pid_; }
    bool Running() const;
    bool WaitForExit(DWORD ms) const;
    // The main window once start-up has created it (null after the timeout).
    HWND MainWindow(DWORD timeoutMs = 15000) const;
    // Waits until start-up is over: the tray icon is in place and the program first waits for input.
    HWND WaitUntilStarted(DWORD timeoutMs = 15000) const;
    // Chooses a menu item (its command id) of the main window's menus.
    void Choose(int commandId) const;
    // Chooses "设置" and returns the options dialog once it shows (null if it does not).
    HWND OpenOptions() const;
    // Ends the program through "退出" and waits for it.
    bool Quit(DWORD ms = 10000) const;

  private:
    PROCESS_INFORMATION pi_{};
    DWORD pid_ = 0;
};

// Polls `condition` until it holds or `ms` pass.
bool WaitFor(const std::function<bool()>& condition, DWORD ms = 10000);

std::wstring Text(HWND window);
// Top-level windows of the process with the given class (all classes when empty).
std::vector<HWND> TopLevelWindows(DWORD pid, const std::wstring& cls);
// A message box of the process whose text contains `text`.
HWND WaitForMessageBox(DWORD pid, const std::wstring& text, DWORD ms = 10000);
std::wstring MessageBoxText(HWND box);
void PressButton(HWND dialog, int id);
// A descendant control by its ID.
HWND Control(HWND top, int id);
std::vector<std::wstring> ListBoxItems(HWND listBox);
// A left click in the middle of row `row` of a list box, as the mouse sends it.
void ClickRow(HWND listBox, int row);
// The texts of a list view's rows (of another process), `columns` columns each.
std::vector<std::vector<std::wstring>> ListViewRows(HWND listView, int columns);
// Selects exactly the rows `indexes` of a list view of another process, the first focused.
void SelectListViewRows(HWND listView, const std::vector<int>& indexes);

// The control that has the keyboard focus in `top`'s thread (null when none).
HWND Focused(HWND top);
// Brings `top` to the front and presses `keys` (see test::PressKeys) until `done` holds, at most `times`
// times; whether it holds.
bool PressUntil(HWND top, const std::vector<WORD>& keys, const std::function<bool()>& done, int times = 1);

// True when the notification area holds an icon of `window` (uID 0).
bool HasTrayIcon(HWND window);

// Every main window of any running copy.
std::vector<HWND> AllMainWindows();

} // namespace e2e
