// Files written whole or not at all, and the system's words for a failure.
#pragma once
#include "platform/win.h"

#include <functional>
#include <optional>
#include <string>

namespace platform {

// `write` fills a new temporary file beside `path` (platform::TemporaryPath), which then takes the
// path's place, so the name only ever points at a whole file. Temporary files that an interrupted
// write left behind go once a write succeeds. 0, or the Win32 error of the step that failed; a
// failed write leaves no temporary file.
DWORD WriteWholeFile(const std::wstring& path, const std::function<DWORD(HANDLE file)>& write);

// `text` as UTF-8, written whole (WriteWholeFile); 0 or the error.
DWORD WriteWholeText(const std::wstring& path, const std::wstring& text);
// A UTF-8 file's text, as WriteWholeText writes it; nothing when it cannot be read.
std::optional<std::wstring> ReadWholeText(const std::wstring& path);

// The system's description of a Win32 error code or an HRESULT, with the code.
std::wstring ErrorText(DWORD code);

} // namespace platform
