// The shuffled order of the automatic wallpaper change: every picture once before any comes back.
// No Windows headers here.
#pragma once
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

namespace wallpaper {

// Names are compared ignoring letter case, as Windows compares file names.
class ShuffleRound {
  public:
    explicit ShuffleRound(uint64_t seed) : rng_(seed) {}

    // The pictures to come: the rest of this round, then the whole next round (kept, so that asking
    // again gives the same order), after bringing the round up to `names`, the list as it is now:
    // new names join this round at random places, gone ones are dropped. The next round never starts
    // with the last picture of this one (with 2 or more pictures). Empty for an empty list.
    std::vector<std::wstring> Coming(const std::vector<std::wstring>& names);
    // The caller set `name`, one that Coming gave: it leaves the round. A name of the next round
    // finishes this round, whatever is left of it, and the next round becomes this one.
    void Took(const std::wstring& name);
    // For one monitor: the first of Coming(names), taken; nothing for an empty list.
    std::optional<std::wstring> Next(const std::vector<std::wstring>& names);

  private:
    // The rounds hold names folded to lower case; Coming gives them back as the list spells them.
    void Join(std::vector<std::wstring>& round, std::vector<std::wstring> added);
    void AvoidFirst(std::vector<std::wstring>& round, const std::wstring& key);

    std::mt19937_64 rng_;
    std::vector<std::wstring> current_, next_; // to come, in order
    std::unordered_set<std::wstring> taken_;   // taken this round, so they do not join it again
    std::wstring lastTaken_;
};

} // namespace wallpaper
