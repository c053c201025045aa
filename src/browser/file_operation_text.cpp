#include "browser/file_operation_text.h"

namespace browser {

std::wstring ReasonText(const Failure& f) {
    switch (f.reason) {
    case FailureReason::Exists:
        return L"目标文件夹中已有同名的文件或文件夹";
    case FailureReason::SamePlace:
        return L"源和目标是同一位置";
    case FailureReason::IntoItself:
        return L"不能把文件夹放进它自己或它的子文件夹";
    case FailureReason::ReadOnly:
        return L"只读，未改动";
    case FailureReason::InUse:
        return L"正被其他程序使用";
    case FailureReason::AccessDenied:
        return L"没有权限";
    case FailureReason::NotFound:
        return L"找不到该文件或文件夹";
    case FailureReason::DiskFull:
        return L"磁盘空间不足";
    case FailureReason::Link:
        return L"是链接的文件夹，未处理";
    case FailureReason::Cancelled:
        return L"已取消";
    case FailureReason::Other:
        break;
    }
    return f.detail.empty() ? L"未知错误" : f.detail;
}

std::wstring FailureReport(FileOperation operation, const std::vector<Failure>& failures, size_t shown) {
    if (failures.empty()) return {};
    const wchar_t* verb = operation == FileOperation::Copy   ? L"复制"
                          : operation == FileOperation::Move ? L"移动"
                                                             : L"删除";
    std::wstring text =
        std::wstring(L"以下 ") + std::to_wstring(failures.size()) + L" 项未能" + verb + L"：";
    for (size_t i = 0; i < failures.size() && i < shown; ++i)
        text += L"\r\n\r\n" + failures[i].path + L"\r\n    " + ReasonText(failures[i]);
    if (failures.size() > shown)
        text += L"\r\n\r\n……另有 " + std::to_wstring(failures.size() - shown) + L" 项";
    return text;
}

std::wstring EntryName(const std::wstring& path) {
    size_t end = path.size();
    while (end > 0 && path[end - 1] == L'\\')
        --end;
    size_t start = path.rfind(L'\\', end ? end - 1 : 0);
    start = start == std::wstring::npos || start >= end ? 0 : start + 1;
    return path.substr(start, end - start);
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty()) return name;
    return folder.back() == L'\\' ? folder + name : folder + L"\\" + name;
}

} // namespace browser
