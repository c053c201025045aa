#include "platform/whole_file.h"

#include "platform/temporary_name.h"

#include <cstdint>

namespace platform {
namespace {

// Temporary files that an interrupted write left beside the file.
void RemoveStaleTemporaryFiles(const std::wstring& path) {
    size_t slash = path.rfind(L'\\');
    std::wstring folder = slash == std::wstring::npos ? L"" : path.substr(0, slash + 1);
    std::wstring name = path.substr(slash == std::wstring::npos ? 0 : slash + 1);
    WIN32_FIND_DATAW fd;
    UniqueFind find(FindFirstFileExW(LongPath(path + L".*.tmp").c_str(), FindExInfoBasic, &fd,
                                     FindExSearchNameMatch, nullptr, 0));
    if (!find) return;
    do {
        // A file another copy of the program is writing cannot be deleted; it goes another time.
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            platform::IsTemporaryName(fd.cFileName, name))
            DeleteFileW(LongPath(folder + fd.cFileName).c_str());
    } while (FindNextFileW(find.get(), &fd));
}

} // namespace

DWORD WriteWholeFile(const std::wstring& path, const std::function<DWORD(HANDLE file)>& write) {
    std::wstring temp;
    UniqueHandle file;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        static uint32_t count = 0;
        temp = platform::TemporaryPath(path, GetCurrentProcessId(), ++count);
        file.reset(CreateFileW(LongPath(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (!file) return GetLastError();
    DWORD error = write(file.get());
    file.reset();
    // Another program reading the old file (the desktop, a virus scanner, a viewer) holds it for a
    // moment: the replace is tried again for about a second before it counts as failed.
    for (int attempt = 0; !error; ++attempt) {
        if (MoveFileExW(LongPath(temp).c_str(), LongPath(path).c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            RemoveStaleTemporaryFiles(path);
            return 0;
        }
        error = GetLastError();
        const bool held =
            error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
        if (!held || attempt == 20) break;
        error = 0;
        Sleep(50);
    }
    DeleteFileW(LongPath(temp).c_str());
    return error;
}

DWORD WriteWholeText(const std::wstring& path, const std::wstring& text) {
    std::string bytes(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                              nullptr, 0, nullptr, nullptr)),
                      '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        static_cast<int>(bytes.size()), nullptr, nullptr);
    return WriteWholeFile(path, [&](HANDLE file) -> DWORD {
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
            return GetLastError();
        return FlushFileBuffers(file) ? ERROR_SUCCESS : GetLastError();
    });
}

std::optional<std::wstring> ReadWholeText(const std::wstring& path) {
    UniqueHandle file(CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > (16 << 20)) return std::nullopt;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read != bytes.size())
        return std::nullopt;
    std::wstring text(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(read),
                                                              nullptr, 0)),
                      L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(read), text.data(),
                        static_cast<int>(text.size()));
    return text;
}

std::wstring ErrorText(DWORD code) {
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring s = n ? std::wstring(text, n) : L"";
    LocalFree(text);
    while (!s.empty() && (s.back() == L'\n' || s.back() == L'\r' || s.back() == L' '))
        s.pop_back();
    wchar_t number[32];
    swprintf(number, 32, L"（错误代码 0x%08lX）", static_cast<unsigned long>(code));
    return s + number;
}

} // namespace platform
