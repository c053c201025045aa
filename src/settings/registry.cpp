#include "settings/registry.h"

#include "settings/path_text.h"
#include "settings/setting_text.h"

#include <vector>

namespace settings {

using platform::UniqueKey;

std::wstring GetRegistryString(HKEY root, const std::wstring& subkey, const std::wstring& name,
                               const std::wstring& fallback) {
    UniqueKey key;
    if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return fallback;
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        type != REG_SZ)
        return fallback;
    std::vector<wchar_t> buf(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return fallback;
    return std::wstring(buf.data()); // up to the first NUL
}

bool SetRegistryString(HKEY root, const std::wstring& subkey, const std::wstring& name,
                       const std::wstring& text) {
    UniqueKey key;
    if (RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS)
        return false;
    return RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool DeleteRegistryValue(HKEY root, const std::wstring& subkey, const std::wstring& name) {
    UniqueKey key;
    LONG r = RegOpenKeyExW(root, subkey.c_str(), 0, KEY_SET_VALUE, key.put());
    if (r == ERROR_FILE_NOT_FOUND) return true;
    if (r != ERROR_SUCCESS) return false;
    r = RegDeleteValueW(key.get(), name.c_str());
    return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
}

LONG WriteOpenKeyValue(HKEY key, const std::wstring& name, DWORD type, const std::wstring& value) {
    switch (type) {
    case REG_SZ:
        return RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    case REG_BINARY:
    case REG_DWORD: {
        int32_t number = ParseStoredInt32(value, 0);
        return RegSetValueExW(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(&number), 4);
    }
    default:
        return 0;
    }
}

void SetRegistryValue(const std::wstring& subkey, const std::wstring& name, const std::wstring& value,
                      DWORD type, HKEY root) {
    UniqueKey key;
    if (RegOpenKeyExW(root, subkey.c_str(), 0, 0x2003F, key.put()) != ERROR_SUCCESS) return;
    WriteOpenKeyValue(key.get(), name, type, value);
}

bool FileCanBeOpened(const std::wstring& pathOrAddress) {
    std::wstring path = LocalPathOf(pathOrAddress);
    if (path.empty()) return false;
    platform::UniqueHandle file(CreateFileW(platform::LongPath(path).c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

} // namespace settings
