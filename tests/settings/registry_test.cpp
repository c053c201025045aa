// Registry and path operations against Wine's real registry and real files.
#include "settings/registry.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

using namespace settings;

namespace {

// A key under HKCU that exists only for one test.
struct ScratchKey {
    std::wstring path = L"Software\\TavolinTest\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                        std::to_wstring(GetTickCount64());
    ScratchKey() {
        HKEY k;
        RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
        RegCloseKey(k);
    }
    ~ScratchKey() {
        RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str()), RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
    }
    void Raw(const wchar_t* name, DWORD type, const void* data, DWORD bytes) const {
        HKEY k;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, &k), ERROR_SUCCESS);
        RegSetValueExW(k, name, 0, type, static_cast<const BYTE*>(data), bytes);
        RegCloseKey(k);
    }
    DWORD Type(const wchar_t* name, std::vector<BYTE>* data = nullptr) const {
        DWORD type = 0, bytes = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr,
                         &bytes) != ERROR_SUCCESS)
            return REG_NONE;
        if (data) {
            data->resize(bytes);
            RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type,
                         data->data(), &bytes);
        }
        return type;
    }
};

bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY k;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

} // namespace

TEST(GetRegistryString, OnlyATextValueIsRead) {
    ScratchKey key;
    ASSERT_TRUE(SetRegistryString(HKEY_CURRENT_USER, key.path, L"桌面", L"C:\\用户\\桌面"));
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, key.path, L"桌面"), L"C:\\用户\\桌面");

    const wchar_t expand[] = L"%SystemRoot%\\x";
    key.Raw(L"expand", REG_EXPAND_SZ, expand, sizeof expand);
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, key.path, L"expand", L"fallback"), L"fallback");
    DWORD number = 7;
    key.Raw(L"number", REG_DWORD, &number, 4);
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, key.path, L"number"), L"");

    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, key.path, L"missing", L"d"), L"d");
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, key.path + L"\\no\\such", L"x", L"d"), L"d");

    // The text ends at its first NUL; an unterminated value is read whole.
    const wchar_t twoParts[] = L"first\0second";
    key.Raw(L"nul", REG_SZ, twoParts, sizeof twoParts);
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, key.path, L"nul"), L"first");
    const wchar_t open[] = {L'a', L'b', L'c'};
    key.Raw(L"open", REG_SZ, open, sizeof open);
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, key.path, L"open"), L"abc");
}

TEST(SetRegistryString, CreatesNestedKeysAndDeleteRemovesTheValue) {
    ScratchKey key;
    std::wstring nested = key.path + L"\\a\\b";
    ASSERT_TRUE(SetRegistryString(HKEY_CURRENT_USER, nested, L"v", L"1"));
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, nested, L"v"), L"1");
    EXPECT_TRUE(DeleteRegistryValue(HKEY_CURRENT_USER, nested, L"v"));
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, nested, L"v", L"gone"), L"gone");
    // Deleting what is not there is no failure.
    EXPECT_TRUE(DeleteRegistryValue(HKEY_CURRENT_USER, nested, L"v"));
    EXPECT_TRUE(DeleteRegistryValue(HKEY_CURRENT_USER, key.path + L"\\none", L"v"));
}

TEST(SetRegistryValue, WritesOnlyIntoAnExistingKey) {
    ScratchKey key;
    SetRegistryValue(key.path + L"\\missing", L"Wallpaper", L"x", REG_SZ, HKEY_CURRENT_USER);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, key.path + L"\\missing"));

    SetRegistryValue(key.path, L"Wallpaper", L"C:\\Windows\\Vesmar.bmp", REG_SZ, HKEY_CURRENT_USER);
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, key.path, L"Wallpaper"), L"C:\\Windows\\Vesmar.bmp");

    std::vector<BYTE> data;
    SetRegistryValue(key.path, L"n", L"1234", REG_DWORD, HKEY_CURRENT_USER);
    ASSERT_EQ(key.Type(L"n", &data), static_cast<DWORD>(REG_DWORD));
    ASSERT_EQ(data.size(), 4u);
    EXPECT_EQ(*reinterpret_cast<DWORD*>(data.data()), 1234u);

    SetRegistryValue(key.path, L"e", L"%TEMP%", REG_EXPAND_SZ, HKEY_CURRENT_USER);
    EXPECT_EQ(key.Type(L"e"), static_cast<DWORD>(REG_NONE));
}

TEST(FileCanBeOpened, LocalPathsAndFileAddresses) {
    test::TempFolder dir;
    std::wstring folder = dir.path() + L"\\my pics";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    std::wstring file = folder + L"\\sea shore.jpg";
    dir.Write(file, "data");

    EXPECT_TRUE(FileCanBeOpened(file));
    std::wstring address = L"FILE:///" + file;
    for (auto& c : address)
        c = c == L'\\' ? L'/' : c;
    for (size_t p; (p = address.find(L' ')) != std::wstring::npos;)
        address.replace(p, 1, L"%20");
    EXPECT_TRUE(FileCanBeOpened(address)) << address;

    EXPECT_FALSE(FileCanBeOpened(folder + L"\\missing.jpg"));
    EXPECT_FALSE(FileCanBeOpened(folder)); // a folder is not a file
    EXPECT_FALSE(FileCanBeOpened(L""));
}
