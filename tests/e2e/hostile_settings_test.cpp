// Quorvel.exe started on settings that another program or an older version may have left: every
// wrong registry type, huge texts, numbers out of range, control characters, a file where a folder
// belongs. Each value that does not read gives its default, and the program shows its window (or
// only its tray icon) and answers messages.
#include "core/identity.h"
#include "res/resource.h"
#include "settings/app_settings.h"
#include "settings/settings_store.h"
#include "tests/e2e/driver.h"
#include "tests/wallpaper/test_pictures.h"
#include "ui/controls.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

// One stored value as raw registry data.
struct Raw {
    DWORD type;
    std::string bytes;
};

Raw Text(const std::wstring& text) {
    return {REG_SZ,
            std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t))};
}
Raw Dword(uint32_t v) {
    return {REG_DWORD, std::string(reinterpret_cast<const char*>(&v), 4)};
}
// UTF-16 text that would read as a number, stored with the wrong type.
Raw Typed(DWORD type, const std::wstring& text) {
    return {type, Text(text).bytes};
}
Raw Multi(const std::wstring& text) {
    return Typed(REG_MULTI_SZ, text + L'\0');
}
Raw Empty(DWORD type) {
    return {type, ""};
}

void Put(const std::wstring& key, const std::wstring& name, const Raw& value) {
    platform::UniqueKey k;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, k.put(),
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(k.get(), name.c_str(), 0, value.type,
                             reinterpret_cast<const BYTE*>(value.bytes.data()),
                             static_cast<DWORD>(value.bytes.size())),
              ERROR_SUCCESS);
}

// An edit box's text; GetWindowText gives only captions across processes.
std::wstring BoxText(HWND box) {
    std::wstring text(static_cast<size_t>(SendMessageW(box, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(
        SendMessageW(box, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

const std::wstring AssociationKey = settings::StoreKey(core::ApplicationTitle, settings::SectionAssociation);

// The association box's state is kept per user, not per folder: it is put back afterwards.
class KeepCheck3 {
  public:
    KeepCheck3() : had_(Read(old_)) {}
    ~KeepCheck3() {
        platform::UniqueKey k;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, AssociationKey.c_str(), 0, KEY_SET_VALUE, k.put())) return;
        if (had_)
            RegSetValueExW(k.get(), settings::KeyCheck3, 0, old_.type,
                           reinterpret_cast<const BYTE*>(old_.bytes.data()),
                           static_cast<DWORD>(old_.bytes.size()));
        else
            RegDeleteValueW(k.get(), settings::KeyCheck3);
    }

  private:
    static bool Read(Raw& out) {
        platform::UniqueKey k;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, AssociationKey.c_str(), 0, KEY_QUERY_VALUE, k.put()))
            return false;
        DWORD size = 0;
        if (RegQueryValueExW(k.get(), settings::KeyCheck3, nullptr, &out.type, nullptr, &size)) return false;
        out.bytes.resize(size);
        return !RegQueryValueExW(k.get(), settings::KeyCheck3, nullptr, &out.type,
                                 reinterpret_cast<BYTE*>(out.bytes.data()), &size);
    }
    Raw old_;
    bool had_;
};

struct Hostile {
    const char* what;
    Raw wallpaperInterval, slideshowInterval, hideAtStart, wallpaperFolder, check3;
    // What start-up makes of them.
    std::wstring text1 = L"5", text2 = L"3";
    bool hidden = false;
};

// What a user sees of the settings: the window, the picture list's folder, the options dialog.
void ExpectStartedWith(const ProgramFolder& folder, const Hostile& h) {
    Program program(folder);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(IsWindowVisible(main) == FALSE, h.hidden);
    EXPECT_TRUE(HasTrayIcon(main));
    // The stored folder did not read: the default folder, with its one picture.
    EXPECT_EQ(ListBoxItems(Control(main, ui::IDC_File1)), std::vector<std::wstring>{L"默认.gif"});
    for (HWND w : TopLevelWindows(program.pid(), L"#32770"))
        EXPECT_FALSE(IsWindowVisible(w)) << "a message box at start: " << e2e::Text(w).size();

    HWND dialog = program.OpenOptions();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(BoxText(GetDlgItem(dialog, IDC_OPT_Text1)), h.text1);
    EXPECT_EQ(BoxText(GetDlgItem(dialog, IDC_OPT_Text2)), h.text2);
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, IDC_OPT_Check2), BM_GETCHECK, 0, 0),
              h.hidden ? BST_CHECKED : BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, IDC_OPT_Check3), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    EXPECT_TRUE(program.Quit());
}

} // namespace

TEST(HostileSettings, ValuesThatDoNotReadGiveTheirDefaultsAndTheProgramRuns) {
    KeepCheck3 keep;
    ProgramFolder folder;
    CreateDirectoryW(folder.pictureFolder().c_str(), nullptr);
    ASSERT_TRUE(test::WritePicture(folder.pictureFolder() + L"\\默认.gif", GUID_ContainerFormatGif, 8, 8));
    const std::wstring huge(50000, L'9'); // 100 KB of text
    const std::wstring hugePath = folder.path() + L"\\" + std::wstring(50000, L'x');
    const std::wstring exe = folder.exe();
    // The folder the wrongly typed folder values name: read, they would show its picture.
    const std::wstring other = folder.path() + L"\\other";
    CreateDirectoryW(other.c_str(), nullptr);
    ASSERT_TRUE(test::WritePicture(other + L"\\other.gif", GUID_ContainerFormatGif, 8, 8));
    // Every wrong type once for each value, numbers that do not fit, control characters, a file as the
    // folder.
    const Hostile cases[] = {
        {"DWORD, binary, multi-string, empty", Dword(60), Typed(REG_BINARY, L"10"), Multi(L"1"),
         Empty(REG_SZ), Dword(1)},
        {"binary, multi-string, empty, DWORD", Typed(REG_BINARY, L"60"), Multi(L"10"), Empty(REG_SZ),
         Dword(0), Typed(REG_BINARY, L"1")},
        {"multi-string, empty, DWORD, binary", Multi(L"60"), Empty(REG_SZ), Dword(1),
         Typed(REG_BINARY, other), Multi(L"1")},
        {"empty, DWORD, binary, multi-string", Empty(REG_NONE), Dword(10), Typed(REG_BINARY, L"1"),
         Multi(other), Typed(REG_EXPAND_SZ, L"1")},
        {"huge texts", Text(huge), Text(huge), Text(huge), Text(hugePath), Text(huge)},
        {"overflowing numbers", Text(L"2147483648"), Text(L"-2147483649"), Text(L"65536"),
         Text(folder.path() + L"\\..\\..\\..\\..\\..\\..\\..\\nowhere"), Text(L"4294967297")},
        {"control characters, a file for the folder", Text(L"\x1B[31m60"), Text(L"10\r\n"), Text(L"\x01"),
         Text(exe), Text(L"1\x07")},
        // Numbers are not checked for their range when they are read; the options dialog does that.
        {"negative numbers", Text(L"-5"), Text(L"-2147483648"), Text(L"-1"), Text(L""), Text(L"-1"), L"-5",
         L"-2147483648"},
        // A flag that reads, cut at its NUL, beside values that do not: only the tray icon shows.
        {"hidden", Text(L"5O"), Text(L"-"), Typed(REG_SZ, std::wstring(L"1\0garbage", 9)),
         Text(L"\\\\?\\" + folder.path() + L"\\no such folder"), Text(L""), L"5", L"3", true},
    };
    for (const Hostile& h : cases) {
        SCOPED_TRACE(h.what);
        std::wstring key = settings::StoreKey(folder.path(), settings::SectionSettings);
        Put(key, settings::KeyWallpaperInterval, h.wallpaperInterval);
        Put(key, settings::KeySlideshowInterval, h.slideshowInterval);
        Put(key, settings::KeyHideAtStart, h.hideAtStart);
        Put(key, settings::KeyWallpaperFolder, h.wallpaperFolder);
        Put(AssociationKey, settings::KeyCheck3, h.check3);
        ExpectStartedWith(folder, h);
    }
}
