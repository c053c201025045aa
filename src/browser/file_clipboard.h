// Files on the clipboard and in drag and drop, in the shell's own form: CF_HDROP with the
// "Preferred DropEffect" that says whether they were copied or cut.
#pragma once
#include "platform/win.h"

#include <string>
#include <vector>

namespace browser {

struct ClipboardFiles {
    std::vector<std::wstring> paths;
    bool cut = false;
};

// Puts `paths` on the clipboard as the shell does; false when the clipboard could not be had.
bool PutFilesOnClipboard(HWND owner, const std::vector<std::wstring>& paths, bool cut);
// The files on the clipboard (none when it holds none).
ClipboardFiles FilesOnClipboard(HWND owner);
// Empties the clipboard when it still holds exactly `files` (after a cut was pasted).
void ForgetPastedCut(HWND owner, const ClipboardFiles& files);

} // namespace browser
