// The options dialog from its template, driven by messages as a user drives it: the interval checks
// with their messages, the hotkeys another program holds, and what confirming writes to the settings
// store and the registry.
#include "settings/form_option.h"
#include "settings/option_number.h"

#include "core/identity.h"
#include "settings/registry.h"
#include "settings/settings_store.h"
#include "tests/support/message_boxes.h"
#include "wallpaper/page/day_night.h"
#include "tests/support/user_input.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windowsx.h>

using settings::AppSettings;
using settings::FormOption;
using settings::SystemKeys;

namespace {

const std::wstring Title = core::ApplicationTitle;
const std::wstring Exe = L"QuorvelOptionTest";
constexpr wchar_t UserClasses[] = L"Software\\Classes\\";

// A registry value that the test may change; it is put back afterwards.
class Saved {
  public:
    Saved(HKEY root, std::wstring key, std::wstring name)
        : root_(root), key_(std::move(key)), name_(std::move(name)) {
        had_ = RegGetValueW(root_, key_.c_str(), name_.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
        if (had_) value_ = settings::GetRegistryString(root_, key_, name_);
        settings::DeleteRegistryValue(root_, key_, name_);
    }
    ~Saved() {
        if (had_)
            settings::SetRegistryString(root_, key_, name_, value_);
        else
            settings::DeleteRegistryValue(root_, key_, name_);
    }

  private:
    HKEY root_;
    std::wstring key_, name_, value_;
    bool had_ = false;
};

std::wstring Read(HKEY root, const std::wstring& key, const std::wstring& name = L"") {
    return settings::GetRegistryString(root, key, name, L"<none>");
}

// A key that can no longer be written (nor read): opened, then deleted under the open handle. It
// stands for the machine's keys where the user has no right to write.
class GoneKey {
  public:
    GoneKey() {
        std::wstring path = L"Software\\TavolinTest\\gone-" + std::to_wstring(GetCurrentProcessId());
        RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                        nullptr);
        RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
    }
    ~GoneKey() { RegCloseKey(key_); }
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

class FormOptionTest : public ::testing::Test {
  protected:
    void TearDown() override {
        for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER}) {
            std::wstring base = root == HKEY_CLASSES_ROOT ? L"" : UserClasses;
            RegDeleteTreeW(root, (base + Exe).c_str());
            RegDeleteKeyW(root, (base + Exe).c_str());
        }
        std::wstring store = L"Software\\Tavolin\\" + folder;
        RegDeleteTreeW(HKEY_CURRENT_USER, store.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, store.c_str());
    }

    // Opens the dialog (modeless, so that the test keeps the thread) as the program opens it.
    HWND Open(SystemKeys keys = {}) {
        dialog = std::make_unique<FormOption>(
            app, folder, Exe, keys, [this] { ++positionChanges; },
            [this](uint16_t next, uint16_t previous) {
                asked.emplace_back(next, previous);
                return refusal;
            },
            wallpaper::SunTimesToday);
        HWND h = dialog->ShowModeless(nullptr);
        SetForegroundWindow(h);
        return h;
    }
    // Fills the two boxes, sets the three ticks (-1 leaves one as it is) and presses "确定".
    void Confirm(const std::wstring& t1, const std::wstring& t2, int run = -1, int hide = -1,
                 int assoc = -1) {
        SetWindowTextW(dialog->Text1, t1.c_str());
        SetWindowTextW(dialog->Text2, t2.c_str());
        for (auto [box, on] :
             {std::pair{dialog->Check1, run}, {dialog->Check2, hide}, {dialog->Check3, assoc}})
            if (on >= 0) Button_SetCheck(box, on ? BST_CHECKED : BST_UNCHECKED);
        test::Press(dialog->Command1);
    }
    bool Ticked(HWND box) const { return Button_GetCheck(box) == BST_CHECKED; }
    std::wstring Stored(const wchar_t* key) const {
        return settings::GetSetting(folder, settings::SectionSettings, key, L"<none>");
    }
    std::wstring Quoted() const { return L"\"" + folder + L"\\" + Exe + L".exe\""; }
    uint16_t Hotkey(HWND box) const { return static_cast<uint16_t>(SendMessageW(box, HKM_GETHOTKEY, 0, 0)); }
    // A new wallpaper position as the user picks it, with the notification the dialog follows.
    void PickPosition(settings::WallpaperPosition position) {
        ComboBox_SetCurSel(dialog->Combo1, static_cast<int>(position));
        SendMessageW(dialog->hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(dialog->Combo1), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(dialog->Combo1));
    }

    // The program's folder, with blanks in it, and its own settings.
    std::wstring folder = L"C:\\Program Files\\Tavolin 测试 " + std::to_wstring(GetCurrentProcessId());
    settings::AppSettings app{7, 4, 0, L""};
    std::unique_ptr<FormOption> dialog;
    int positionChanges = 0;
    std::vector<std::pair<uint16_t, uint16_t>> asked; // the hotkeys the main window was asked to take
    std::wstring refusal;                             // and its answer
    test::MessageBoxes boxes;
    Saved runMachine{HKEY_LOCAL_MACHINE, settings::RunKey, Title};
    Saved runUser{HKEY_CURRENT_USER, settings::RunKey, Title};
    Saved jpg{HKEY_CLASSES_ROOT, L".jpg", L""}, bmp{HKEY_CLASSES_ROOT, L".bmp", L""};
    Saved userJpg{HKEY_CURRENT_USER, L"Software\\Classes\\.jpg", L""};
    Saved userBmp{HKEY_CURRENT_USER, L"Software\\Classes\\.bmp", L""};
    Saved check3{HKEY_CURRENT_USER, settings::StoreKey(Title, settings::SectionAssociation),
                 settings::KeyCheck3};
};

} // namespace

TEST_F(FormOptionTest, OpensWithTheSettingsInItsBoxes) {
    app.HideAtStart = 1;
    HWND h = Open();
    EXPECT_EQ(platform::GetText(h), L"设置－Tavolin");
    EXPECT_EQ(platform::GetText(dialog->Text1), L"7");
    EXPECT_EQ(platform::GetText(dialog->Text2), L"4");
    EXPECT_FALSE(Ticked(dialog->Check1));
    EXPECT_TRUE(Ticked(dialog->Check2));
    EXPECT_FALSE(Ticked(dialog->Check3));
    EXPECT_EQ(SendMessageW(dialog->Text1, EM_GETLIMITTEXT, 0, 0), 5);
    // What assistive programs read: the labels before the boxes, the captions of the others.
    std::pair<HWND, const wchar_t*> names[] = {
        {dialog->Combo1, L"墙纸位置"},
        {dialog->Text1, L"更换墙纸时间间隔"},
        {dialog->Text2, L"循环看图时间间隔"},
        {dialog->Check2, L"运行后隐藏到托盘区"},
        {dialog->Command1, L"确定"},
        {dialog->Combo2, L"多台显示器"},
        {dialog->Check4, L"随机顺序"},
        {dialog->Hotkey1, L"下一张墙纸快捷键"},
        {dialog->Hotkey2, L"上一张墙纸快捷键"},
    };
    for (auto [box, name] : names)
        EXPECT_EQ(test::AccessibleName(box), name);
}

TEST_F(FormOptionTest, BoundsAreAcceptedAndEverythingIsStored) {
    HWND h = Open();
    Confirm(L"86400", L"600", 0, 1, 0);
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_FALSE(IsWindow(h)) << "confirming closes the dialog";
    EXPECT_EQ(app.WallpaperInterval, 86400);
    EXPECT_EQ(app.SlideshowInterval, 600);
    EXPECT_EQ(app.HideAtStart, 1);
    EXPECT_EQ(Stored(settings::KeyWallpaperInterval), L"86400");
    EXPECT_EQ(Stored(settings::KeySlideshowInterval), L"600");
    EXPECT_EQ(Stored(settings::KeyHideAtStart), L"1");
    EXPECT_EQ(settings::GetSetting(Title, settings::SectionAssociation, settings::KeyCheck3, L"<none>"),
              L"0");

    Open();
    Confirm(L" 12 ", L"13.5", -1, 0);
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_EQ(app.WallpaperInterval, 12);
    EXPECT_EQ(app.SlideshowInterval, 14);
    EXPECT_EQ(app.HideAtStart, 0);
    EXPECT_EQ(Stored(settings::KeySlideshowInterval), L"14");
}

TEST_F(FormOptionTest, TheWallpaperPositionIsShownStoredAndAppliedWhenItChanges) {
    Open();
    EXPECT_EQ(platform::GetText(dialog->Combo1), L"居中");
    ComboBox_SetCurSel(dialog->Combo1, 5);
    Confirm(L"5", L"3");
    EXPECT_EQ(app.Position, settings::WallpaperPosition::Span);
    EXPECT_EQ(Stored(settings::KeyWallpaperPosition), L"跨区");
    EXPECT_EQ(positionChanges, 1);
    EXPECT_EQ(settings::LoadAppSettings(folder).Position, settings::WallpaperPosition::Span);

    Open();
    EXPECT_EQ(platform::GetText(dialog->Combo1), L"跨区");
    Confirm(L"6", L"3");
    EXPECT_EQ(positionChanges, 1) << "the same position is not applied again";
}

TEST_F(FormOptionTest, ABadIntervalIsRefusedWithItsMessageAndNothingChanges) {
    const std::wstring wallpaper = L"必须填入大于2,小于86400的数字！",
                       slideshow = L"必须填入大于2,小于600的数字！";
    struct Case {
        const wchar_t *t1, *t2;
        const std::wstring* message;
        bool firstBox;
    } cases[] = {
        {L"2", L"5", &wallpaper, true},       {L"5", L"2", &slideshow, false},
        {L"86401", L"600", &wallpaper, true}, {L"86400", L"601", &slideshow, false},
        {L"abc", L"xyz", &wallpaper, true},   {L"1E99", L"5", &wallpaper, true},
        {L"2.5", L"5", &wallpaper, true},     {L"5", L"", &slideshow, false},
    };
    HWND h = Open();
    for (const Case& c : cases) {
        boxes.Clear();
        Confirm(c.t1, c.t2, 1, 1, 1);
        ASSERT_TRUE(IsWindow(h)) << c.t1 << " / " << c.t2;
        // One box: letters in Text1 leave Text2 unread.
        EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{*c.message}) << c.t1 << " / " << c.t2;
        EXPECT_TRUE(boxes.AllWithErrorIcon());
        EXPECT_EQ(GetFocus(), c.firstBox ? dialog->Text1 : dialog->Text2) << c.t1 << " / " << c.t2;
    }
    EXPECT_EQ(app.WallpaperInterval, 7);
    EXPECT_EQ(app.SlideshowInterval, 4);
    EXPECT_EQ(app.HideAtStart, 0);
    EXPECT_EQ(Stored(settings::KeyWallpaperInterval), L"<none>");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, settings::RunKey, Title), L"<none>");
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, L".jpg"), L"<none>");
}

TEST_F(FormOptionTest, TheMonitorsAndTheAutomaticChangeAreStoredAndShownAgain) {
    using settings::MonitorMode;
    struct Tick {
        HWND FormOption::*box;
        const wchar_t* key;
        bool AppSettings::*field;
    } ticks[] = {
        {&FormOption::Check4, settings::KeyShuffle, &AppSettings::Shuffle},
        {&FormOption::Check5, settings::KeySubfolders, &AppSettings::Subfolders},
        {&FormOption::Check6, settings::KeyPauseFullScreen, &AppSettings::PauseFullScreen},
        {&FormOption::Check7, settings::KeyPauseBattery, &AppSettings::PauseBattery},
        {&FormOption::Check8, settings::KeyPauseLocked, &AppSettings::PauseLocked},
    };
    // Every tick on, the other mode and two chords; then every tick off, the first mode and no keys.
    for (bool on : {true, false}) {
        const MonitorMode mode = on ? MonitorMode::Each : MonitorMode::Same;
        const uint16_t next = on ? MAKEWORD('N', HOTKEYF_CONTROL | HOTKEYF_ALT) : 0,
                       previous = on ? MAKEWORD(VK_LEFT, HOTKEYF_SHIFT | HOTKEYF_EXT) : 0;
        Open();
        ComboBox_SetCurSel(dialog->Combo2, static_cast<int>(mode));
        for (const Tick& t : ticks)
            Button_SetCheck(dialog.get()->*t.box, on ? BST_CHECKED : BST_UNCHECKED);
        SendMessageW(dialog->Hotkey1, HKM_SETHOTKEY, next, 0);
        SendMessageW(dialog->Hotkey2, HKM_SETHOTKEY, previous, 0);
        Confirm(L"5", L"3");
        EXPECT_EQ(asked.back(), std::pair(next, previous)) << "changed hotkeys are taken first";
        EXPECT_EQ(Stored(settings::KeyMonitors), on ? L"每台显示器各一张" : L"同一张图片");
        EXPECT_EQ(Stored(settings::KeyNextHotkey), std::to_wstring(next));
        EXPECT_EQ(Stored(settings::KeyPreviousHotkey), std::to_wstring(previous));
        for (const Tick& t : ticks)
            EXPECT_EQ(Stored(t.key), on ? L"1" : L"0") << t.key;
        AppSettings loaded = settings::LoadAppSettings(folder);
        for (const AppSettings* a : {&app, &loaded}) {
            EXPECT_TRUE(a->Monitors == mode && a->NextHotkey == next && a->PreviousHotkey == previous);
            for (const Tick& t : ticks)
                EXPECT_EQ(a->*t.field, on) << t.key;
        }

        Open();
        EXPECT_EQ(ComboBox_GetCurSel(dialog->Combo2), static_cast<int>(mode));
        for (const Tick& t : ticks)
            EXPECT_EQ(Ticked(dialog.get()->*t.box), on) << t.key;
        EXPECT_EQ(Hotkey(dialog->Hotkey1), next);
        EXPECT_EQ(Hotkey(dialog->Hotkey2), previous);
        Confirm(L"5", L"3");
    }
    EXPECT_EQ(asked.size(), 2u) << "hotkeys left as they were are not taken again";
}

TEST_F(FormOptionTest, TheMonitorsRowIsOffWhileTheWallpaperSpansThem) {
    app.Position = settings::WallpaperPosition::Span;
    app.Monitors = settings::MonitorMode::Each;
    auto enabled = [this] { return !!IsWindowEnabled(dialog->Label6) + !!IsWindowEnabled(dialog->Combo2); };
    Open();
    EXPECT_EQ(enabled(), 0);
    PickPosition(settings::WallpaperPosition::Fill);
    EXPECT_EQ(enabled(), 2);
    ComboBox_SetCurSel(dialog->Combo2, 0);
    PickPosition(settings::WallpaperPosition::Span);
    EXPECT_EQ(enabled(), 0);
    Confirm(L"5", L"3");
    EXPECT_EQ(app.Monitors, settings::MonitorMode::Each) << "kept while the row is off";
    EXPECT_EQ(Stored(settings::KeyMonitors), L"<none>");
}

TEST_F(FormOptionTest, AHotkeyAnotherProgramHoldsIsRefusedAndNothingIsStored) {
    EXPECT_EQ(settings::HotkeyText(MAKEWORD(VK_F5, HOTKEYF_CONTROL | HOTKEYF_SHIFT | HOTKEYF_ALT)),
              L"Ctrl + Shift + Alt + F5");
    const uint16_t chord = MAKEWORD('N', HOTKEYF_CONTROL | HOTKEYF_ALT);
    refusal = settings::HotkeyTakenMessage(chord);
    HWND h = Open();
    SendMessageW(dialog->Hotkey2, HKM_SETHOTKEY, chord, 0);
    Button_SetCheck(dialog->Check4, BST_CHECKED);
    Confirm(L"9", L"8");
    ASSERT_TRUE(IsWindow(h));
    EXPECT_EQ(boxes.Texts(),
              std::vector<std::wstring>{L"快捷键 Ctrl + Alt + N 已被其他程序占用，请换一个。"});
    EXPECT_TRUE(boxes.AllWithErrorIcon());
    EXPECT_EQ(GetFocus(), dialog->Hotkey2);
    EXPECT_TRUE(app.PreviousHotkey == 0 && !app.Shuffle && app.WallpaperInterval == 7);
    for (const wchar_t* key :
         {settings::KeyWallpaperInterval, settings::KeyPreviousHotkey, settings::KeyShuffle})
        EXPECT_EQ(Stored(key), L"<none>") << key;

    refusal.clear(); // the key is free now
    Confirm(L"9", L"8");
    EXPECT_EQ(Stored(settings::KeyPreviousHotkey), std::to_wstring(chord));
}

TEST_F(FormOptionTest, TheRunEntryIsQuotedReadBackAndDeleted) {
    Open();
    Confirm(L"5", L"3", 1);
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, settings::RunKey, Title), Quoted());
    EXPECT_EQ(Read(HKEY_CURRENT_USER, settings::RunKey, Title), L"<none>");
    Open();
    EXPECT_TRUE(Ticked(dialog->Check1));
    dialog.reset();

    // The path as earlier versions wrote it, without quotes, still counts as ours.
    settings::SetRegistryString(HKEY_LOCAL_MACHINE, settings::RunKey, Title, folder + L"\\" + Exe + L".exe");
    Open();
    EXPECT_TRUE(Ticked(dialog->Check1));
    dialog.reset();

    // The program was moved: the entry is another folder's, the box shows clear, and confirming deletes it.
    settings::SetRegistryString(HKEY_LOCAL_MACHINE, settings::RunKey, Title, L"\"D:\\旧\\" + Exe + L".exe\"");
    settings::SetRegistryString(HKEY_CURRENT_USER, settings::RunKey, Title, L"\"D:\\旧\\" + Exe + L".exe\"");
    Open();
    EXPECT_FALSE(Ticked(dialog->Check1));
    Confirm(L"5", L"3");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, settings::RunKey, Title), L"<none>");
    EXPECT_EQ(Read(HKEY_CURRENT_USER, settings::RunKey, Title), L"<none>");
}

TEST_F(FormOptionTest, TheAssociationNamesOurClassAndIsWithdrawnAlone) {
    Open();
    Confirm(L"5", L"3", 0, 0, 1);
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, Exe), Title + L"文件");
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, Exe + L"\\DefaultIcon"), folder + L"\\" + Exe + L".exe,0");
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, Exe + L"\\shell\\play"), L"用 " + Title + L" 打开");
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, Exe + L"\\shell\\play\\command"), Quoted() + L" \"%1\"");
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, L".jpg"), Exe);
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, L".bmp"), Exe);
    EXPECT_EQ(settings::GetSetting(Title, settings::SectionAssociation, settings::KeyCheck3, L""), L"1");
    Open();
    EXPECT_TRUE(Ticked(dialog->Check3));

    // Meanwhile another program took ".bmp": clearing the box gives back ".jpg" only.
    settings::SetRegistryString(HKEY_CLASSES_ROOT, L".bmp", L"", L"Paintbrush.Picture");
    Confirm(L"5", L"3", 0, 0, 0);
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, L".jpg"), L"<none>");
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, L".bmp"), L"Paintbrush.Picture");
    Open();
    EXPECT_FALSE(Ticked(dialog->Check3));
}

TEST_F(FormOptionTest, WithoutRightsToTheMachineKeysTheUsersOwnKeysAreUsed) {
    GoneKey machine, classes;
    SystemKeys locked{machine.get(), classes.get()};
    ASSERT_FALSE(settings::SetRegistryString(machine.get(), settings::RunKey, Title, L"x"));

    Open(locked);
    Confirm(L"5", L"3", 1, 0, 1);
    EXPECT_EQ(Read(HKEY_CURRENT_USER, settings::RunKey, Title), Quoted());
    const std::wstring user = UserClasses;
    EXPECT_EQ(Read(HKEY_CURRENT_USER, user + Exe), Title + L"文件");
    EXPECT_EQ(Read(HKEY_CURRENT_USER, user + Exe + L"\\shell\\play\\command"), Quoted() + L" \"%1\"");
    EXPECT_EQ(Read(HKEY_CURRENT_USER, user + L".jpg"), Exe);
    EXPECT_EQ(Read(HKEY_CURRENT_USER, user + L".bmp"), Exe);
    Open(locked);
    EXPECT_TRUE(Ticked(dialog->Check1)) << "the user's own Run entry is read back";

    // Once the machine's keys can be written again, they are used, and the user's copy is kept current.
    Confirm(L"5", L"3", 1, 0, 1);
    Open();
    Confirm(L"5", L"3", 1, 0, 1);
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, settings::RunKey, Title), Quoted());
    EXPECT_EQ(Read(HKEY_CURRENT_USER, settings::RunKey, Title), L"<none>") << "one entry, one start";
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, L".jpg"), Exe);
    EXPECT_EQ(Read(HKEY_CURRENT_USER, user + L".jpg"), Exe);

    Open(locked);
    Confirm(L"5", L"3", 0, 0, 0);
    EXPECT_EQ(Read(HKEY_CURRENT_USER, settings::RunKey, Title), L"<none>");
    EXPECT_EQ(Read(HKEY_CURRENT_USER, user + L".jpg"), L"<none>");
    EXPECT_EQ(Read(HKEY_CURRENT_USER, user + L".bmp"), L"<none>");
}

TEST_F(FormOptionTest, LaidOutAsDesignedWithNothingCutOffOrOverlapping) {
    HWND h = Open();
    UINT dpi = platform::DpiOf(h);
    auto px = [dpi](int twips) { return platform::Twips(twips, dpi); };
    RECT client;
    GetClientRect(h, &client);
    EXPECT_NEAR(client.right, px(9780), 1);
    const int row = 360; // the wallpaper position's row, above the rest
    EXPECT_NEAR(client.bottom, px(6255), 1);
    RECT frame, work;
    GetWindowRect(h, &frame);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(frame.left + frame.right, work.left + work.right, 2) << "centred";
    EXPECT_NEAR(frame.top + frame.bottom, work.top + work.bottom, 2);

    struct Designed {
        HWND control;
        int left, top, width, height;
        bool check;
    } places[] = {
        {dialog->Label5, 90, 240, 1620, 180, false},
        {dialog->Combo1, 1680, 195, 1140, 270, false},
        {dialog->Label1, 90, row + 240, 1620, 180, false},
        {dialog->Text1, 1680, row + 195, 630, 270, false},
        {dialog->Label2, 2370, row + 240, 2070, 180, false},
        {dialog->Label4, 105, row + 600, 1620, 180, false},
        {dialog->Text2, 1695, row + 555, 630, 270, false},
        {dialog->Label3, 2385, row + 600, 2070, 180, false},
        {dialog->Check1, 105, row + 945, 4125, 225, true},
        {dialog->Check2, 105, row + 1245, 3060, 225, true},
        {dialog->Check3, 105, row + 1545, 4500, 180, true},
        {dialog->Command1, 3870, 5745, 2040, 345, false},
    };
    HDC dc = GetDC(h);
    for (const Designed& d : places) {
        std::wstring text = platform::GetText(d.control);
        RECT r;
        GetWindowRect(d.control, &r);
        MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&r), 2);
        // At its designed place; only grown, about its middle, where the font needs it.
        EXPECT_EQ(r.left, px(d.left)) << text;
        EXPECT_GE(r.right - r.left, px(d.width)) << text;
        EXPECT_NEAR(r.top + r.bottom, 2 * px(d.top) + px(d.height), 1) << text;
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom)
            << text;

        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(d.control, WM_GETFONT, 0, 0)));
        TEXTMETRICW tm;
        GetTextMetricsW(dc, &tm);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        int room = r.right - r.left - (d.check ? GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi) : 0);
        EXPECT_GE(room, size.cx) << text;
        EXPECT_GE(r.bottom - r.top, tm.tmHeight) << text;
    }

    // The rows added below them: clear of every other control, inside the group's frame below its caption
    // or clear of it, and with room for their captions.
    auto placeOf = [h](HWND control) {
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    // Each control inside a group box lies within it, below its caption.
    auto isGroup = [](HWND c) { return (GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX; };
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)));
    TEXTMETRICW tm;
    GetTextMetricsW(dc, &tm);
    for (HWND c = dialog->Label6; c != dialog->Command1; c = GetWindow(c, GW_HWNDNEXT)) {
        const std::wstring text = platform::GetText(c);
        RECT r = placeOf(c), both;
        for (HWND d = GetWindow(h, GW_CHILD); d && !isGroup(c); d = GetWindow(d, GW_HWNDNEXT)) {
            RECT q = placeOf(d);
            const bool inside = q.left < r.left && r.right < q.right && r.top >= q.top + tm.tmHeight &&
                                r.bottom < q.bottom;
            EXPECT_TRUE(d == c || (isGroup(d) ? inside : false) || !IntersectRect(&both, &r, &q))
                << text << " / " << platform::GetText(d);
        }
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        const bool check = (GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
        const bool value = c == dialog->Combo2 || c == dialog->Hotkey1 || c == dialog->Hotkey2 ||
                           c == dialog->Combo3 || c == dialog->Combo4 || c == dialog->Text3 || c == dialog->Text4 ||
                           c == dialog->Text5; // no caption of their own
        EXPECT_GE(r.right - r.left - (check ? GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi) : 0),
                  value ? 0 : size.cx)
            << text;
        EXPECT_GE(r.bottom - r.top, tm.tmHeight) << text;
    }
    ReleaseDC(h, dc);
}

TEST_F(FormOptionTest, TheTimeOfDayTheDailyPictureAndFavouritesAreStoredAndBadPlacesRefused) {
    Open();
    auto pick = [&](HWND combo, const wchar_t* item) {
        ComboBox_SelectString(combo, -1, item);
        SendMessageW(dialog->hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
    };
    // Greyed until "按日出日落"; a city fills the boxes, which only "自定义" lets the user type in.
    EXPECT_FALSE(IsWindowEnabled(dialog->Combo4) || IsWindowEnabled(dialog->Check10));
    EXPECT_FALSE(IsWindowEnabled(dialog->Check12)) << "greyed while the daily picture is off";
    pick(dialog->Combo3, L"按日出日落");
    pick(dialog->Combo4, L"乌鲁木齐");
    EXPECT_TRUE(IsWindowEnabled(dialog->Combo4) && !IsWindowEnabled(dialog->Text3));
    EXPECT_EQ(platform::GetText(dialog->Text3), L"43.83");
    EXPECT_EQ(platform::GetText(dialog->Label14).substr(0, 2), L"今天");
    pick(dialog->Combo4, L"自定义");
    EXPECT_TRUE(IsWindowEnabled(dialog->Text3) && IsWindowEnabled(dialog->Text4));
    struct Bad {
        const wchar_t *latitude, *longitude, *keep, *message;
    } bad[] = {
        {L"91", L"0", L"30", settings::LatitudeMessage},
        {L"北纬", L"0", L"30", settings::LatitudeMessage},
        {L"0", L"-180.5", L"30", settings::LongitudeMessage},
        {L"0", L"0", L"0", settings::DailyKeepMessage},
        {L"0", L"0", L"366", settings::DailyKeepMessage},
    };
    for (const Bad& b : bad) {
        boxes.Clear();
        SetWindowTextW(dialog->Text3, b.latitude);
        SetWindowTextW(dialog->Text4, b.longitude);
        SetWindowTextW(dialog->Text5, b.keep);
        test::Press(dialog->Command1);
        EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{b.message}) << b.latitude << b.longitude << b.keep;
        EXPECT_TRUE(IsWindow(dialog->hwnd()));
        EXPECT_EQ(Stored(settings::KeyTimeMode), L"<none>");
    }
    SetWindowTextW(dialog->Text3, L"-33.8688");
    SetWindowTextW(dialog->Text4, L"151.2093");
    SetWindowTextW(dialog->Text5, L"7");
    for (HWND box : {dialog->Check9, dialog->Check10, dialog->Check11})
        Button_SetCheck(box, BST_CHECKED);
    Confirm(L"5", L"3");
    for (auto [key, value] : {std::pair{settings::KeyTimeMode, L"按日出日落"}, {settings::KeyCity, L"自定义"},
                              {settings::KeyLatitude, L"-33.8688"}, {settings::KeyLongitude, L"151.2093"},
                              {settings::KeyFavouritesOnly, L"1"}, {settings::KeySwitchSystemMode, L"1"},
                              {settings::KeyDaily, L"1"}, {settings::KeyDailySetWallpaper, L"1"},
                              {settings::KeyDailyKeep, L"7"}})
        EXPECT_EQ(Stored(key), value) << key;
    AppSettings loaded = settings::LoadAppSettings(folder);
    EXPECT_TRUE(loaded.Time == settings::TimeMode::Sun && loaded.City == L"自定义" && loaded.Latitude == -33.8688 &&
                loaded.FavouritesOnly && loaded.Daily && loaded.DailyKeep == 7);
    Open();
    EXPECT_EQ(platform::GetText(dialog->Combo4), L"自定义");
    EXPECT_EQ(platform::GetText(dialog->Text4), L"151.2093");
    EXPECT_TRUE(IsWindowEnabled(dialog->Check12));
    Confirm(L"5", L"3");
}
