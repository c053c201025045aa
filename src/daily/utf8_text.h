// UTF-8 and the program's wide texts without the platform's converters, so that the daily pictures'
// files and answers read the same on both trees (wchar_t is UTF-16 on Windows, UTF-32 natively).
// No Windows headers here.
#pragma once
#include <string>
#include <string_view>

namespace daily {

// Each byte that does not start a well-formed sequence becomes U+FFFD.
std::wstring WideFromUtf8(std::string_view utf8);
// An unpaired surrogate becomes U+FFFD, so the bytes are always valid UTF-8.
std::string Utf8FromWide(const std::wstring& text);

// The text's code points, an unpaired surrogate as U+FFFD; and back.
std::u32string CodePoints(const std::wstring& text);
std::wstring FromCodePoints(const std::u32string& points);

} // namespace daily
