// The key sequence that minimises all windows (Windows+M); no Windows headers here.
#pragma once
#include <cstdint>
#include <functional>

namespace desktop {

inline constexpr uint8_t VkLeftWindows = 91;
inline constexpr uint8_t VkM = 77;
inline constexpr uint32_t KeyUp = 2; // KEYEVENTF_KEYUP

struct KeyEvent {
    uint8_t vk = 0;
    uint8_t scan = 0;
    uint32_t flags = 0;
    bool operator==(const KeyEvent&) const = default;
};

// Hands the seven events of the sequence to `send`, in order. The scan codes come from `scanOf`,
// asked just before the event that carries one, and cut to their low byte.
void ShowDesktopKeys(const std::function<unsigned(uint8_t vk)>& scanOf,
                     const std::function<void(const KeyEvent&)>& send);

} // namespace desktop
