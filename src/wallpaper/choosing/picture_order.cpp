#include "wallpaper/choosing/picture_order.h"

#include <algorithm>
#include <tuple>
#include <unordered_map>
#include <utility>

namespace wallpaper {

std::vector<int> ListOrderAfter(int selection, int count) {
    std::vector<int> order;
    const int start = selection >= 0 && selection < count ? selection + 1 : 0;
    for (int i = 0; i < count; ++i)
        order.push_back((start + i) % count);
    return order;
}

Turn ChoosePictures(const std::vector<Shape>& monitors, const std::vector<int>& order,
                    const std::function<std::optional<Shape>(int)>& shapeOf) {
    Turn turn;
    if (order.empty()) return turn;
    // By place in `order`; the outer optional says whether the header has been read yet.
    std::vector<std::optional<std::optional<Shape>>> shapes(order.size());
    std::vector<bool> taken(order.size());
    size_t free = order.size(), furthest = 0;
    for (Shape want : monitors) {
        if (free == 0) { // more monitors than pictures: a new round
            taken.assign(order.size(), false);
            free = order.size();
        }
        std::optional<size_t> match, firstFree;
        for (size_t p = 0; p < order.size() && !match; ++p) {
            if (taken[p]) continue;
            if (!firstFree) firstFree = p;
            if (!shapes[p]) shapes[p] = shapeOf(order[p]);
            if (*shapes[p] == want) match = p;
        }
        const size_t p = match.value_or(*firstFree);
        taken[p] = true;
        --free;
        furthest = std::max(furthest, p);
        turn.pictures.push_back(order[p]);
    }
    if (!monitors.empty()) turn.selection = order[furthest];
    return turn;
}

ArrangementChange
CompareArrangement(const std::vector<Monitor>& before, const std::vector<Monitor>& now,
                   const std::function<std::optional<std::wstring>(const std::wstring&)>& remembered,
                   const std::function<std::optional<Shape>(const std::wstring&)>& shapeOfPath) {
    using Place = std::pair<std::wstring, std::tuple<int, int, int, int>>;
    auto places = [](const std::vector<Monitor>& monitors) {
        std::vector<Place> list;
        for (const Monitor& m : monitors)
            list.emplace_back(MonitorKey(m),
                              std::tuple(m.rect.left, m.rect.top, m.rect.right, m.rect.bottom));
        std::sort(list.begin(), list.end());
        return list;
    };
    ArrangementChange change;
    // The message comes for a new colour depth too, and the order the monitors are listed in may vary:
    // neither asks for new pictures.
    if (places(before) == places(now)) {
        change.same = true;
        return change;
    }
    auto find = [](const std::vector<Monitor>& monitors, const std::wstring& key) {
        return std::find_if(monitors.begin(), monitors.end(),
                            [&](const Monitor& m) { return MonitorKey(m) == key; });
    };
    for (size_t i = 0; i < now.size(); ++i) {
        const std::wstring key = MonitorKey(now[i]);
        const Shape shape = ShapeOf(now[i].rect.Width(), now[i].rect.Height());
        bool keeps = false;
        if (std::optional<std::wstring> picture = remembered(key)) {
            keeps = true;
            // A turned monitor gives up its picture only when that surely has the other shape.
            auto old = find(before, key);
            if (old != before.end() && ShapeOf(old->rect.Width(), old->rect.Height()) != shape) {
                std::optional<Shape> pictureShape = shapeOfPath(*picture);
                keeps = !pictureShape || *pictureShape == shape;
            }
        }
        (keeps ? change.keep : change.needPicture).push_back(i);
    }
    for (const Monitor& m : before) {
        const std::wstring key = MonitorKey(m);
        if (find(now, key) == now.end() && remembered(key)) change.keptAside.push_back(key);
    }
    return change;
}

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
