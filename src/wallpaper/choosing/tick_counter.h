// Counting the timers' one-second ticks and stepping through the picture list; no Windows headers here.
#pragma once
#include <cstdint>
#include <optional>

namespace wallpaper {

// Seconds counted towards the next step of a timed mode. Only reaching the interval sets it back to 0:
// stopping and starting the mode keeps the count.
class TickCounter {
  public:
    // Counts one tick; true when the count reaches `interval`, which sets it back to 0.
    bool Tick(int32_t interval);
    int32_t Count() const { return count_; }
    // Counting starts again from 0.
    void Reset() { count_ = 0; }

  private:
    int32_t count_ = 0;
};

// The entry after `index` in a list of `count` entries, wrapping from the last to the first; no
// selection (-1) gives the first. Nothing for an empty list.
std::optional<int> NextIndex(int index, int count);

} // namespace wallpaper
