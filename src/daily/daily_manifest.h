// The state file kept beside the daily pictures: what was downloaded, under which name, so that no
// picture is downloaded twice and only the program's own pictures are ever deleted. No Windows headers here.
#pragma once
#include "daily/daily_answer.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace daily {

// How many pictures are kept: the setting's bounds and its default.
inline constexpr int KeepMin = 1;
inline constexpr int KeepMax = 365;
inline constexpr int KeepDefault = 30;
// The file remembers this many pictures at most (see TrimManifest).
inline constexpr size_t ManifestLimit = 1000;
// A longer file is not read; ManifestLimit entries take a few hundred kilobytes.
inline constexpr size_t ManifestTextLimit = 8 * 1024 * 1024;

struct ManifestEntry {
    std::wstring name; // the file's name in the folder
    std::wstring date; // "yyyymmdd"
    std::wstring title, copyright, hsh;
    std::wstring address; // where the picture was downloaded from
    bool operator==(const ManifestEntry&) const = default;
};
using NameTest = std::function<bool(const std::wstring& name)>;

int ClampKeep(int keep);

// The entries of the file's text, in their order. Damaged or foreign text gives none; an entry whose
// name is missing or not a plain file name (IsPlainFileName) is left out.
std::vector<ManifestEntry> ParseManifest(std::string_view utf8);
// The text that ParseManifest reads back: UTF-8 JSON.
std::string ManifestText(const std::vector<ManifestEntry>& entries);

ManifestEntry EntryFor(const DailyImage& image, const std::wstring& name, const std::wstring& address);

// True when `image`, to be downloaded from `address`, is listed: the same hsh when both have one,
// else the same date and address.
bool AlreadyHave(const std::vector<ManifestEntry>& entries, const DailyImage& image,
                 const std::wstring& address);

// The listed files to delete so that `keep` (clamped to KeepMin..KeepMax) are left: the files counted
// are those that `inPlace` still finds under their listed names and that look like the program's own
// (IsDailyFileName); the newest `keep` of them by date stay, and of the older ones those that are not a
// `favourite`. A favourite among the newest takes its place in the count; one renamed or moved away is
// neither counted nor deleted; a file that is not listed is never touched.
std::vector<std::wstring> FilesToDelete(const std::vector<ManifestEntry>& entries, int keep,
                                        const NameTest& inPlace, const NameTest& favourite);

// The entries to write back. Entries of deleted files stay, so that their pictures are not downloaded
// again; beyond ManifestLimit the oldest (by date) whose files are no longer in place go.
std::vector<ManifestEntry> TrimManifest(std::vector<ManifestEntry> entries, const NameTest& inPlace);

} // namespace daily
