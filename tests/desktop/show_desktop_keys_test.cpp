#include "desktop/show_desktop_keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace desktop;

TEST(ShowDesktopKeys, SevenEventsInOrderWithScanCodesAskedJustBefore) {
    std::vector<std::string> trace;
    std::vector<KeyEvent> events;
    unsigned next = 0x1F5B; // a code above one byte: only the low byte may be sent
    ShowDesktopKeys(
        [&](uint8_t vk) {
            trace.push_back("scan " + std::to_string(vk));
            return next++;
        },
        [&](const KeyEvent& e) {
            trace.push_back("send " + std::to_string(e.vk));
            events.push_back(e);
        });
    const std::vector<KeyEvent> expected = {
        {91, 0, 0}, {77, 0, 0}, {91, 0, 2}, {91, 0x5B, 0}, {77, 0x5C, 0}, {77, 0x5D, 2}, {91, 0x5E, 2},
    };
    EXPECT_EQ(events, expected);
    const std::vector<std::string> order = {"send 91", "send 77", "send 91", "scan 91", "send 91", "scan 77",
                                            "send 77", "scan 77", "send 77", "scan 91", "send 91"};
    EXPECT_EQ(trace, order);
}
