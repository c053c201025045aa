// A folder under the temporary folder that lives for one test and is removed with everything in it.
#pragma once
#include "platform/win.h"

#include <string>

namespace test {

class TempFolder {
  public:
    explicit TempFolder(const std::wstring& prefix = L"tavolin");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& path() const { return path_; }
    // Writes `bytes` to the file (a path inside or outside the folder).
    static void Write(const std::wstring& file, const std::string& bytes);

  private:
    std::wstring path_;
};

void RemoveTree(const std::wstring& folder);

} // namespace test
