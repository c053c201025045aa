#include "wallpaper/choosing/shuffle_round.h"

#include <algorithm>
#include <cwctype>
#include <string_view>
#include <unordered_map>

namespace wallpaper {

namespace {

using Listed = std::unordered_map<std::wstring, const std::wstring*>; // key → the name as listed

std::wstring Key(const std::wstring& name) {
    std::wstring key = name;
    for (wchar_t& c : key)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return key;
}

// Drops the names no longer listed.
void Keep(std::vector<std::wstring>& round, const Listed& listed) {
    std::erase_if(round, [&](const std::wstring& key) { return !listed.contains(key); });
}

bool Remove(std::vector<std::wstring>& round, const std::wstring& key) {
    auto it = std::find(round.begin(), round.end(), key);
    if (it == round.end()) return false;
    round.erase(it);
    return true;
}

} // namespace

// Interleaves the shuffled `added` with the round at random, so each new name is equally likely at
// any place still to come, and the order already shown stays.
void ShuffleRound::Join(std::vector<std::wstring>& round, std::vector<std::wstring> added) {
    if (added.empty()) return;
    std::shuffle(added.begin(), added.end(), rng_);
    std::vector<std::wstring> joined;
    joined.reserve(round.size() + added.size());
    size_t i = 0, j = 0;
    while (i < round.size() || j < added.size()) {
        const size_t left = round.size() - i + added.size() - j;
        const bool fromAdded = std::uniform_int_distribution<size_t>(0, left - 1)(rng_) < added.size() - j;
        joined.push_back(std::move(fromAdded ? added[j++] : round[i++]));
    }
    round.swap(joined);
}

// The same picture twice in a row would look like no change at all.
void ShuffleRound::AvoidFirst(std::vector<std::wstring>& round, const std::wstring& key) {
    if (round.size() < 2 || round.front() != key) return;
    std::swap(round.front(), round[std::uniform_int_distribution<size_t>(1, round.size() - 1)(rng_)]);
}

std::vector<std::wstring> ShuffleRound::Coming(const std::vector<std::wstring>& names) {
    Listed listed;
    std::vector<std::wstring> keys; // in list order, each once
    for (const std::wstring& name : names)
        if (std::wstring key = Key(name); listed.emplace(key, &name).second) keys.push_back(std::move(key));
    Keep(current_, listed);
    Keep(next_, listed);

    std::unordered_set<std::wstring_view> inRound(taken_.begin(), taken_.end()), inNext;
    inRound.insert(current_.begin(), current_.end());
    inNext.insert(next_.begin(), next_.end());
    std::vector<std::wstring> toRound, toNext;
    for (const std::wstring& key : keys) {
        if (!inRound.contains(key)) toRound.push_back(key);
        if (!inNext.contains(key)) toNext.push_back(key);
    }
    Join(current_, std::move(toRound));
    Join(next_, std::move(toNext));

    if (current_.empty() && !keys.empty()) { // every picture taken, or the rest gone: the next round
        current_.swap(next_);
        taken_.clear();
        // The caller may have taken this round's last pictures out of the order shown.
        AvoidFirst(current_, lastTaken_);
        Join(next_, keys);
    }
    if (!current_.empty()) AvoidFirst(next_, current_.back());

    std::vector<std::wstring> coming;
    coming.reserve(current_.size() + next_.size());
    for (const auto* round : {&current_, &next_})
        for (const std::wstring& key : *round)
            coming.push_back(*listed.at(key));
    return coming;
}

void ShuffleRound::Took(const std::wstring& name) {
    std::wstring key = Key(name);
    if (Remove(current_, key)) {
        taken_.insert(key);
    } else if (Remove(next_, key)) {
        current_.swap(next_);
        next_.clear();
        taken_ = {key};
    } else {
        return;
    }
    lastTaken_ = std::move(key);
}

std::optional<std::wstring> ShuffleRound::Next(const std::vector<std::wstring>& names) {
    std::vector<std::wstring> coming = Coming(names);
    if (coming.empty()) return std::nullopt;
    Took(coming.front());
    return coming.front();
}

} // namespace wallpaper
