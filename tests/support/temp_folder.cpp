#include "tests/support/temp_folder.h"

#include <fstream>

namespace test {

TempFolder::TempFolder(const std::wstring& prefix) {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static int counter = 0;
    path_ = std::wstring(base) + prefix + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter) + L"-" + std::to_wstring(GetTickCount64() % 100000);
    CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
    RemoveTree(path_);
}

void TempFolder::Write(const std::wstring& file, const std::string& bytes) {
    HANDLE h = CreateFileW(platform::LongPath(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(platform::LongPath(folder + L"\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = folder + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                SetFileAttributesW(platform::LongPath(full).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(platform::LongPath(full).c_str());
            }
        } while (FindNextFileW(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryW(platform::LongPath(folder).c_str());
}

} // namespace test
