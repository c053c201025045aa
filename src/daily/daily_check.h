// One look for new daily pictures: the answer asked for, each new picture downloaded, checked by
// decoding it and put in the folder under its own name, the state file written and old pictures
// deleted. Runs on a worker's thread; what it leaves is only ever whole pictures.
#pragma once
#include "daily/daily_manifest.h"
#include "daily/http_get.h"

#include <functional>
#include <string>
#include <vector>

namespace daily {

struct CheckAsk {
    std::wstring folder;  // the daily pictures' folder (made when a picture comes)
    std::wstring address; // where the answer is asked for
    int keep = KeepDefault;
    NameTest favourite; // the user's favourites are never deleted; none when empty
};

struct CheckOutcome {
    bool ok = false;                 // the answer came and every new picture with it
    bool cancelled = false;          // stopped on the way: nothing to tell
    std::wstring why;                // the first failure, for a log
    std::vector<std::wstring> added; // the new pictures' paths, the newest last
};

CheckOutcome RunCheck(const CheckAsk& ask, HttpGetter& http, const std::function<bool()>& stale);

// The state file's entries; none when there is no file or it is damaged.
std::vector<ManifestEntry> ReadManifest(const std::wstring& folder);

} // namespace daily
