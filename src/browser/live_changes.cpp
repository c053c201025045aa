#include "browser/live_changes.h"

#include <algorithm>
#include <cwctype>
#include <set>
#include <utility>

namespace browser {
namespace {

std::wstring Upper(const std::wstring& s) {
    std::wstring u(s);
    for (wchar_t& c : u)
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return u;
}

void AddOnce(std::vector<std::wstring>& list, std::set<std::wstring>& seen, const std::wstring& name) {
    if (!name.empty() && seen.insert(Upper(name)).second) list.push_back(name);
}

} // namespace

ListChanges GatherChanges(const std::vector<std::wstring>& paths) {
    ListChanges changes;
    std::set<std::wstring> entries, subfolders;
    for (const std::wstring& path : paths) {
        size_t slash = path.find(L'\\');
        if (slash == std::wstring::npos)
            AddOnce(changes.entries, entries, path);
        else
            AddOnce(changes.subfolders, subfolders, path.substr(0, slash));
    }
    return changes;
}

bool ChangeGathering::Add(std::wstring path) {
    const bool first = seen_.Empty();
    if (seen_.overflow) return first; // all is read again anyway
    if (seen_.paths.size() >= limit_) return Lost();
    seen_.paths.push_back(std::move(path));
    return first;
}

bool ChangeGathering::Lost() {
    const bool first = seen_.Empty();
    seen_.overflow = true;
    seen_.paths.clear();
    seen_.paths.shrink_to_fit();
    return first;
}

bool ChangeGathering::Failed() {
    const bool first = seen_.Empty();
    seen_.failed = true;
    return first;
}

SeenChanges ChangeGathering::Take() {
    return std::exchange(seen_, {});
}

bool ReadWholeFolder(size_t changed) {
    return changed >= 32;
}

void KnownEntries::Reset(const std::vector<EntryState>& entries) {
    known_.clear();
    known_.reserve(entries.size());
    for (const EntryState& e : entries)
        known_[Upper(e.name)] = {e.name, e.stamp, e.directory, read_};
}

bool KnownEntries::Found(const EntryState& now, std::wstring* before) {
    before->clear();
    auto [at, added] = known_.try_emplace(Upper(now.name));
    Known& k = at->second;
    k.read = read_;
    if (!added && k.name == now.name && k.stamp == now.stamp && k.directory == now.directory) return false;
    if (!added && k.name != now.name) *before = k.name;
    k.name = now.name;
    k.stamp = now.stamp;
    k.directory = now.directory;
    return true;
}

bool KnownEntries::Lost(const std::wstring& name, std::wstring* shown) {
    auto at = known_.find(Upper(name));
    if (at == known_.end()) return false;
    *shown = std::move(at->second.name);
    known_.erase(at);
    return true;
}

std::vector<std::wstring> KnownEntries::EndRead() {
    std::vector<std::wstring> gone;
    for (auto at = known_.begin(); at != known_.end();) {
        if (at->second.read == read_) {
            ++at;
            continue;
        }
        gone.push_back(std::move(at->second.name));
        at = known_.erase(at);
    }
    return gone;
}

void WalkThrottle::Changed(const std::wstring& name) {
    State& s = state_[Upper(name)];
    s.name = name;
    s.waiting = true;
}

void WalkThrottle::Walked(const std::wstring& name, uint64_t now) {
    State& s = state_[Upper(name)];
    s.name = name;
    s.walked = true;
    s.lastWalk = now;
    s.waiting = false;
}

void WalkThrottle::Forget(const std::wstring& name) {
    state_.erase(Upper(name));
}

std::vector<std::wstring> WalkThrottle::Due(uint64_t now) {
    std::vector<std::wstring> due;
    for (auto& [key, s] : state_) {
        if (!s.waiting || (s.walked && now < s.lastWalk + interval_)) continue;
        s.waiting = false;
        s.walked = true;
        s.lastWalk = now;
        due.push_back(s.name);
    }
    return due;
}

bool WalkThrottle::Waiting() const {
    for (const auto& entry : state_)
        if (entry.second.waiting) return true;
    return false;
}

uint64_t WalkThrottle::NextDue() const {
    uint64_t next = 0;
    for (const auto& [key, s] : state_) {
        if (!s.waiting) continue;
        uint64_t due = s.walked ? s.lastWalk + interval_ : 0;
        if (next == 0 || due < next) next = std::max<uint64_t>(due, 1);
    }
    return next;
}

} // namespace browser
