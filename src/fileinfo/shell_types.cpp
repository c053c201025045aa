#include "fileinfo/shell_types.h"

#include "fileinfo/file_text.h"

#include <shellapi.h>

namespace fileinfo {
namespace {

std::wstring ShellTypeName(const std::wstring& path, DWORD attributes, UINT flags) {
    SHFILEINFOW sfi{};
    if (!SHGetFileInfoW(path.c_str(), attributes, &sfi, sizeof sfi, SHGFI_TYPENAME | flags)) return L"";
    return TrimNull(std::wstring_view(sfi.szTypeName, 80));
}

} // namespace

const std::wstring& PlainFolderTypeName() {
    static const std::wstring name =
        ShellTypeName(L"folder", FILE_ATTRIBUTE_DIRECTORY, SHGFI_USEFILEATTRIBUTES);
    return name;
}

const std::wstring& TypeNames::ForFile(const std::wstring& fileName) {
    std::wstring extension = FileExtension(fileName);
    if (!extension.empty()) CharLowerBuffW(extension.data(), static_cast<DWORD>(extension.size()));
    auto [it, added] = byExtension_.try_emplace(extension);
    if (added) {
        std::wstring type = ShellTypeName(extension.empty() ? L"file" : L"file." + extension,
                                          FILE_ATTRIBUTE_NORMAL, SHGFI_USEFILEATTRIBUTES);
        it->second = type.find_first_not_of(L' ') == std::wstring::npos
                         ? FallbackTypeName(FileExtension(fileName))
                         : type;
    }
    return it->second;
}

std::wstring TypeNames::ForFolder(const std::wstring& path, bool mayBeCustomised) {
    // The shell takes no path beyond 260 characters; such a folder is an ordinary one to it.
    if (!mayBeCustomised || path.size() >= MAX_PATH) return FolderTypeText;
    return FolderTypeName(ShellTypeName(path, 0, 0), PlainFolderTypeName());
}

} // namespace fileinfo
