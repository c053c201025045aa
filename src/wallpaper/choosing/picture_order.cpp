#include "wallpaper/choosing/picture_order.h"

#include "wallpaper/choosing/folder_phase.h"

#include <algorithm>
#include <iterator>
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

std::vector<int> PictureOrder::Ordered(const std::vector<std::wstring>& names, const std::vector<int>& pool,
                                       int selection, bool shuffle, int key) {
    std::vector<int> order;
    if (!shuffle) {
        // After the selection, wrapping round: the pool's pictures past it, then those up to it.
        auto split = std::upper_bound(pool.begin(), pool.end(), selection);
        order.insert(order.end(), split, pool.end());
        order.insert(order.end(), pool.begin(), split);
        return order;
    }
    std::vector<std::wstring> pooled;
    std::unordered_map<std::wstring, int> index;
    for (int i : pool) {
        pooled.push_back(names[static_cast<size_t>(i)]);
        index.emplace(names[static_cast<size_t>(i)], i);
    }
    ShuffleRound& round = rounds_.try_emplace(key, seed_ + static_cast<uint64_t>(key)).first->second;
    for (const std::wstring& name : round.Coming(pooled))
        if (auto at = index.find(name); at != index.end()) order.push_back(at->second);
    return order;
}

Turn PictureOrder::Next(const std::vector<std::wstring>& names, int selection, bool shuffle,
                        const std::vector<Shape>& monitors,
                        const std::function<std::optional<Shape>(int)>& shapeOf, const ChoiceRules& rules) {
    // What may be chosen: not "不再显示"; of the phase where its folder has any.
    const int count = static_cast<int>(names.size());
    std::vector<Mark> marks(rules.markOf ? names.size() : 0, Mark::None);
    std::vector<int> allowed, inPhase, phased;
    for (int i = 0; i < count; ++i) {
        if (rules.markOf && (marks[static_cast<size_t>(i)] = rules.markOf(i)) == Mark::Never) continue;
        allowed.push_back(i);
        if (!rules.phase) continue;
        std::optional<Phase> folder = FolderPhase(names[static_cast<size_t>(i)]);
        if (folder == rules.phase) inPhase.push_back(i);
        if (!folder || folder == rules.phase) phased.push_back(i);
    }
    const bool byPhase = rules.phase && !inPhase.empty();
    std::vector<int> pool = byPhase ? phased : allowed, favourites;
    if (rules.favouritesOnly)
        for (int i : pool)
            if (!marks.empty() && marks[static_cast<size_t>(i)] == Mark::Favourite) favourites.push_back(i);
    // Each set of pictures has its round: the phase (or none), and the favourites among them.
    const int key = (byPhase ? 1 + static_cast<int>(*rules.phase) : 0) * 2;
    std::vector<int> order;
    if (!favourites.empty()) {
        order = Ordered(names, favourites, selection, shuffle, key + 1);
        // Monitors with no favourite of their shape take another picture of it.
        if (!monitors.empty()) {
            std::vector<int> rest;
            std::set_difference(pool.begin(), pool.end(), favourites.begin(), favourites.end(),
                                std::back_inserter(rest));
            for (int i : ListOrderAfter(selection, count))
                if (std::binary_search(rest.begin(), rest.end(), i)) order.push_back(i);
        }
    } else {
        order = Ordered(names, pool, selection, shuffle, key);
    }
    Turn turn;
    if (monitors.empty()) {
        if (!order.empty()) turn = {{order.front()}, order.front()};
    } else {
        turn = ChoosePictures(monitors, order, shapeOf ? shapeOf : [](int) { return std::optional<Shape>(); });
    }
    if (shuffle) {
        auto& round = rounds_.at(favourites.empty() ? key : key + 1);
        for (int i : turn.pictures)
            if (favourites.empty() || std::binary_search(favourites.begin(), favourites.end(), i))
                round.Took(names[static_cast<size_t>(i)]);
    }
    return turn;
}

} // namespace wallpaper
