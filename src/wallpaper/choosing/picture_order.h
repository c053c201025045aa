// The one place that decides which pictures the program sets by itself: the automatic change,
// "下一张墙纸" and its hotkey, and a change of the displays. In the list's order after the selection,
// or in a shuffled round; one picture for all monitors, or one for each monitor of the monitor's
// shape where the list has one. No Windows headers here.
#pragma once
#include "wallpaper/choosing/shuffle_round.h"
#include "wallpaper/choosing/sun_times.h"
#include "wallpaper/laying/monitor_layout.h"
#include "wallpaper/pictures/picture_rating.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace wallpaper {

// Upright when the height exceeds the width; a square is wide.
enum class Shape { Wide, Upright };
inline Shape ShapeOf(int w, int h) {
    return h > w ? Shape::Upright : Shape::Wide;
}

// The list's indexes after `selection`, wrapping round to it; no selection (-1) starts at the first.
std::vector<int> ListOrderAfter(int selection, int count);

// One choice: for each monitor in the sorted order, the list index of its picture, and the list's new
// selection (the picture handed out that lies furthest along the order). Both are empty (-1) when
// there are no pictures.
struct Turn {
    std::vector<int> pictures;
    int selection = -1;
};

// Each monitor takes the first free picture in `order` (list indexes) with its shape, else, when no
// free picture has it, the first free one; pictures come back only once every one is taken.
// `shapeOf` reads a file's header, so it is asked only as far as the choice needs and once per
// picture at most; nothing (an unreadable file) never matches a shape.
Turn ChoosePictures(const std::vector<Shape>& monitors, const std::vector<int>& order,
                    const std::function<std::optional<Shape>(int)>& shapeOf);

// What may be chosen and what is preferred. Without a phase, marks or "只用收藏", every picture.
struct ChoiceRules {
    // Day or night: the pictures of that phase's folder (白天 or 夜晚) and those outside both; every
    // picture when the phase's folder has none that may be chosen.
    std::optional<Phase> phase;
    // A picture's mark ("收藏" or "不再显示"), asked once per picture and choice; "不再显示" is never
    // chosen.
    std::function<Mark(int)> markOf;
    // Favourites first: where there are none (of a monitor's shape, in the phase), any other picture.
    bool favouritesOnly = false;
};

class PictureOrder {
  public:
    explicit PictureOrder(uint64_t seed) : seed_(seed) {}

    // The next pictures of the list `names` (with `selection` selected): for each of `monitors` (their
    // shapes, in the monitors' order) a list index, or one index for every monitor when `monitors`
    // is empty; and the list's new selection. `shapeOf(index)` reads a picture's shape from its
    // file's header, only as far as the choice needs. Shuffled, the pictures handed out leave the round.
    // The rules keep pictures out or put some first; each set of pictures they leave (a phase, the
    // favourites) keeps a shuffled round of its own.
    Turn Next(const std::vector<std::wstring>& names, int selection, bool shuffle,
              const std::vector<Shape>& monitors = {},
              const std::function<std::optional<Shape>(int)>& shapeOf = {}, const ChoiceRules& rules = {});

  private:
    // The list's indexes of `pool` (ascending) in the list's order after the selection, or shuffled.
    std::vector<int> Ordered(const std::vector<std::wstring>& names, const std::vector<int>& pool, int selection,
                             bool shuffle, int key);

    uint64_t seed_;
    std::map<int, ShuffleRound> rounds_; // by the set of pictures they go round
};

// What a new arrangement of the displays means for the remembered pictures. `same` when the monitors
// are those of before, with the same rectangles: nothing is to be done, and the lists stay empty.
struct ArrangementChange {
    bool same = false;
    std::vector<size_t> keep;            // indexes into the new monitors that keep their picture
    std::vector<size_t> needPicture;     // new monitors, and turned ones whose picture has the other shape
    std::vector<std::wstring> keptAside; // keys of remembered monitors that are gone, for their return
};

// `remembered` gives the picture kept by a monitor key, `shapeOfPath` that picture's shape when its
// file can be read; it is asked only for monitors whose shape changed.
ArrangementChange
CompareArrangement(const std::vector<Monitor>& before, const std::vector<Monitor>& now,
                   const std::function<std::optional<std::wstring>(const std::wstring&)>& remembered,
                   const std::function<std::optional<Shape>(const std::wstring&)>& shapeOfPath);

} // namespace wallpaper
