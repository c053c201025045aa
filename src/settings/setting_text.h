// Turning stored setting texts into numbers; no Windows headers here.
#pragma once
#include <cstdint>
#include <string>

namespace settings {

// A stored decimal integer: surrounding blanks allowed, an optional sign. Anything else
// (empty, letters, a fraction, a value outside the target type) yields the default.
int32_t ParseStoredInt32(const std::wstring& text, int32_t fallback);
int16_t ParseStoredInt16(const std::wstring& text, int16_t fallback);

} // namespace settings
