#include "settings/setting_text.h"

#include <limits>

namespace settings {
namespace {

bool ParseInteger(const std::wstring& text, int64_t lo, int64_t hi, int64_t& out) {
    size_t i = 0, n = text.size();
    while (i < n && (text[i] == L' ' || text[i] == L'\t'))
        ++i;
    while (n > i && (text[n - 1] == L' ' || text[n - 1] == L'\t'))
        --n;
    bool negative = false;
    if (i < n && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    if (i == n) return false;
    int64_t v = 0;
    for (; i < n; ++i) {
        if (text[i] < L'0' || text[i] > L'9') return false;
        v = v * 10 + (text[i] - L'0');
        if (v > hi - lo) return false; // far beyond either bound; stop before overflow
    }
    if (negative) v = -v;
    if (v < lo || v > hi) return false;
    out = v;
    return true;
}

} // namespace

int32_t ParseStoredInt32(const std::wstring& text, int32_t fallback) {
    int64_t v;
    return ParseInteger(text, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), v)
               ? static_cast<int32_t>(v)
               : fallback;
}

int16_t ParseStoredInt16(const std::wstring& text, int16_t fallback) {
    int64_t v;
    return ParseInteger(text, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max(), v)
               ? static_cast<int16_t>(v)
               : fallback;
}

bool ParseStoredFlag(const std::wstring& text, bool fallback) {
    return text == L"1" ? true : text == L"0" ? false : fallback;
}

uint16_t ParseStoredHotkey(const std::wstring& text) {
    int64_t v;
    return ParseInteger(text, 0, std::numeric_limits<uint16_t>::max(), v) ? static_cast<uint16_t>(v) : 0;
}

std::wstring MonitorModeName(MonitorMode mode) {
    return mode == MonitorMode::Each ? MonitorsEach : MonitorsSame;
}

MonitorMode ParseMonitorMode(const std::wstring& stored) {
    return stored == MonitorsEach ? MonitorMode::Each : MonitorMode::Same;
}

} // namespace settings
