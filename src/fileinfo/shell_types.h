// The shell's type names, asked once per kind of entry rather than once per entry.
#pragma once
#include "platform/win.h"

#include <string>
#include <unordered_map>

namespace fileinfo {

// The shell's type name for any folder ("Folder" under Wine, "File folder" on an English Windows),
// asked once per run.
const std::wstring& PlainFolderTypeName();

// Type names for list rows. A file's comes from its extension alone, so the shell is asked once per
// extension; a folder's is "文件夹" unless it may be customised (it carries a desktop.ini or is marked
// read-only), in which case the shell is asked for that folder.
class TypeNames {
  public:
    const std::wstring& ForFile(const std::wstring& fileName);
    std::wstring ForFolder(const std::wstring& path, bool mayBeCustomised);
    void Clear() { byExtension_.clear(); }

  private:
    std::unordered_map<std::wstring, std::wstring> byExtension_;
};

} // namespace fileinfo
