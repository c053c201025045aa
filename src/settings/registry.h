// Registry and path operations used across the program.
#pragma once
#include "platform/win.h"

#include <string>

namespace settings {

// The REG_SZ value's text (cut at its first NUL), or `fallback` when the key or value is
// missing or the value has any other type.
std::wstring GetRegistryString(HKEY root, const std::wstring& subkey, const std::wstring& name,
                               const std::wstring& fallback = L"");
// Creates the key as needed and writes a REG_SZ value; true when written.
bool SetRegistryString(HKEY root, const std::wstring& subkey, const std::wstring& name,
                       const std::wstring& text);
// Deletes one value; true when it is gone afterwards (also when it was never there).
bool DeleteRegistryValue(HKEY root, const std::wstring& subkey, const std::wstring& name);
// Writes into an existing key only: REG_SZ as text, REG_DWORD/REG_BINARY as a 32-bit number
// (the text read as a decimal integer); nothing for any other type. Nothing when the key is missing.
void SetRegistryValue(const std::wstring& subkey, const std::wstring& name, const std::wstring& value,
                      DWORD type, HKEY root);
LONG WriteOpenKeyValue(HKEY key, const std::wstring& name, DWORD type, const std::wstring& value);

// True when the file (a local path or a "file:///" address) can be opened for reading.
bool FileCanBeOpened(const std::wstring& pathOrAddress);

} // namespace settings
