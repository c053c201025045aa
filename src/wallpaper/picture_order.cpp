#include "wallpaper/picture_order.h"

#include <unordered_map>

namespace wallpaper {

Turn PictureOrder::Next(const std::vector<std::wstring>& names, int selection, bool shuffle,
                        const std::vector<Shape>& monitors,
                        const std::function<std::optional<Shape>(int)>& shapeOf) {
    std::vector<int> order;
    if (!shuffle) {
        order = ListOrderAfter(selection, static_cast<int>(names.size()));
    } else {
        std::unordered_map<std::wstring, int> index;
        for (size_t i = 0; i < names.size(); ++i)
            index.emplace(names[i], static_cast<int>(i));
        for (const std::wstring& name : round_.Coming(names))
            if (auto at = index.find(name); at != index.end()) order.push_back(at->second);
    }
    Turn turn;
    if (monitors.empty()) {
        if (!order.empty()) turn = {{order.front()}, order.front()};
    } else {
        turn = ChoosePictures(monitors, order, shapeOf ? shapeOf : [](int) { return std::optional<Shape>(); });
    }
    if (shuffle)
        for (int i : turn.pictures)
            round_.Took(names[static_cast<size_t>(i)]);
    return turn;
}

} // namespace wallpaper
