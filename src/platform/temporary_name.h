// Names of the temporary files that a file is written to before it takes the file's place.
// No Windows headers here.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

// "<path>.<process>-<count>.tmp", beside the file it stands for.
std::wstring TemporaryPath(const std::wstring& path, uint32_t process, uint32_t count);
// True when `name` is such a temporary name of the file named `fileName` (letter case ignored).
bool IsTemporaryName(const std::wstring& name, const std::wstring& fileName);

} // namespace platform
