#include "tests/support/main_window.h"

#include "app/tray.h"
#include "settings/registry.h"

#include <commctrl.h>

namespace test {
namespace {

constexpr wchar_t Desktop[] = L"Control Panel\\desktop";
constexpr const wchar_t* WallpaperValues[] = {L"Wallpaper", L"TileWallpaper", L"WallpaperStyle"};

} // namespace

void MainWindowTest::SetUp() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    for (int i = 0; i < 3; ++i)
        wallpaper_[i] = settings::GetRegistryString(HKEY_CURRENT_USER, Desktop, WallpaperValues[i]);
    // Settings, pictures and the wallpaper file stay inside the test's folder.
    // The history of wallpapers goes into a folder of its own.
    CreateDirectoryW((temp.path() + L"\\用户").c_str(), nullptr);
    form = std::make_unique<app::FormMain>(false, Places());
    ASSERT_TRUE(form->Create());
    CreateDirectoryW(PictureFolder().c_str(), nullptr);
}

core::ProgramPlaces MainWindowTest::Places() const {
    return {temp.path(), L"Quorvel", temp.path() + L"\\Vesmar.bmp", L"",
            temp.path() + L"\\用户\\墙纸历史.txt", temp.path() + L"\\用户\\图片标记.txt"};
}

void MainWindowTest::TearDown() {
    app::RemoveTrayIcon();
    form.reset();
    for (int i = 0; i < 3; ++i)
        settings::SetRegistryValue(Desktop, WallpaperValues[i], wallpaper_[i], REG_SZ, HKEY_CURRENT_USER);
    RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\Tavolin\\" + temp.path()).c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, (L"Software\\Tavolin\\" + temp.path()).c_str());
}

void MainWindowTest::SelectTab(int index) {
    TabCtrl_SetCurSel(form->TabControl(), index);
    NMHDR change{form->TabControl(), ui::IDC_SSTab1, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(form->hwnd(), WM_NOTIFY, ui::IDC_SSTab1, reinterpret_cast<LPARAM>(&change));
}

} // namespace test
