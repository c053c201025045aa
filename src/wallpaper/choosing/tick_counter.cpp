#include "wallpaper/choosing/tick_counter.h"

namespace wallpaper {

bool TickCounter::Tick(int32_t interval) {
    ++count_;
    if (count_ < interval) return false;
    count_ = 0;
    return true;
}

std::optional<int> NextIndex(int index, int count) {
    if (count <= 0) return std::nullopt;
    return index + 1 >= count || index < 0 ? 0 : index + 1;
}

} // namespace wallpaper
