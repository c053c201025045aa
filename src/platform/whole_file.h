// Files written whole or not at all, and the system's words for a failure.
#pragma once
#include "platform/win.h"

#include <functional>
#include <string>

namespace platform {

// `write` fills a new temporary file beside `path` (platform::TemporaryPath), which then takes the
// path's place, so the name only ever points at a whole file. Temporary files that an interrupted
// write left behind go once a write succeeds. 0, or the Win32 error of the step that failed; a
// failed write leaves no temporary file.
DWORD WriteWholeFile(const std::wstring& path, const std::function<DWORD(HANDLE file)>& write);

// The system's description of a Win32 error code or an HRESULT, with the code.
std::wstring ErrorText(DWORD code);

} // namespace platform
