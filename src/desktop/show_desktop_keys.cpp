#include "desktop/show_desktop_keys.h"

namespace desktop {

void ShowDesktopKeys(const std::function<unsigned(uint8_t)>& scanOf,
                     const std::function<void(const KeyEvent&)>& send) {
    struct Row {
        uint8_t vk;
        bool scanned;
        uint32_t flags;
    };
    static constexpr Row rows[] = {
        {VkLeftWindows, false, 0},    {VkM, false, 0}, {VkLeftWindows, false, KeyUp},
        {VkLeftWindows, true, 0},     {VkM, true, 0},  {VkM, true, KeyUp},
        {VkLeftWindows, true, KeyUp},
    };
    for (const Row& r : rows)
        send({r.vk, r.scanned ? static_cast<uint8_t>(scanOf(r.vk) & 0xFF) : uint8_t{0}, r.flags});
}

} // namespace desktop
