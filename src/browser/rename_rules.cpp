#include "browser/rename_rules.h"

#include <cwctype>

namespace browser {
namespace {

std::wstring Upper(std::wstring s) {
    for (wchar_t& c : s)
        c = static_cast<wchar_t>(std::towupper(c));
    return s;
}

bool ReservedDeviceName(const std::wstring& name) {
    // "CON", "con.txt" and "Con .txt" all name the device.
    std::wstring base = Upper(name.substr(0, name.find(L'.')));
    while (!base.empty() && base.back() == L' ')
        base.pop_back();
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL"})
        if (base == device) return true;
    return base.size() == 4 && (base.starts_with(L"COM") || base.starts_with(L"LPT")) && base[3] >= L'1' &&
           base[3] <= L'9';
}

size_t ExtensionStart(const std::wstring& name) {
    size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos || dot == 0 ? name.size() : dot;
}

} // namespace

std::wstring RenameRefusal(const std::wstring& name) {
    if (name.empty()) return L"文件名不能为空。";
    for (wchar_t c : name)
        if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos)
            return L"文件名不能包含下列任何字符：\\ / : * ? \" < > | 和控制字符。";
    if (name.back() == L'.' || name.back() == L' ') return L"文件名不能以句点或空格结尾。";
    if (ReservedDeviceName(name)) return L"“" + name + L"”是系统保留的设备名，不能用作文件名。";
    return {};
}

size_t RenameStemLength(const std::wstring& name, bool folder) {
    return folder ? name.size() : ExtensionStart(name);
}

std::wstring CopyName(const std::wstring& name, bool folder,
                      const std::function<bool(const std::wstring&)>& taken) {
    size_t stem = RenameStemLength(name, folder);
    std::wstring base = name.substr(0, stem) + L" - 副本", extension = name.substr(stem);
    std::wstring candidate = base + extension;
    for (int n = 2; taken(candidate); ++n)
        candidate = base + L" (" + std::to_wstring(n) + L")" + extension;
    return candidate;
}

std::wstring DriveOf(const std::wstring& path) {
    if (path.size() >= 2 && path[1] == L':') return Upper(path.substr(0, 2));
    if (!path.starts_with(L"\\\\")) return {};
    size_t server = path.find(L'\\', 2);
    if (server == std::wstring::npos) return Upper(path);
    size_t share = path.find(L'\\', server + 1);
    return Upper(path.substr(0, share));
}

DropAction ChooseDropAction(const std::wstring& source, const std::wstring& folder, bool ctrl, bool shift,
                            bool canCopy, bool canMove) {
    if (ctrl && shift) return DropAction::None; // a shortcut, which the list does not make
    if (ctrl) return canCopy ? DropAction::Copy : DropAction::None;
    if (shift) return canMove ? DropAction::Move : DropAction::None;
    bool sameDrive = !DriveOf(source).empty() && DriveOf(source) == DriveOf(folder);
    if (sameDrive && canMove) return DropAction::Move;
    if (canCopy) return DropAction::Copy;
    return canMove ? DropAction::Move : DropAction::None;
}

} // namespace browser
