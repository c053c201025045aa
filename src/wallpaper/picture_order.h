// The one place that decides which pictures the automatic change and "下一张墙纸" set next: in the
// list's order after the selection, or in a shuffled round; one picture for all monitors, or one for
// each monitor of the monitor's shape where the list has one. No Windows headers here.
#pragma once
#include "wallpaper/monitor_layout.h"
#include "wallpaper/shuffle_round.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace wallpaper {

class PictureOrder {
  public:
    explicit PictureOrder(uint64_t seed) : round_(seed) {}

    // The next pictures of the list `names` (with `selection` selected): for each of `monitors` (their
    // shapes, in the monitors' order) a list index, or one index for every monitor when `monitors`
    // is empty; and the list's new selection. `shapeOf(index)` reads a picture's shape from its
    // file's header, only as far as the choice needs. Shuffled, the pictures handed out leave the round.
    Turn Next(const std::vector<std::wstring>& names, int selection, bool shuffle,
              const std::vector<Shape>& monitors = {},
              const std::function<std::optional<Shape>(int)>& shapeOf = {});

  private:
    ShuffleRound round_;
};

} // namespace wallpaper
