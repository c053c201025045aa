// What a gathered batch of folder changes asks of the list, and how often a changed subfolder's size
// may be walked again; no Windows headers here.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace browser {

struct ListChanges {
    std::vector<std::wstring> entries;    // names in the folder to look at again, each once
    std::vector<std::wstring> subfolders; // names of subfolders whose content changed, each once
};
// Sorts the changed paths (relative to the shown folder, as the watch reports them) into the two kinds.
// Names compare without regard to letter case, as the file system does.
ListChanges GatherChanges(const std::vector<std::wstring>& paths);

// At most one walk per subfolder every `intervalMs`: a change soon after a walk waits for the interval.
class WalkThrottle {
  public:
    explicit WalkThrottle(uint64_t intervalMs = 2000) : interval_(intervalMs) {}
    // Something inside subfolder `name` changed.
    void Changed(const std::wstring& name);
    // `name` was walked at `now` for another reason (a new listing or a new row).
    void Walked(const std::wstring& name, uint64_t now);
    // The subfolders whose walk may start at `now`; each counts as walked then.
    std::vector<std::wstring> Due(uint64_t now);
    bool Waiting() const;
    void Clear() { state_.clear(); }

  private:
    struct State {
        std::wstring name;
        uint64_t lastWalk = 0;
        bool walked = false;
        bool waiting = false;
    };
    uint64_t interval_;
    std::map<std::wstring, State> state_; // keyed by the upper-case name
};

} // namespace browser
