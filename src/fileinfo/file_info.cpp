#include "fileinfo/file_info.h"

#include "fileinfo/shell_types.h"

#include <shellapi.h>

namespace fileinfo {
namespace {

// One entry looked up by its exact path. A path ending in "\" or holding a wildcard names no entry.
bool FindExact(const std::wstring& path, WIN32_FIND_DATAW* found) {
    if (path.empty() || path.back() == L'\\' || path.find_first_of(L"*?") != std::wstring::npos) return false;
    platform::UniqueFind find(FindFirstFileExW(ExtendedLengthPath(path).c_str(), FindExInfoStandard, found,
                                               FindExSearchNameMatch, nullptr, 0));
    return static_cast<bool>(find);
}

std::wstring UpperCase(std::wstring s) {
    if (!s.empty()) CharUpperBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

// The result of a call on an extended-length path, in the form the caller gave.
std::wstring WithoutExtendedPrefix(std::wstring s, const std::wstring& given) {
    if (given.starts_with(L"\\\\?\\")) return s;
    if (s.starts_with(L"\\\\?\\UNC\\")) return L"\\\\" + s.substr(8);
    if (s.starts_with(L"\\\\?\\")) return s.substr(4);
    return s;
}

} // namespace

void CFileInfo::SetFullPathName(const std::wstring& path) {
    DWORD need = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (!need) return;
    std::wstring full(need, L'\0');
    DWORD n = GetFullPathNameW(path.c_str(), need, full.data(), nullptr);
    if (!n || n >= need) return;
    full.resize(n);
    FullPathName_ = full;
    Refresh();
}

int64_t CFileInfo::Size() const {
    return static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(FileSizeHigh_)) << 32) |
                                static_cast<uint32_t>(FileSize_));
}

void CFileInfo::Refresh() {
    WIN32_FIND_DATAW found{};
    if (!FindExact(FullPathName_, &found)) {
        FileExists_ = false;
        return;
    }
    FileSizeHigh_ = static_cast<int32_t>(found.nFileSizeHigh);
    Attributes_ = found.dwFileAttributes;
    FileSize_ = static_cast<int32_t>(found.nFileSizeLow);
    FileExists_ = PathExists_ = true;
    CreationTime_ = FileTimeToLocalDate(found.ftCreationTime);
    LastAccessTime_ = FileTimeToLocalDate(found.ftLastAccessTime);
    ModifyTime_ = FileTimeToLocalDate(found.ftLastWriteTime);
    FileName_ = TrimNull(std::wstring_view(found.cFileName, MAX_PATH));

    size_t slash = FullPathName_.rfind(L'\\');
    if (slash != std::wstring::npos) {
        std::wstring given = FullPathName_.substr(0, slash + 1);
        // A folder part that cannot be read back (no right to list a parent) stays as it was given.
        std::wstring stored = LongFolderPath(given);
        FilePath_ = stored.empty() ? given : stored;
        if (FilePath_.back() != L'\\') FilePath_ += L'\\';
    }
    FullPathName_ = FilePath_ + FileName_;
    FileExtension_ = fileinfo::FileExtension(FileName_);
    ShortName_ = found.cAlternateFileName[0] ? TrimNull(std::wstring_view(found.cAlternateFileName, 14))
                                             : UpperCase(FileName_);

    const std::wstring apiPath = ExtendedLengthPath(FullPathName_);
    if (DWORD need = GetShortPathNameW(apiPath.c_str(), nullptr, 0)) {
        std::wstring shortPath(need, L'\0');
        DWORD n = GetShortPathNameW(apiPath.c_str(), shortPath.data(), need);
        if (n && n < need) {
            shortPath.resize(n);
            ShortPathName_ = WithoutExtendedPrefix(shortPath, FullPathName_);
            ShortPath_ = ShortPathName_.substr(0, ShortPathName_.size() -
                                                      std::min(ShortName_.size(), ShortPathName_.size()));
        }
    }
    DWORD high = 0;
    DWORD low = GetCompressedFileSizeW(apiPath.c_str(), &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) low = high = 0;
    CompressedFileSize_ = static_cast<int32_t>(low);
    CompressedFileSizeHigh_ = static_cast<int32_t>(high);

    hIcon_.reset();
    SHFILEINFOW sfi{};
    SHGetFileInfoW(FullPathName_.c_str(), 0, &sfi, sizeof sfi,
                   SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME);
    DisplayName_ = TrimNull(std::wstring_view(sfi.szDisplayName, MAX_PATH));
    std::wstring type = TrimNull(std::wstring_view(sfi.szTypeName, 80));
    hIcon_.reset(sfi.hIcon);
    if (Attributes_ & FILE_ATTRIBUTE_DIRECTORY)
        TypeName_ = FolderTypeName(type, PlainFolderTypeName());
    else
        TypeName_ =
            type.find_first_not_of(L' ') == std::wstring::npos ? FallbackTypeName(FileExtension_) : type;
}

std::wstring CFileInfo::LongFolderPath(const std::wstring& path) {
    return fileinfo::LongFolderPath(path, [](const std::wstring& p) -> std::optional<std::wstring> {
        WIN32_FIND_DATAW found{};
        if (!FindExact(p, &found) || !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return std::nullopt;
        return std::wstring(found.cFileName, MAX_PATH);
    });
}

DateTime CFileInfo::FileTimeToLocalDate(const FILETIME& utc) {
    FILETIME local{};
    SYSTEMTIME st{};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) return {};
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

bool CFileInfo::LocalDateToFileTime(const DateTime& t, FILETIME* utc) {
    // Day of week from Sunday = 0 (Sakamoto's method); the conversion checks the rest.
    static constexpr int offset[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    int y = t.year - (t.month < 3);
    int dow =
        t.month >= 1 && t.month <= 12 ? (y + y / 4 - y / 100 + y / 400 + offset[t.month - 1] + t.day) % 7 : 0;
    SYSTEMTIME st{static_cast<WORD>(t.year),   static_cast<WORD>(t.month),
                  static_cast<WORD>(dow),      static_cast<WORD>(t.day),
                  static_cast<WORD>(t.hour),   static_cast<WORD>(t.minute),
                  static_cast<WORD>(t.second), 0};
    FILETIME local{};
    return SystemTimeToFileTime(&st, &local) && LocalFileTimeToFileTime(&local, utc);
}

bool CFileInfo::WriteTime(Stamp which, const DateTime& t) {
    FILETIME ft{};
    if (!FileExists_ || !LocalDateToFileTime(t, &ft)) return false;
    platform::UniqueHandle file(CreateFileW(ExtendedLengthPath(FullPathName_).c_str(),
                                            GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return false;
    bool written =
        SetFileTime(file.get(), which == Stamp::Creation ? &ft : nullptr,
                    which == Stamp::LastAccess ? &ft : nullptr, which == Stamp::LastWrite ? &ft : nullptr);
    file.reset();
    if (written) Refresh();
    return written;
}

bool CFileInfo::SetCreationTime(const DateTime& t) {
    return WriteTime(Stamp::Creation, t);
}
bool CFileInfo::SetLastAccessTime(const DateTime& t) {
    return WriteTime(Stamp::LastAccess, t);
}
bool CFileInfo::SetModifyTime(const DateTime& t) {
    return WriteTime(Stamp::LastWrite, t);
}

void CFileInfo::SetAttributes(DWORD mask) {
    if (mask == Attributes_ || !FileExists_) return;
    // Only these bits can be written; the others (folder, compressed, …) describe the entry.
    constexpr DWORD settable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                               FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                               FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    DWORD written = mask & settable;
    if (!SetFileAttributesW(ExtendedLengthPath(FullPathName_).c_str(),
                            written ? written : FILE_ATTRIBUTE_NORMAL))
        return;
    Refresh();
}

void CFileInfo::SetAttributeBit(DWORD bit, bool on) {
    SetAttributes(on ? Attributes_ | bit : Attributes_ & ~bit);
}

} // namespace fileinfo
