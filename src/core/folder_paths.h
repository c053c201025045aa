// The special folders resolved once at start-up; no Windows headers here.
#pragma once
#include <string>

namespace core {

struct FolderPaths {
    std::wstring Desktop;      // "桌面"
    std::wstring Windows;      // "Windows目录"
    std::wstring System;       // "系统目录"
    std::wstring Temp;         // "系统缓存"
    std::wstring BrowserCache; // "浏览器缓存"
    std::wstring Documents;    // "我的文档"
};

} // namespace core
