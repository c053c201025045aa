// The tests' own picture-of-the-day service (daily_server.py, started by the ctest fixture
// daily_server), on 127.0.0.1 only.
#pragma once
#include "platform/whole_file.h"

#include <string>

namespace test {

// "http://127.0.0.1:<port>/hp/<answer>"; empty when the service does not run.
inline std::wstring DailyAddress(const std::wstring& answer) {
    std::optional<std::wstring> port = platform::ReadWholeText(L"Z:\\tmp\\tavolin-daily-server\\port");
    return port && !port->empty() ? L"http://127.0.0.1:" + *port + L"/hp/" + answer : L"";
}

} // namespace test
