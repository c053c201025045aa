// What a gathered batch of folder changes asks of the list, and how often a changed subfolder's size
// may be walked again; no Windows headers here.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace browser {

struct ListChanges {
    std::vector<std::wstring> entries;    // names in the folder to look at again, each once
    std::vector<std::wstring> subfolders; // names of subfolders whose content changed, each once
};
// Sorts the changed paths (relative to the shown folder, as the watch reports them) into the two kinds.
// Names compare without regard to letter case, as the file system does.
ListChanges GatherChanges(const std::vector<std::wstring>& paths);

// What the watch saw since the window last took it.
struct SeenChanges {
    std::vector<std::wstring> paths; // relative to the folder, in the order seen
    bool overflow = false;           // more changed than could be told: read it all again
    bool failed = false;             // the folder could no longer be watched (gone, or no access)
    bool Empty() const { return paths.empty() && !overflow && !failed; }
};

// Gathers what the watch sees until the window takes it. It stays bounded however long the window
// leaves it (hidden in the tray for days over a busy folder): past `limit` paths they are dropped for a
// full read. Each call returns true when it ends a quiet spell, the one time the window needs telling.
class ChangeGathering {
  public:
    explicit ChangeGathering(size_t limit = 10000) : limit_(limit) {}
    bool Add(std::wstring path);
    bool Lost(); // the system could not tell everything
    bool Failed();
    bool Failing() const { return seen_.failed; }
    SeenChanges Take();

  private:
    size_t limit_;
    SeenChanges seen_;
};

// Whether `changed` names are cheaper to learn from one read of the folder than from a look-up each. A
// name that is gone costs some systems a search through the whole folder, so a few dozen already do.
bool ReadWholeFolder(size_t changed);

// An entry of the shown folder as far as the list is concerned.
struct EntryState {
    std::wstring name;
    uint64_t stamp = 0; // its size and time of last change, folded together
    bool directory = false;
};

// What the list was last told of the folder, kept by the watch so that it tells the list only what
// differs: a storm brings a read of the whole folder several times a second, and the list then meets
// only the entries that changed. Names compare without regard to letter case, as the file system does.
class KnownEntries {
  public:
    void Reset(const std::vector<EntryState>& entries);
    // `now` is in the folder. True when the list needs telling; `before` then gets the name the list
    // shows for it if only its letter case differs (else it is cleared).
    bool Found(const EntryState& now, std::wstring* before);
    // `name` is no longer in the folder. True, with the name the list shows, when the list has it.
    bool Lost(const std::wstring& name, std::wstring* shown);
    // Around a read of the whole folder: every entry not Found since BeginRead is gone.
    void BeginRead() { ++read_; }
    std::vector<std::wstring> EndRead();

  private:
    struct Known {
        std::wstring name;
        uint64_t stamp = 0;
        bool directory = false;
        uint64_t read = 0; // the last read that found it
    };
    std::unordered_map<std::wstring, Known> known_; // by the upper-case name
    uint64_t read_ = 0;
};

// At most one walk per subfolder every `intervalMs`: a change soon after a walk waits for the interval.
class WalkThrottle {
  public:
    explicit WalkThrottle(uint64_t intervalMs = 2000) : interval_(intervalMs) {}
    // Something inside subfolder `name` changed.
    void Changed(const std::wstring& name);
    // `name` was walked at `now` for another reason (a new listing or a new row).
    void Walked(const std::wstring& name, uint64_t now);
    // `name` left the folder: no walk waits for it.
    void Forget(const std::wstring& name);
    // The subfolders whose walk may start at `now`; each counts as walked then.
    std::vector<std::wstring> Due(uint64_t now);
    bool Waiting() const;
    // When the first waiting walk falls due (0 when none waits).
    uint64_t NextDue() const;
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
